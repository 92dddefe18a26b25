// The common controls: edits with the block caret, combo and list boxes, statics, buttons,
// toolbar, status bar, up-down control, pop-up menus from string rows, drawing helpers.
#pragma once

#include "toolkit/control_texts.h"
#include "toolkit/control_win.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

// An edit control, subclassed, with a block caret one character wide (two while the IME is open).
class edit : public child {
public:
    ~edit() override;
    HBRUSH on_ctl_color(HDC dc) override;
    void set_font(HFONT font) override;

    virtual bool on_double_click(int buttons, int x, int y);
    virtual bool on_char_typed(int character);
    virtual bool on_key_down(int key);
    virtual void on_after_paint();
    virtual void on_timer(UINT_PTR id);
    virtual void on_got_focus();
    virtual void on_lost_focus();
    virtual void on_text_changed();

    // Binds to a template item; a multi-line edit loses its border.
    bool bind(HWND dialog, int control_id);
    bool create(int x, int y, int width, int height, DWORD style, HWND parent, int id);
    void set_colours(COLORREF text, COLORREF background);
    void make_read_only();
    // `size` counts the terminator: the edit takes size - 1 characters.
    void set_limit(int size);
    // Log windows: adds the text at the end, dropping whole lines from the top once the text
    // reaches log_limit bytes with its terminator.
    void append(const char* text);
    int text_length() const;
    bool was_modified() const;
    void clear_modified();
    void undo();
    int get_number() const;
    void set_number(int value, int radix = 10);
    bool ime_open() const { return ime_open_ != 0; }

    static constexpr int log_limit = 0xC000;
    static LRESULT CALLBACK procedure(HWND, UINT, WPARAM, LPARAM);

protected:
    void initial_colours();
    void build_caret();

    unsigned char ime_open_ = 0;
    unsigned char suppress_ime_on_ = 0;
    unsigned char suppress_ime_off_ = 0;
    COLORREF text_colour_ = 0;
    COLORREF background_colour_ = 0;
    HBRUSH brush_ = nullptr;
};

// An edit that enables OK (control 1 of its dialog) while its text is not empty and differs,
// ignoring ASCII case, from the text it was given first.
class edit_filename : public edit {
public:
    bool bind(HWND dialog, int control_id);
    void set_initial(const char* text);
    void on_text_changed() override;

private:
    std::string initial_;
};

// An edit of a group of required fields: every change enables OK (control 1) only while all
// of the group's edits are non-empty.
class edit_required : public edit {
public:
    edit_required(std::initializer_list<int> group, int limit) : group_(group), limit_(limit) {}
    bool bind(HWND dialog, int control_id);
    void on_text_changed() override;

private:
    std::vector<int> group_;
    int limit_;
};

// An edit whose text changes are handed to its dialog (the year, the colour components).
class edit_notify : public edit {
public:
    std::function<void()> changed;
    void on_text_changed() override
    {
        if (changed)
            changed();
    }
};
using edit_year = edit_notify;
using edit_color_r = edit_notify;
using edit_color_g = edit_notify;
using edit_color_b = edit_notify;

// A drop-down list; items may carry an icon of the image list, drawn by on_draw_item.
class combo : public child {
public:
    ~combo() override;
    HBRUSH on_ctl_color(HDC dc) override;
    bool on_draw_item(DRAWITEMSTRUCT* data) override;

    virtual void on_got_focus();
    virtual void on_lost_focus();
    virtual void on_drop_down();
    virtual void on_close_up();
    virtual void on_selection_changed();

    bool bind(HWND dialog, int control_id);
    // "COMBOBOX" with a drop-down list; `extra_style` adds owner-draw-fixed and has-strings.
    bool create(int x, int y, int width, int height, DWORD extra_style, HWND parent, int id);
    void set_colours(COLORREF text, COLORREF background);
    void set_image_list(HIMAGELIST images) { images_ = images; }
    // The icon, or the text's ":%d:" prefix when no icon is given (":3:C:" is icon 3 and "C:").
    int add(const char* text, int icon = -1);
    int insert(int index, const char* text, int icon = -1);
    // Keeps the item's icon.
    void replace(int index, const char* text);
    void remove(int index);
    void clear();
    int count() const;
    int selection() const;
    void select(int index);
    std::string item_text(int index) const;
    int item_icon(int index) const;
    void open_dropdown();

protected:
    COLORREF text_colour_ = 0;
    COLORREF background_colour_ = 0;
    HBRUSH brush_ = nullptr;
    HIMAGELIST images_ = nullptr;
};

