// The main window: menu bar, toolbar, one or two panes and the status bar; the command table and
// the rules that enable the commands.
#pragma once

#include "toolkit/controls_win.h"

#include <windows.h>

#include <cstddef>
#include <memory>
#include <optional>

class pane_host;

class window_ : public window {
public:
    window_();
    ~window_() override;

    // Registers the class and creates the window with the outer rectangle and show command.
    bool create(int x, int y, int width, int height, int show_command);

    int on_create() override;
    void on_destroy() override;
    void on_close() override;
    void on_command(int id, HWND control_window) override;
    void on_move() override;
    void on_size(int kind) override;
    void on_min_max_info(MINMAXINFO* info) override;
    bool on_activate(bool active, bool minimized) override;
    void on_enable() override;
    bool on_query_end_session() override;
    void on_app_message() override;

    void update_command_states();
    void layout_controls();
    void set_dual_mode();
    void popup_at_cursor(HMENU menu);

    // The toolbar holds the enabled and checked states of the commands it shows.
    const toolbar& tools() const { return toolbar_; }
    HMENU menu_bar() const { return menu_; }
    HMENU row_menu() const { return row_menu_; }
    HMENU pane_menu() const { return pane_menu_; }

private:
    // A command whose button is disabled is ignored.
    bool allowed(int id) const { return toolbar_.is_enabled(id); }
    void sort_by(int column);
    void reload_drives();
    // The FTP server dialog for a new server (none) or the index-th; the drives are re-read after
    // a change.
    void edit_ftp_server(std::optional<std::size_t> index);
    // The editor of a manual or an extension program, new (none) or the index-th; the program
    // menus are built again after a change.
    void edit_program(bool manual, std::optional<std::size_t> index);
    // The options dialog; confirmed, its font and colours go to the panes at once.
    void edit_options();
    void open_right_pane();
    void close_right_pane();
    void set_status_parts();
    // The entries of a definition submenu: its items less "new" and the separator.
    static int definition_count(HMENU submenu);

    HFONT font_ = nullptr;
    HBITMAP toolbar_bitmap_ = nullptr;
    HIMAGELIST toolbar_images_ = nullptr;
    HIMAGELIST hot_images_ = nullptr;
    HBRUSH source_brush_ = nullptr;
    HBRUSH target_brush_ = nullptr;
    HMENU menu_ = nullptr;
    HMENU file_menu_ = nullptr;
    HMENU edit_menu_ = nullptr;
    HMENU view_menu_ = nullptr;
    HMENU sort_menu_ = nullptr;
    HMENU set_mark_menu_ = nullptr;
    HMENU go_to_mark_menu_ = nullptr;
    HMENU program_menu_ = nullptr;
    HMENU extension_menu_ = nullptr;
    HMENU manual_menu_ = nullptr;
    HMENU server_menu_ = nullptr;
    HMENU pane_menu_ = nullptr;
    HMENU row_menu_ = nullptr;
    toolbar toolbar_;
    status status_;
    std::unique_ptr<pane_host> host_; // the panes' way up to this window
};
