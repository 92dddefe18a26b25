// The rules that enable the commands of toolbar and menus, as one function over the facts of the
// two panes; the main window applies the result through its table of buttons and menu items.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// The commands whose state follows the panes, in the order of the main window's table.
enum command_rule : std::size_t {
    rule_copy,
    rule_move,
    rule_delete,
    rule_rename,
    rule_attribute,
    rule_timestamp,
    rule_make_file,
    rule_select_newer,
    rule_root_directory,
    rule_parent_directory,
    rule_dual_window,       // pressed, not enabled
    rule_hide_system_files, // pressed, not enabled
    rule_programs,          // the menu bar's program menu
    command_rule_count
};

// What the rules look at. The target pane is the other pane while two are open.
struct pane_facts {
    bool dual = false;
    bool source_local = false;
    bool target_local = false;
    bool paths_differ = false;      // two panes on different directories
    bool source_below_root = false; // the source path goes on after its root
    std::size_t marked = 0;
    // The row a one-entry command acts on: the one marked row, or the cursor row; never "..".
    bool has_row = false;
    std::string_view row_attributes; // attribute text: 's' system, 'h' hidden, 'r' read-only
    bool row_is_dir = false;
    bool row_holds_target = false; // the row is a directory the target path lies inside
    bool hide_system_files = false;
    int manual_programs = 0;
};

using command_states = std::array<bool, command_rule_count>;

command_states command_states_for(const pane_facts& f);
