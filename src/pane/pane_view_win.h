// The pane view: each pane's box, wildcard field, information line and list, the active pane,
// and the pane operations the keys, the mouse and the commands run.
#pragma once

#include "pane/pane.h"
#include "pane/pane_host_win.h"
#include "toolkit/listview_win.h"

#include <windows.h>

#include <array>
#include <memory>
#include <string>

// Control ids: the box, wildcard field, information line and list of pane p are 700 + p,
// 702 + p, 704 + p and 706 + p.
constexpr int toolbar_id = 700;
constexpr int status_bar_id = 709;
constexpr int box_id(int pane)
{
    return 700 + pane;
}
constexpr int wildcard_id(int pane)
{
    return 702 + pane;
}
constexpr int info_id(int pane)
{
    return 704 + pane;
}
constexpr int list_id(int pane)
{
    return 706 + pane;
}

// The file list of a pane: a virtual report list whose rows are the pane's listing; the marks and
// the cursor are the control's selection and focus, kept equal to the listing's.
class listview_main : public listview_report {
public:
    explicit listview_main(int pane) : pane_(pane) {}

    void on_click() override;
    void on_right_click() override;
    void on_double_click() override;
    void on_item_prepaint(NMLVCUSTOMDRAW* draw) override;
    void on_header_end_track(int column) override;
    bool on_header_divider_double_click(int column) override;
    void on_char_typed(int character) override;
    bool on_key_down(int key) override;
    void on_item_changed(int item) override;
    void on_column_click(int column) override;
    void get_display_info(NMLVDISPINFOA* info) const override;

    // The listing was replaced (scroll to its top) or rearranged: the row count, marks and cursor
    // of the control become the listing's.
    void show_listing(bool from_top);
    // The control's marks and cursor become the listing's (after the user clicked).
    void take_states();
    // The control's focus state follows the listing's cursor.
    void show_cursor();
    void show_mark(int row);
    void redraw_row(int row);

private:
    int pane_;
    bool syncing_ = false;
};

// The pane's wildcard field: Enter applies, Esc undoes a change or applies.
class edit_wildcard : public edit {
public:
    explicit edit_wildcard(int pane) : pane_(pane) {}
    bool on_char_typed(int character) override;
    void on_got_focus() override;
    void on_lost_focus() override;

private:
    int pane_;
};

// The current-directory box: drives, network folders and FTP servers, the selected entry
// showing the pane's path.
class combo_currentdir : public combo {
public:
    explicit combo_currentdir(int pane) : pane_(pane) {}
    void on_got_focus() override;
    void on_lost_focus() override;
    void on_drop_down() override;
    void on_close_up() override;

    // The entry the program selected last.
    int remembered = -1;

private:
    int pane_;
};

// The controls of one pane and the hooks its model calls.
class pane_view : public pane_hooks {
public:
    explicit pane_view(int pane);
    ~pane_view() override;

    bool create(HWND parent, HFONT font, const int* column_widths);
    void apply_colours(bool source);

    void path_replaced() override;
    void suspend_redraw() override;
    void resume_redraw() override;
    void rows_sorted(int followed_row) override;
    void info_changed() override;
    void listing_read() override;
    void rows_changed() override;
    void show_row(int row) override;

    int index;
    combo_currentdir box;
    edit_wildcard wildcard;
    static_ info;
    listview_main list;
};

// The state of the pane area, one for the process (main thread).
struct pane_area {
    std::array<Pane, 3> panes; // [1] left, [2] right
    std::array<std::unique_ptr<pane_view>, 3> views;
    int active = 1;
    bool dual = false;
    HWND main = nullptr;
    HFONT font = nullptr;
    status* status_bar = nullptr;
    HMENU row_menu = nullptr;
    HMENU pane_menu = nullptr;
    HMENU main_menu = nullptr; // the menu bar: its mark items carry the mark texts
    int drive_count = 0;
    int network_count = 0;
    // The box entry selected when the drop-down opened or a digit was typed, and whether the
    // active pane showed an FTP path then.
    int entry_before = -1;
    bool ftp_before = false;
    // The program above the panes; a pane area without one does nothing upward.
    pane_host* host = nullptr;
    // The list whose column was resized last: its widths go to the other list.
    int resized_list = 0;
};
pane_area& panes();

// The host of the pane area, or one that does nothing.
pane_host& host();
Pane& active_pane();
Pane* other_pane(); // the target pane, or null with one pane
bool same_directory();
void post_command(int id, LPARAM parameter = 0);
void update_command_states();

// Pane operations.
void activate_pane(bool focus_list);
void focus_list();
void move_cursor(int delta);
void toggle_mark(bool advance);
void mark_all_files();
void invert_file_marks();
void unmark_all(int pane);
void select_newer();
void jump_to_letter(char letter);
void change_directory(const std::string& argument);
void set_mark(int k);
void go_to_mark(int k);
void open_entries();
int target_row();
POINT cursor_point();
// Writes the pane's path into the selected entry of its box.
void show_path_in_box(int pane);
// Every empty directory mark, from mark 12 down to mark 1, becomes the left pane's directory.
void fill_empty_marks();
// The column widths of the list of `pane` go to the other list (two panes open).
void copy_column_widths(int pane);

// Sorts the active pane by a column (the other pane by its current order), each cursor staying
// on its entry.
void sort_panes(int column);
// Reads a pane again, the cursor staying on its entry where it still exists.
void refresh_pane(int pane);
// A dialog's changes to a pane's rows: the list is held while they are made and then takes the
// rows, marks and cursor; the cursor is put on a row and scrolled into view.
void hold_list(int pane);
void release_list(int pane);
void put_cursor(int pane, int row);
void show_cursor_row(int pane);

// The display settings read again: every pane's box, wildcard field, information line and list
// take `font`, the active pane the source colours and the other pane the target colours, the
// status bar the font; all of them are redrawn at once.
void apply_display_settings(HFONT font);

// Drives and the current-directory box.
bool drive_exists(char letter);
bool is_fixed_drive(char letter);
void load_pane(int pane);
void choose_entry(int index);
// The box entry a path belongs to, in list order; -1 when there is none.
int entry_for_path(const combo& box, const std::string& path);

// The directory watcher of a pane (its thread comes with the watcher's own files).
void start_watcher(int pane);
void stop_watcher(int pane);
void suspend_watcher(int pane);
void resume_watcher(int pane);
