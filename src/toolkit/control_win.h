// The window class tree: control -> child / overlap -> dialog / window, and their procedures.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

// The program's own message to its main window (WM_APP + 1), handled by on_app_message.
constexpr UINT app_message = 0x8001;

// Any window the program wraps. The object's address sits in the window's user data.
class control {
public:
    control() = default;
    virtual ~control() = default;
    control(const control&) = delete;
    control& operator=(const control&) = delete;

    virtual bool on_erase_background(HDC dc);

    HWND handle() const { return hwnd_; }
    void destroy_window();
    void set_focus();
    void enable();
    void disable();
    // WM_GETTEXT into a buffer of `size` bytes; a failed read gives an empty text.
    std::string get_text(std::size_t size = 256) const;
    void set_text(const char* text);
    void suspend_redraw();
    void resume_redraw();
    void move(int x, int y);
    void resize(int width, int height);
    void place(int x, int y, int width, int height);
    void show();
    void hide();

    // The object stored in a window's user data, or null.
    static control* from_handle(HWND window);

protected:
    void attach(HWND window);

    HWND hwnd_ = nullptr;
};

// A control inside a dialog or the main window.
class child : public control {
public:
    ~child() override;

    virtual void on_hscroll(int position, int code);
    virtual void on_vscroll(int position, int code);
    virtual HBRUSH on_ctl_color(HDC dc);
    virtual bool on_draw_item(DRAWITEMSTRUCT* data);
    virtual HFONT get_font();
    virtual void set_font(HFONT font);

    // Takes the control of a dialog template; false (and a null handle) when it is missing.
    bool bind(HWND dialog, int control_id);
    // CreateWindowExA with the class name also as the window text.
    bool create(int x, int y, int width, int height, DWORD style, DWORD ex_style, const char* class_name,
                HWND parent, int id);
    // Puts `procedure` in place and remembers the previous one for call_previous.
    void subclass(WNDPROC procedure);

protected:
    LRESULT call_previous(UINT message, WPARAM wparam, LPARAM lparam);

    WNDPROC previous_ = nullptr;
};

// A top-level window: dialogs and the main window.
class overlap : public control {
public:
    virtual void on_hscroll(int position, int code);
    virtual void on_vscroll(int position, int code);

    // Message boxes owned by this window: titles in 128 bytes, texts in 256, "?" for no text.
    void inform(unsigned title_id, unsigned text_id);
    bool ask(unsigned title_id, unsigned text_id);
    void warn(unsigned title_id, unsigned text_id);
    void about(const char* caption, const char* text, const char* icon_name);
};

// Base of all dialogs; each dialog is a resource template run by `show`.
class dialog : public overlap {
public:
    // A modeless dialog still open when its object goes is destroyed without reaching it.
    ~dialog() override;

    virtual void on_init() = 0;
    virtual void on_destroy() = 0;
    virtual void on_command(int id, HWND control_window) = 0;
    virtual bool on_moving(RECT* rect);
    virtual void on_activate(bool active, bool minimized);
    virtual bool on_measure_item(UINT* item_height);
    virtual void on_timer(UINT_PTR id);
    virtual HBRUSH on_ctl_color_dialog(HDC dc);

    // Modal: runs the template and returns the code given to `end` (-1 when it could not be
    // run). Modeless: creates the dialog and returns at once (1, or -1 on failure).
    int show(const char* template_name, HWND parent, bool modeless = false);
    void end(int code);
    void center_on_parent();
    void center_on_screen();
    void set_title_from_string(unsigned id);
    void set_title(const char* text);

    static INT_PTR CALLBACK procedure(HWND, UINT, WPARAM, LPARAM);
};

// Base of the main window.
class window : public overlap {
public:
    // A window still open when its object goes is destroyed without reaching it.
    ~window() override;

    virtual int on_create();
    virtual void on_destroy();
    virtual void on_close();
    virtual void on_command(int id, HWND control_window);
    virtual void on_move();
    virtual bool on_moving(RECT* rect);
    virtual void on_size(int kind);
    virtual void on_min_max_info(MINMAXINFO* info);
    virtual void on_display_change();
    // True when it placed the keyboard focus itself: the default handling, which would give the
    // focus to the frame, is then skipped.
    virtual bool on_activate(bool active, bool minimized);
    virtual void on_activate_app(bool active);
    virtual void on_enable();
    virtual bool on_paint();
    virtual void on_lbutton_down();
    virtual void on_rbutton_down();
    virtual void on_nc_lbutton_down();
    virtual void on_nc_rbutton_down();
    virtual bool on_measure_item(UINT* item_height);
    virtual void on_key_down(int key);
    virtual void on_key_up(int key);
    virtual void on_char(int character);
    virtual void on_ime_start_composition();
    virtual void on_ime_composition(LPARAM flags);
    virtual void on_ime_end_composition();
    virtual void on_timer(UINT_PTR id);
    virtual bool on_query_end_session();
    // app_message arrived (posted by the program to itself).
    virtual void on_app_message();
    virtual void on_menu_select(const char* text);

    struct create_args {
        int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = CW_USEDEFAULT, height = CW_USEDEFAULT;
        DWORD extra_style = 0;
        DWORD ex_style = 0;
        const char* class_name = "";
        const char* icon_name = nullptr;
        const char* menu_name = nullptr;
        HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        int show_command = SW_SHOWNORMAL;
        bool sizable = true;
        int first_command_id = 0;
        int first_tooltip_string = 0;
        bool client_size = false;
        bool popup = false;
    };
    // Registers the class, creates the window (on_create runs inside) and shows it.
    bool create(const create_args& args);

    int first_tooltip_string() const { return first_tooltip_string_; }
    int first_command_id() const { return first_command_id_; }

    static LRESULT CALLBACK procedure(HWND, UINT, WPARAM, LPARAM);

private:
    int first_tooltip_string_ = 0;
    int first_command_id_ = 0;
};

// What a WM_COMMAND from a control becomes: the owner's command, the control's own
// notification (already handed to it), or nothing anyone handles.
enum class command_route { owner, control, unhandled };
command_route route_control_command(WPARAM wparam, LPARAM lparam);

// Routing shared by the dialog and main window procedures: notifications (true when routed,
// `result` is the answer), control colours and owner-drawn items of the sender's object.
bool route_notify(NMHDR* header, LRESULT& result);
HBRUSH route_ctl_color(HWND control_window, HDC dc);
bool route_draw_item(DRAWITEMSTRUCT* data);
