// A pane's file list and wildcard field: keys, characters, mouse, custom drawing.
#include "pane/pane_view_win.h"

#include "pane/pane_view_shared_win.h"

#include "pane/pane_choices.h"

#include "base/cp932.h"
#include "base/paths.h"
#include "pane/entry_text.h"
#include "pane/key_map.h"
#include "pane/local_listing_win.h"
#include "platform/process_paths.h"
#include "resource.h"
#include "settings/layout.h"
#include "settings/layout_win.h"
#include "settings/settings.h"
#include "toolkit/shell_icons_win.h"

#include <algorithm>

using namespace pane_internal;

// ---- listview_main ----

void listview_main::get_display_info(NMLVDISPINFOA* info) const
{
    const Pane& p = panes().panes[static_cast<std::size_t>(pane_)];
    LVITEMA& item = info->item;
    if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= p.rows.size())
        return;
    const FileEntry& row = p.rows.row(static_cast<std::size_t>(item.iItem));
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        int column = item.iSubItem < 0 ? 0 : item.iSubItem;
        column_chars text(row, column < column_count ? column : column_attributes);
        copy_bounded(item.pszText, static_cast<std::size_t>(item.cchTextMax), text.view());
    }
    if (item.mask & LVIF_IMAGE)
        item.iImage = row.icon;
}

