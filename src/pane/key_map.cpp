// The key map of a file list as tables.
#include "pane/key_map.h"

#include "resource.h"

namespace {

// A row matches keys first..last while every `with` modifier is held and no `without` one.
struct key_row {
    int first;
    int last;
    unsigned with;
    unsigned without;
    list_action action;
    int command; // the first of the row's commands: F3 posts command + 2
    bool consumed;
};

constexpr unsigned any = 0, shift = mod_shift, ctrl = mod_ctrl;
using a = list_action;

constexpr key_row key_rows[] = {
    {vk::page_up, vk::page_up, shift, any, a::to_first, 0, true},
    {vk::page_up, vk::page_up, any, any, a::page_up, 0, true},
    {vk::page_down, vk::page_down, shift, any, a::to_last, 0, true},
    {vk::page_down, vk::page_down, any, any, a::page_down, 0, true},
    {vk::space, vk::space, any, any, a::none, 0, true}, // the typed blank marks
    {vk::end, vk::end, any, any, a::to_last, 0, true},
    {vk::home, vk::home, any, any, a::to_first, 0, true},
    {vk::left, vk::left, shift, ctrl, a::scroll_left, 0, false},
    {vk::left, vk::left, ctrl, any, a::none, 0, false},
    {vk::left, vk::left, any, any, a::switch_pane, 0, true},
    {vk::up, vk::up, ctrl, any, a::to_first, 0, true},
    {vk::up, vk::up, shift, any, a::page_up, 0, true},
    {vk::up, vk::up, any, any, a::up, 0, true},
    {vk::right, vk::right, shift, ctrl, a::scroll_right, 0, false},
    {vk::right, vk::right, ctrl, any, a::none, 0, false},
    {vk::right, vk::right, any, any, a::switch_pane, 0, true},
    {vk::down, vk::down, ctrl, any, a::to_last, 0, true},
    {vk::down, vk::down, shift, any, a::page_down, 0, true},
    {vk::down, vk::down, any, any, a::down, 0, true},
    {vk::del, vk::del, any, any, a::unmark_all, 0, true}, // never deletes a file
    {vk::insert, vk::insert, any, any, a::mark_all_files, 0, true},
    {vk::back, vk::back, any, any, a::command, IDM_PARENT_DIRECTORY, true},
    {vk::enter, vk::enter, any, any, a::command, IDM_OPEN, true},
    {vk::escape, vk::escape, shift, any, a::command, IDM_RELOAD_DRIVES, true},
    {vk::escape, vk::escape, any, any, a::bring_editor_forward, 0, true},
    {vk::tab, vk::tab, any, any, a::switch_pane, 0, true},
    {vk::f1, vk::f12, shift, any, a::command, IDM_SET_MARK_FIRST, true},
    {vk::f1, vk::f12, any, any, a::command, IDM_GO_TO_MARK_FIRST, true},
};

constexpr key_row char_rows[] = {
    {' ', ' ', any, any, a::toggle_mark, 0, true},
    {'-', '-', any, any, a::unmark_all, 0, true},
    {'*', '*', any, any, a::all_files_wildcard, 0, true},
    {'/', '/', any, any, a::command, IDM_ROOT_DIRECTORY, true},
    {'\\', '\\', any, any, a::command, IDM_ROOT_DIRECTORY, true},
    {':', ':', any, any, a::select_drive, 0, true},
    {'1', '9', any, any, a::choose_entry, 0, true},
    {'A', 'Z', shift, any, a::jump_to_letter, 0, true},
    {'a', 'z', shift, any, a::jump_to_letter, 0, true},
};

// What the command letters do, in the order of the settings' key letters.
struct letter_row {
    list_action action;
    int command;
};
constexpr letter_row letter_rows[] = {
    {a::select_drive, 0},
    {a::edit_wildcard, 0},
    {a::command, IDM_ROW_MENU},
    {a::command, IDM_MAKE_DIRECTORY},
    {a::command, IDM_MAKE_FILE},
    {a::command, IDM_SELECT_ALL},
    {a::command, IDM_SELECT_NEWER},
    {a::command, IDM_DUAL_WINDOW},
    {a::command, IDM_HIDE_SYSTEM_FILES},
    {a::command, IDM_SORT_MENU},
    {a::command, IDM_PROGRAM_MENU},
};

template <std::size_t n>
std::optional<key_result> look_up(const key_row (&rows)[n], int key, unsigned modifiers)
{
    for (const key_row& r : rows)
        if (key >= r.first && key <= r.last && (modifiers & r.with) == r.with && !(modifiers & r.without)) {
            int index = key - r.first;
            return key_result{r.action, r.command ? r.command + index : 0, index, r.consumed};
        }
    return std::nullopt;
}

} // namespace

key_result key_down_action(int key, unsigned modifiers, const std::array<char, 11>& letters)
{
    if (auto r = look_up(key_rows, key, modifiers))
        return *r;
    if (modifiers & (mod_shift | mod_ctrl))
        return {};
    // The same letter twice: the earlier command wins.
    for (std::size_t i = 0; i < letters.size(); ++i)
        if (key == static_cast<unsigned char>(letters[i]))
            return {letter_rows[i].action, letter_rows[i].command, 0, true};
    return {};
}

key_result char_typed_action(int character, unsigned modifiers)
{
    return look_up(char_rows, character, modifiers).value_or(key_result{});
}

std::optional<int> cursor_step(list_action move, int rows, int cursor, int page)
{
    if (page < 1)
        page = 1;
    bool backward = move == a::to_first || move == a::page_up || move == a::up;
    if (rows < 2 || (backward ? cursor < 1 : cursor >= rows - 1))
        return std::nullopt;
    switch (move) {
    case a::to_first:
        return 1 - rows;
    case a::page_up:
        return 1 - page;
    case a::up:
        return -1;
    case a::down:
        return 1;
    case a::page_down:
        return page - 1;
    case a::to_last:
        return rows - 1;
    default:
        return std::nullopt;
    }
}