// Combo boxes with fixed content. A choice (list closed or selection changed) is handed to
// the dialog through `changed`.
class combo_fixed : public combo {
public:
    std::function<void()> changed;
    void on_close_up() override { notify(); }
    void on_selection_changed() override { notify(); }

protected:
    void notify()
    {
        if (changed)
            changed();
    }
};
// Numbers first..last, every `step`, formatted with `format` (" 1", "00", ...), filled when
// bound.
class combo_numbers : public combo_fixed {
public:
    combo_numbers(int first, int last, const char* format, int step = 1)
        : first_(first), last_(last), step_(step), format_(format)
    {
    }
    bool bind(HWND dialog, int control_id);

private:
    int first_, last_, step_;
    const char* format_;
};
struct combo_month : combo_numbers {
    combo_month() : combo_numbers(1, 12, "%2d") {}
};
struct combo_day : combo_numbers {
    combo_day() : combo_numbers(1, 28, "%2d") {}
};
struct combo_hour : combo_numbers {
    combo_hour() : combo_numbers(0, 23, "%2d") {}
};
struct combo_minute : combo_numbers {
    combo_minute() : combo_numbers(0, 59, "%02d") {}
};
// Even seconds: FAT keeps times to two seconds.
struct combo_second : combo_numbers {
    combo_second() : combo_numbers(0, 58, "%02d", 2) {}
};
// The eight colour entries from string rows 94...; the first is selected.
struct combo_color : combo_fixed {
    bool bind(HWND dialog, int control_id);
};

class listbox : public child {
public:
    ~listbox() override;
    HBRUSH on_ctl_color(HDC dc) override;
    virtual void on_selection_changed();
    virtual void on_double_click();

    bool bind(HWND dialog, int control_id);
    int add(const char* text);
    void remove(int index);
    int selection() const;
    void select(int index);
    int count() const;
    std::string item_text(int index) const;
    // The first item whose text part is exactly `text`, or -1.
    int find(const char* text) const;
    void set_colours(COLORREF text, COLORREF background);

private:
    COLORREF text_colour_ = 0;
    COLORREF background_colour_ = 0;
    HBRUSH brush_ = nullptr;
};

class static_ : public child {
public:
    ~static_() override;
    HBRUSH on_ctl_color(HDC dc) override;
    virtual bool on_set_cursor();
    virtual void on_mouse_move();
    virtual void on_timer(UINT_PTR id);
    virtual void on_double_click();

    bool bind(HWND dialog, int control_id, bool bitmap = false);
    bool create(int x, int y, int width, int height, bool bitmap, HWND parent, int id);
    void set_colours(COLORREF text, COLORREF background);

    static LRESULT CALLBACK procedure(HWND, UINT, WPARAM, LPARAM);

private:
    bool bitmap_ = false;
    COLORREF text_colour_ = 0;
    COLORREF background_colour_ = 0;
    HBRUSH brush_ = nullptr;
};
using static_sample = static_;

class check : public child {
public:
    bool get_check() const;
    // Only sets the tick; nothing clears it.
    void set_check();
};

class button : public child {};

class commoncontrol : public child {};

struct toolbar_args {
    DWORD style = 0;
    int id = 0;
    HBITMAP bitmap = nullptr;
    const TBBUTTON* buttons = nullptr;
    int button_count = 0;
    int bitmap_count = 0;
    int image_width = 16;
    int image_height = 16;
    HIMAGELIST hot_images = nullptr;
};

class toolbar : public commoncontrol {
public:
    bool create(HWND parent, const toolbar_args& args);
    void enable_button(int id, bool on);
    // Check buttons: the program sets the checked state that a click toggles, so both agree.
    void check_button(int id, bool on);
    bool is_enabled(int id) const;
    bool is_checked(int id) const;
    void auto_size();
};

class status : public commoncontrol {
public:
    bool create(HWND parent, int id, int min_height = 0);
    // Right edges of the parts; every part's text is cleared.
    void set_parts(int count, const int* right_edges);
    void set_text(int part, const char* text);

    static LRESULT CALLBACK procedure(HWND, UINT, WPARAM, LPARAM);
};

class updown : public commoncontrol {
public:
    bool create(HWND parent, int id, HWND buddy, int upper, int lower, int position);
    void set_position(int value);
};

// A pop-up menu from string rows up to "end": "separator" rows, "popup " rows taking the next
// of `submenus`, and command rows numbered from first_command.
HMENU make_popup(unsigned first_string, int first_command, const std::vector<HMENU>& submenus);
// Right-button tracking at (x, y), or at the mouse position when x is -1.
void show_popup(HMENU menu, HWND owner, int x, int y);

// Text colour; background -1 is transparent, anything else opaque in that colour.
void apply_colours(HDC dc, COLORREF text, COLORREF background);
void draw_icon(HDC dc, int x, int y, HIMAGELIST images, int index);
HICON load_icon(const char* name, bool large);

constexpr COLORREF transparent_colour = static_cast<COLORREF>(-1);
