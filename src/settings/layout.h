// The layout file layout.ini: window rectangle, columns, sort, switches, pane directories, marks;
// and the rules that keep the window rectangle current.
#pragma once

#include <array>
#include <cstddef>
#include <string>

constexpr std::size_t layout_column_count = 5;
constexpr std::size_t mark_count = 12;
// Menu items of the mark menus: set mark i is 218 + i, go to mark i is 230 + i.
constexpr int first_set_mark_command = 218;
constexpr int first_go_to_mark_command = 230;

struct layout_state {
    int window_x = 0;
    int window_y = 0;
    int window_width = 320; // outer width with the left pane alone
    int window_height = 440;
    std::array<int, layout_column_count> column_widths{455, 42, 71, 126,
                                                       36}; // name, type, size, date, attributes
    int sort_column = 1;                                    // 0 name ... 4 attributes
    bool sort_ascending = true;
    bool hide_system_files = true;
    bool dual_window = false;             // as read at start-up; the live switch belongs to the main window
    std::array<std::string, 3> pane_dirs; // [1] left pane, [2] right pane; [0] unused
    std::array<std::string, mark_count> marks;
    // Where a jump to the mark a pane already shows leads back ([1] left, [2] right); not in the
    // file. Held here until the panes own it.
    std::array<std::string, 3> return_paths;
};

// The one layout state of the process (main thread).
layout_state& layout();

// program_dir + "layout.ini".
std::string layout_file_path();

// Creates the file with every key at its default when it does not exist; false at the first
// failed write. An existing file is left alone.
bool ensure_layout_file(const std::string& path);
// Reads every key into layout() (directories with forward slashes) and points both return
// paths at mark 1. Cannot fail.
void read_layout(const std::string& path);

// What only the main window knows when the layout is written: the widths of the left pane's
// list view columns as they are now, and whether two panes are open now.
struct layout_live {
    std::array<int, layout_column_count> column_widths{};
    bool dual_window = false;
};
// Writes every key from layout() and `live`; a failed write is ignored and the next key is
// still written. Called first when the main window is destroyed, while its controls exist.
void write_layout(const std::string& path, const layout_live& live);

// The rules of the main window's rectangle (integer arithmetic, e = the system edge width).
// Whether a move in this show state updates the stored position: not when hidden (0),
// minimised (2, 6, 7) or maximised (3).
bool keeps_window_position(int show_state);
// The outer width the window would have with the left pane alone, from a restored resize.
int single_pane_width(int outer_width, int client_width, int edge, bool dual);
// The outer width when the second pane opens: the single width plus the current client width.
int dual_pane_width(int single_width, int client_width, int edge);
// The widest the user can drag the window.
int max_track_width(int screen_width, int edge, bool dual);

// "%2d %s" with i + 1 and the path: mark 5 reads " 5 C:/work/".
std::string mark_menu_text(std::size_t i, const std::string& path);