void listview_main::show_listing(bool from_top)
{
    const Pane& p = panes().panes[static_cast<std::size_t>(pane_)];
    syncing_ = true;
    int count = static_cast<int>(p.rows.size());
    if (from_top) {
        SendMessageA(hwnd_, LVM_SETITEMCOUNT, 0, 0);
        SendMessageA(hwnd_, LVM_SETITEMCOUNT, count, 0);
    } else if (SendMessageA(hwnd_, LVM_GETITEMCOUNT, 0, 0) != count) {
        SendMessageA(hwnd_, LVM_SETITEMCOUNT, count, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    }
    // Clearing the state of every row costs as much as a read of 100,000 files: only the marks
    // and the cursor the control holds are cleared.
    LVITEMA clear{};
    if (marked_count() > 0) {
        clear.stateMask = LVIS_SELECTED;
        SendMessageA(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    }
    int focused = cursor();
    if (focused >= 0 && focused != p.rows.cursor()) {
        clear.stateMask = LVIS_FOCUSED;
        SendMessageA(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(focused), reinterpret_cast<LPARAM>(&clear));
    }
    for (std::size_t i = 0; i < p.rows.size(); ++i)
        if (p.rows.marked(i))
            mark(static_cast<int>(i));
    if (p.rows.cursor() >= 0) {
        set_cursor(p.rows.cursor());
        SendMessageA(hwnd_, LVM_SETSELECTIONMARK, 0, p.rows.cursor());
    }
    syncing_ = false;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void listview_main::take_states()
{
    Pane& p = panes().panes[static_cast<std::size_t>(pane_)];
    for (std::size_t i = 0; i < p.rows.size(); ++i)
        p.rows.set_marked(i, false);
    for (int i = next_marked(-1); i >= 0; i = next_marked(i)) {
        if (static_cast<std::size_t>(i) >= p.rows.size())
            break;
        if (p.rows.row(static_cast<std::size_t>(i)).name == "..") {
            syncing_ = true;
            unmark(i); // ".." is never marked
            syncing_ = false;
            continue;
        }
        p.rows.set_marked(static_cast<std::size_t>(i), true);
    }
    int focused = cursor();
    if (focused >= 0)
        p.rows.set_cursor(focused);
}

void listview_main::show_cursor()
{
    const Pane& p = panes().panes[static_cast<std::size_t>(pane_)];
    syncing_ = true;
    if (p.rows.cursor() >= 0) {
        set_cursor(p.rows.cursor());
        SendMessageA(hwnd_, LVM_SETSELECTIONMARK, 0, p.rows.cursor());
    }
    syncing_ = false;
}

void listview_main::show_mark(int row)
{
    const Pane& p = panes().panes[static_cast<std::size_t>(pane_)];
    if (row < 0 || static_cast<std::size_t>(row) >= p.rows.size())
        return;
    syncing_ = true;
    if (p.rows.marked(static_cast<std::size_t>(row)))
        mark(row);
    else
        unmark(row);
    syncing_ = false;
}

void listview_main::redraw_row(int row)
{
    if (row >= 0)
        SendMessageA(hwnd_, LVM_REDRAWITEMS, row, row);
}

void listview_main::on_click()
{
    if (pane_ != panes().active)
        activate_pane(false);
    take_states();
    Pane& p = panes().panes[static_cast<std::size_t>(pane_)];
    update_pane_info(p);
    update_command_states();
}

void listview_main::on_right_click()
{
    if (pane_ != panes().active)
        activate_pane(false);
    take_states();
    POINT at{};
    int row = row_under_mouse(hwnd_, at);
    HMENU menu = row >= 0 ? panes().row_menu : panes().pane_menu;
    if (menu)
        show_popup(menu, panes().main, at.x, at.y);
}

void listview_main::on_double_click()
{
    POINT at{};
    if (row_under_mouse(hwnd_, at) >= 0)
        post_command(IDM_OPEN);
    else
        post_command(key_held(VK_SHIFT) ? IDM_ROOT_DIRECTORY : IDM_PARENT_DIRECTORY);
}

void listview_main::on_item_prepaint(NMLVCUSTOMDRAW* draw)
{
    const Pane& p = panes().panes[static_cast<std::size_t>(pane_)];
    auto index = static_cast<std::size_t>(draw->nmcd.dwItemSpec);
    draw->clrTextBk = colour(pane_ == panes().active ? color_back_source : color_back_target);
    if (index >= p.rows.size()) {
        draw->clrText = colour(color_text_normal);
        return;
    }
    const FileEntry& row = p.rows.row(index);
    column_chars attributes(row, column_attributes); // painted often: made without allocating
    std::string_view a = attributes.view();
    std::size_t which = color_text_normal;
    if (a.size() > 0 && a[0] == 's')
        which = color_text_system;
    else if (a.size() > 1 && a[1] == 'h')
        which = color_text_hidden;
    else if (a.size() > 2 && a[2] == 'r')
        which = color_text_readonly;
    else if (is_dir_entry(row))
        which = color_text_directory;
    else if (system_icons() && row.icon == system_icons()->generic_file_icon())
        which = color_text_unknown;
    draw->clrText = colour(which);
}

void listview_main::on_header_end_track(int)
{
    // The new width is applied after this notification: the other list follows once it is.
    if (!panes().dual)
        return;
    panes().resized_list = pane_;
    PostMessageA(panes().main, app_message, 0, 0);
    if (pane_ != panes().active)
        activate_pane(false);
}

bool listview_main::on_header_divider_double_click(int column)
{
    if (!panes().dual)
        return false;
    set_column_width(column, LVSCW_AUTOSIZE);
    if (pane_view* other = view_of(3 - pane_))
        other->list.set_column_width(column, column_width(column));
    return true;
}

namespace {

unsigned held_modifiers()
{
    return (key_held(VK_SHIFT) ? mod_shift : 0u) | (key_held(VK_CONTROL) ? mod_ctrl : 0u);
}

void open_drive_box()
{
    if (pane_view* v = active_view()) {
        v->box.set_focus();
        v->box.open_dropdown();
    }
}

} // namespace

void listview_main::on_char_typed(int character)
{
    pane_area& a = panes();
    key_result k = char_typed_action(character, held_modifiers());
    switch (k.action) {
    case list_action::toggle_mark:
        toggle_mark(key_held(VK_SHIFT));
        return;
    case list_action::unmark_all:
        ::unmark_all(pane_);
        return;
    case list_action::all_files_wildcard: {
        Pane& p = active_pane();
        p.wildcard = "*.*";
        if (pane_view* v = active_view())
            v->wildcard.set_text("*.*");
        read_listing(p, false);
        return;
    }
    case list_action::select_drive:
        open_drive_box();
        return;
    case list_action::choose_entry: {
        pane_view* v = active_view();
        if (!v || v->box.count() <= k.index)
            return;
        a.entry_before = v->box.selection();
        a.ftp_before = !is_local_path(active_pane().path);
        post_command(IDM_CHOOSE_ENTRY, k.index);
        return;
    }
    case list_action::jump_to_letter:
        jump_to_letter(static_cast<char>(character));
        return;
    case list_action::command:
        post_command(k.command);
        return;
    default:
        return;
    }
}

bool listview_main::on_key_down(int key)
{
    pane_area& a = panes();
    const Pane& p = a.panes[static_cast<std::size_t>(pane_)];
    key_result k = key_down_action(key, held_modifiers(), settings().key_letters);
    if (auto step =
            cursor_step(k.action, static_cast<int>(p.rows.size()), p.rows.cursor(), rows_per_page())) {
        move_cursor(*step);
        return k.consumed;
    }
    switch (k.action) {
    case list_action::scroll_left:
    case list_action::scroll_right:
        scroll(k.action == list_action::scroll_left ? -8 : 8);
        break;
    case list_action::switch_pane:
        if (a.dual)
            activate_pane(true);
        break;
    case list_action::unmark_all:
        ::unmark_all(pane_); // never deletes a file
        break;
    case list_action::mark_all_files:
        mark_all_files();
        break;
    case list_action::bring_editor_forward:
        bring_editor_forward();
        break;
    case list_action::select_drive:
        open_drive_box();
        break;
    case list_action::edit_wildcard:
        if (pane_view* v = active_view())
            v->wildcard.set_focus();
        break;
    case list_action::command:
        post_command(k.command);
        break;
    default:
        break;
    }
    return k.consumed;
}

void listview_main::on_item_changed(int item)
{
    if (syncing_)
        return;
    Pane& p = panes().panes[static_cast<std::size_t>(pane_)];
    if (item < 0 || static_cast<std::size_t>(item) >= p.rows.size()) {
        take_states();
    } else {
        auto i = static_cast<std::size_t>(item);
        bool on = is_marked(item);
        if (on && p.rows.row(i).name == "..") {
            syncing_ = true;
            unmark(item); // ".." is never marked
            syncing_ = false;
            on = false;
        }
        p.rows.set_marked(i, on);
        int focused = cursor();
        if (focused >= 0)
            p.rows.set_cursor(focused);
    }
    update_pane_info(active_pane());
    update_command_states();
}

void listview_main::on_column_click(int column)
{
    if (pane_ != panes().active)
        activate_pane(false);
    post_command(IDM_SORT_FIRST + column);
}

// ---- edit_wildcard ----

bool edit_wildcard::on_char_typed(int character)
{
    if (character == '\r') {
        focus_list();
        return true;
    }
    if (character == 0x1B) {
        if (was_modified() && SendMessageA(hwnd_, EM_CANUNDO, 0, 0)) {
            undo();
            clear_modified();
        } else {
            focus_list();
        }
        return true;
    }
    return false;
}

void edit_wildcard::on_got_focus()
{
    edit::on_got_focus();
    if (pane_ != panes().active)
        activate_pane(false);
    clear_modified();
}

void edit_wildcard::on_lost_focus()
{
    edit::on_lost_focus();
    if (!was_modified())
        return;
    clear_modified();
    Pane& p = panes().panes[static_cast<std::size_t>(pane_)];
    p.wildcard = bounded(get_text(256), path_size);
    read_listing(p, false);
}
