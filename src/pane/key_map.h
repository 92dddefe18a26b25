// The key map of a file list: key-down codes and typed characters to the list's actions and the
// commands it posts, as tables in the order the keys are tested.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

// Modifier keys held at the press.
enum : unsigned { mod_shift = 1, mod_ctrl = 2 };

// Virtual-key codes as the platform numbers them.
namespace vk {
constexpr int back = 0x08, tab = 0x09, enter = 0x0D, escape = 0x1B, space = 0x20, page_up = 0x21,
              page_down = 0x22, end = 0x23, home = 0x24, left = 0x25, up = 0x26, right = 0x27, down = 0x28,
              insert = 0x2D, del = 0x2E, f1 = 0x70, f12 = 0x7B;
} // namespace vk

enum class list_action {
    none,    // consumed or passed on, nothing done
    command, // post key_result::command to the main window
    // cursor moves (see cursor_step)
    to_first,
    page_up,
    up,
    down,
    page_down,
    to_last,
    scroll_left,
    scroll_right,
    switch_pane, // two panes only
    unmark_all,
    mark_all_files,
    bring_editor_forward,
    select_drive,
    edit_wildcard,
    toggle_mark,
    all_files_wildcard,
    jump_to_letter,
    choose_entry, // index: the box entry
};

struct key_result {
    list_action action = list_action::none;
    int command = 0;       // with list_action::command
    int index = 0;         // key - first key of its row: '1' is entry 0
    bool consumed = false; // not seen by the list control
};

// A key down on a list with the modifiers held and the settings' eleven command letters.
key_result key_down_action(int key, unsigned modifiers, const std::array<char, 11>& letters);
// A character typed into a list.
key_result char_typed_action(int character, unsigned modifiers);

// How far a cursor move goes from `cursor` in a list of `rows` rows with `page` rows visible;
// nothing on the first row going up, on the last going down, or with fewer than two rows. The
// list clamps the target to its first and last row.
std::optional<int> cursor_step(list_action move, int rows, int cursor, int page);
