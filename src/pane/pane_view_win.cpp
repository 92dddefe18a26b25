// The pane view: controls of a pane, the list's keys, characters, mouse and colours, and the pane
// operations (activation, cursor, marks, directory changes, directory marks, opening).
#include "pane/pane_view_win.h"

#include "pane/pane_choices.h"

#include "platform/process_paths.h"
#include "base/cp932.h"
#include "base/paths.h"
#include "toolkit/shell_icons_win.h"
#include "pane/entry_text.h"
#include "pane/key_map.h"
#include "pane/local_listing_win.h"
#include "resource.h"
#include "settings/layout.h"
#include "settings/layout_win.h"
#include "settings/settings.h"

#include <algorithm>

pane_area& panes()
{
    static pane_area area;
    return area;
}

Pane& active_pane()
{
    return panes().panes[static_cast<std::size_t>(panes().active)];
}

Pane* other_pane()
{
    pane_area& a = panes();
    return a.dual ? &a.panes[static_cast<std::size_t>(3 - a.active)] : nullptr;
}

bool same_directory()
{
    pane_area& a = panes();
    return a.dual && a.panes[1].path == a.panes[2].path;
}

void post_command(int id, LPARAM parameter)
{
    PostMessageA(panes().main, WM_COMMAND, static_cast<WPARAM>(id), parameter);
}

pane_host& host()
{
    static pane_host nothing_above;
    pane_host* h = panes().host;
    return h ? *h : nothing_above;
}

void update_command_states()
{
    host().command_states_changed();
}

namespace {

pane_view* view_of(int pane)
{
    if (pane < 1 || pane > 2)
        return nullptr;
    return panes().views[static_cast<std::size_t>(pane)].get();
}

pane_view* active_view()
{
    return view_of(panes().active);
}

bool key_held(int key)
{
    return GetKeyState(key) < 0;
}

COLORREF colour(std::size_t which)
{
    return settings().colors[which];
}

// After marks changed by a pane operation: the control, the information line, the commands.
void marks_changed(int pane)
{
    Pane& p = panes().panes[static_cast<std::size_t>(pane)];
    if (pane_view* v = view_of(pane))
        v->list.show_listing(false);
    update_pane_info(p);
    update_command_states();
}

std::vector<std::string> box_entries(const combo& box)
{
    std::vector<std::string> entries;
    int n = box.count();
    for (int i = 0; i < n; ++i)
        entries.push_back(box.item_text(i));
    return entries;
}

int entry_icon(const std::string& text)
{
    shell_icons* icons = system_icons();
    if (!icons)
        return -1;
    if (text.size() >= 2 && text[1] == ':')
        return icons->icon_of(text.substr(0, 2) + "/");
    return icons->network_icon();
}

void bring_editor_forward()
{
    HWND editor = FindWindowA("Quillmere", nullptr);
    if (!editor)
        return;
    if (IsIconic(editor))
        SendMessageA(editor, WM_SYSCOMMAND, SC_RESTORE, 0);
    SetForegroundWindow(editor);
}

// The row under the mouse pointer (-1 for none); `at` gets the pointer in screen coordinates.
int row_under_mouse(HWND list, POINT& at)
{
    GetCursorPos(&at);
    LVHITTESTINFO hit{};
    hit.pt = at;
    ScreenToClient(list, &hit.pt);
    return static_cast<int>(SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

} // namespace

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
        copy_bounded(item.pszText, static_cast<std::size_t>(item.cchTextMax), column_text(row, column));
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
    } else {
        SendMessageA(hwnd_, LVM_SETITEMCOUNT, count, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    }
    LVITEMA clear{};
    clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
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
    const std::string& a = row.attr_text;
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

// ---- combo_currentdir ----

void combo_currentdir::on_got_focus()
{
    if (pane_ != panes().active)
        activate_pane(false);
    panes().entry_before = selection();
    panes().ftp_before = !is_local_path(active_pane().path);
}

void combo_currentdir::on_lost_focus()
{
    int now = selection();
    if (now == remembered)
        return;
    remembered = now;
    post_command(IDM_CHOOSE_ENTRY, now);
}

void combo_currentdir::on_drop_down()
{
    panes().entry_before = selection();
    panes().ftp_before = !is_local_path(active_pane().path);
}

void combo_currentdir::on_close_up()
{
    focus_list();
}

// ---- pane_view ----

pane_view::pane_view(int pane) : index(pane), box(pane), wildcard(pane), list(pane) {}

pane_view::~pane_view()
{
    Pane& p = panes().panes[static_cast<std::size_t>(index)];
    if (p.hooks == this)
        p.hooks = nullptr;
}

bool pane_view::create(HWND parent, HFONT font, const int* column_widths)
{
    Pane& p = panes().panes[static_cast<std::size_t>(index)];
    HIMAGELIST images = system_icons() ? system_icons()->image_list() : nullptr;
    if (!box.create(0, 0, 100, 300, CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, parent, box_id(index)))
        return false;
    box.set_image_list(images);
    box.set_font(font);
    if (!wildcard.create(0, 0, 96, 26, ES_AUTOHSCROLL, parent, wildcard_id(index)))
        return false;
    wildcard.set_font(font);
    wildcard.set_limit(257); // 256 characters
    wildcard.set_text(p.wildcard.c_str());
    if (!info.create(0, 0, 100, 18, false, parent, info_id(index)))
        return false;
    info.set_font(font);
    info.set_text("");
    if (!list.create(0, 0, 100, 100, 0, parent, list_id(index), images, IDS_FILE_COLUMN_ROWS))
        return false;
    list.set_font(font);
    for (int c = 0; c < list.columns() && c < column_count; ++c)
        list.set_column_width(c, column_widths[c]);
    p.hooks = this;
    return true;
}

void pane_view::apply_colours(bool source)
{
    COLORREF text = colour(color_text_normal);
    COLORREF back = colour(source ? color_back_source : color_back_target);
    box.set_colours(text, back);
    wildcard.set_colours(text, back);
    list.set_colours(text, back);
    InvalidateRect(box.handle(), nullptr, TRUE);
    InvalidateRect(wildcard.handle(), nullptr, TRUE);
    InvalidateRect(list.handle(), nullptr, TRUE);
}

void pane_view::path_replaced()
{
    show_path_in_box(index);
}

void pane_view::suspend_redraw()
{
    list.suspend_redraw();
}

void pane_view::resume_redraw()
{
    list.show_listing(true);
    list.resume_redraw();
}

void pane_view::rows_sorted(int followed_row)
{
    list.show_listing(false);
    if (followed_row >= 0)
        list.ensure_visible(followed_row);
    list.redraw_row(0);
    InvalidateRect(list.handle(), nullptr, FALSE);
}

void pane_view::info_changed()
{
    Pane& p = panes().panes[static_cast<std::size_t>(index)];
    info.set_text(p.info_text.c_str());
    if (panes().status_bar)
        panes().status_bar->set_text(index - 1, p.status_text.c_str());
}

void pane_view::rows_changed()
{
    list.show_listing(false);
    InvalidateRect(list.handle(), nullptr, FALSE);
}

void pane_view::show_row(int row)
{
    list.ensure_visible(row);
}

void pane_view::listing_read()
{
    if (index == panes().active)
        update_command_states();
}

// ---- pane operations ----

void activate_pane(bool focus)
{
    pane_area& a = panes();
    if (!a.dual)
        return;
    if (pane_view* old = view_of(a.active))
        old->apply_colours(false);
    a.active = 3 - a.active;
    if (pane_view* now = view_of(a.active))
        now->apply_colours(true);
    Pane& p = active_pane();
    if (is_local_path(p.path))
        SetCurrentDirectoryA(p.path.c_str());
    RedrawWindow(a.main, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE);
    if (focus)
        focus_list();
    update_command_states();
}

void focus_list()
{
    pane_area& a = panes();
    if (!a.main || GetForegroundWindow() != a.main)
        return;
    if (pane_view* v = active_view()) {
        v->list.set_focus();
        int c = active_pane().rows.cursor();
        if (c >= 0)
            v->list.ensure_visible(c);
    }
}

void move_cursor(int delta)
{
    Pane& p = active_pane();
    pane_view* v = active_view();
    int rows = static_cast<int>(p.rows.size());
    if (rows == 0 || !v)
        return;
    int old = p.rows.cursor();
    int target = std::clamp((old < 0 ? 0 : old) + delta, 0, rows - 1);
    p.rows.set_cursor(target);
    v->list.show_cursor();
    v->list.redraw_row(old);
    v->list.ensure_visible(target);
    update_command_states();
}

void toggle_mark(bool advance)
{
    Pane& p = active_pane();
    pane_view* v = active_view();
    int c = p.rows.cursor();
    if (c < 0 || !v)
        return;
    auto i = static_cast<std::size_t>(c);
    if (p.rows.row(i).name != "..")
        p.rows.set_marked(i, !p.rows.marked(i));
    v->list.show_mark(c);
    if (advance && c + 1 < static_cast<int>(p.rows.size())) {
        p.rows.set_cursor(c + 1);
        v->list.show_cursor();
        v->list.ensure_visible(c + 1);
    }
    update_pane_info(p);
    update_command_states();
}

void mark_all_files()
{
    Pane& p = active_pane();
    for (std::size_t i = 0; i < p.rows.size(); ++i)
        if (!is_dir_entry(p.rows.row(i)))
            p.rows.set_marked(i, true);
    marks_changed(panes().active);
}

void invert_file_marks()
{
    Pane& p = active_pane();
    for (std::size_t i = 0; i < p.rows.size(); ++i)
        if (!is_dir_entry(p.rows.row(i)))
            p.rows.set_marked(i, !p.rows.marked(i));
    marks_changed(panes().active);
}

void unmark_all(int pane)
{
    Pane& p = panes().panes[static_cast<std::size_t>(pane)];
    for (std::size_t i = 0; i < p.rows.size(); ++i)
        p.rows.set_marked(i, false);
    marks_changed(pane);
}

void select_newer()
{
    Pane* other = other_pane();
    if (!other)
        return;
    Pane& p = active_pane();
    pane_view* v = active_view();
    if (v)
        v->list.suspend_redraw();
    mark_newer(p, *other);
    if (v)
        v->list.resume_redraw();
    marks_changed(panes().active);
}

void jump_to_letter(char letter)
{
    Pane& p = active_pane();
    pane_view* v = active_view();
    if (!v)
        return;
    for (std::size_t i = static_cast<std::size_t>(p.rows.cursor() + 1); i < p.rows.size(); ++i) {
        const std::string& name = p.rows.row(i).name;
        if (!name.empty() && ascii_lower(name[0]) == ascii_lower(letter)) {
            int old = p.rows.cursor();
            p.rows.set_cursor(static_cast<int>(i));
            v->list.show_cursor();
            v->list.redraw_row(old);
            v->list.ensure_visible(static_cast<int>(i));
            update_command_states();
            return;
        }
    }
}

void show_path_in_box(int pane)
{
    pane_view* v = view_of(pane);
    if (!v)
        return;
    int selected = v->box.selection();
    if (selected < 0)
        return;
    const Pane& p = panes().panes[static_cast<std::size_t>(pane)];
    v->box.replace(selected, p.path.c_str());
}

void change_directory(const std::string& argument)
{
    pane_area& a = panes();
    int index = a.active;
    Pane& p = active_pane();
    stop_watcher(index);
    directory_step step = step_directory(p.path, argument);
    if (!step.ok) {
        if (is_local_path(p.path))
            start_watcher(index);
        return;
    }
    const std::string& path = step.path;
    const std::string& left = step.left;
    std::string old = p.path;
    p.path = path;
    show_path_in_box(index);
    if (!read_listing(p, true)) {
        p.path = old;
        show_path_in_box(index);
    } else if (!left.empty()) {
        int row = find_entry(p, true, left);
        if (row >= 0) {
            p.rows.set_cursor(row);
            if (pane_view* v = view_of(index)) {
                v->list.show_cursor();
                v->list.ensure_visible(row);
            }
        }
        update_command_states();
    }
    if (is_local_path(p.path))
        start_watcher(index);
}

void set_mark(int k)
{
    if (k < 0 || k >= static_cast<int>(mark_count))
        return;
    Pane& p = active_pane();
    layout().marks[static_cast<std::size_t>(k)] = p.path;
    p.return_path = p.path;
    if (panes().main_menu)
        update_mark_menu_text(panes().main_menu, static_cast<std::size_t>(k), p.path);
}

void fill_empty_marks()
{
    Pane& left = panes().panes[1];
    for (int k = static_cast<int>(mark_count) - 1; k >= 0; --k) {
        if (!layout().marks[static_cast<std::size_t>(k)].empty())
            continue;
        layout().marks[static_cast<std::size_t>(k)] = left.path;
        left.return_path = left.path;
        if (panes().main_menu)
            update_mark_menu_text(panes().main_menu, static_cast<std::size_t>(k), left.path);
    }
}

void go_to_mark(int k)
{
    if (k < 0 || k >= static_cast<int>(mark_count))
        return;
    pane_area& a = panes();
    int index = a.active;
    Pane& p = active_pane();
    pane_view* v = view_of(index);
    const std::string& mark = layout().marks[static_cast<std::size_t>(k)];
    mark_jump jump = follow_mark(p, mark);
    const std::string& destination = jump.destination;
    int entry = v ? entry_for_path(*static_cast<combo*>(&v->box), destination) : -1;
    // A mark whose drive, share or server is gone is not followed, and leaves nothing changed.
    if (entry < 0)
        return;
    p.return_path = jump.return_path;
    stop_watcher(index);
    v->box.replace(entry, destination.c_str());
    v->box.select(entry);
    v->box.remembered = entry;
    p.path = destination;
    read_listing(p, true);
    if (is_local_path(p.path))
        start_watcher(index);
}

void open_entries()
{
    pane_area& a = panes();
    auto open_in_active = [&] {
        Pane& p = active_pane();
        bool local = is_local_path(p.path);
        struct chosen {
            std::string name;
            bool is_dir;
        };
        std::vector<chosen> list;
        for (int row : rows_to_process(p)) {
            const FileEntry& e = p.rows.row(static_cast<std::size_t>(row));
            list.push_back({join_entry_name(e), is_dir_entry(e)});
        }
        for (const chosen& c : list) {
            if (c.is_dir) {
                change_directory(c.name); // the pane is read again: no marks are left
                break;
            }
            if (local)
                host().open_file(c.name);
        }
        unmark_all(a.active);
    };
    open_in_active();
    Pane* other = other_pane();
    if (other && other->rows.marked_count() > 0) {
        activate_pane(true);
        open_in_active();
        activate_pane(true);
    }
}

int target_row()
{
    return target_row(active_pane());
}

POINT cursor_point()
{
    POINT at{0, 0};
    pane_view* v = active_view();
    if (!v)
        return at;
    int c = active_pane().rows.cursor();
    RECT label{};
    label.left = LVIR_LABEL;
    if (c >= 0 && SendMessageA(v->list.handle(), LVM_GETITEMRECT, c, reinterpret_cast<LPARAM>(&label))) {
        at.x = label.right;
        at.y = (label.top + label.bottom) / 2;
    }
    ClientToScreen(v->list.handle(), &at);
    return at;
}

void copy_column_widths(int pane)
{
    pane_view* from = view_of(pane);
    pane_view* to = view_of(3 - pane);
    if (!from || !to)
        return;
    for (int c = 0; c < from->list.columns(); ++c)
        to->list.set_column_width(c, from->list.column_width(c));
}

// ---- drives and the current-directory box ----

bool drive_exists(char letter)
{
    char root[4] = {letter, ':', '/', '\0'};
    return GetDriveTypeA(root) > 1;
}

bool is_fixed_drive(char letter)
{
    char root[4] = {letter, ':', '/', '\0'};
    return GetDriveTypeA(root) == DRIVE_FIXED;
}

int entry_for_path(const combo& box, const std::string& path)
{
    return entry_for_path(box_entries(box), path);
}

void load_pane(int index)
{
    pane_area& a = panes();
    pane_view* v = view_of(index);
    if (!v)
        return;
    Pane& p = a.panes[static_cast<std::size_t>(index)];
    bool active = index == a.active;
    if (active)
        stop_watcher(index);
    v->box.suspend_redraw();
    v->box.clear();
    bool placed = false;
    if (index == 1) {
        a.drive_count = 0;
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
            if (!drive_exists(letter))
                continue;
            char root[4] = {letter, ':', '/', '\0'};
            v->box.add(root, system_icons() ? system_icons()->icon_of(root) : -1);
            ++a.drive_count;
        }
        auto folders = netdrive_folders(read_netdrive_list(settings_file_path()));
        a.network_count = static_cast<int>(folders.size());
        for (const std::string& folder : folders) {
            std::string text = bounded(folder, path_size);
            v->box.add(text.c_str(), system_icons() ? system_icons()->network_icon() : -1);
        }
        HMENU servers = nullptr;
        if (a.main_menu)
            servers = GetSubMenu(GetSubMenu(a.main_menu, MENU_POS_SETTINGS), MENU_POS_SETTINGS_FTP_SERVERS);
        host().add_server_entries(v->box, servers);
        if (p.path.empty()) {
            for (int i = 0; i < v->box.count(); ++i) {
                std::string text = v->box.item_text(i);
                if (text.size() >= 2 && text[1] == ':' && is_fixed_drive(text[0])) {
                    v->box.select(i);
                    v->box.remembered = i;
                    p.path = text;
                    break;
                }
            }
            placed = true;
        }
    } else {
        pane_view* left = view_of(1);
        if (left)
            for (const std::string& text : box_entries(left->box))
                v->box.add(text.c_str(), entry_icon(text));
        if (p.path.empty() && left) {
            int selected = left->box.selection();
            v->box.select(selected);
            v->box.remembered = selected;
            p.path = a.panes[1].path;
            placed = true;
        }
    }
    if (!placed) {
        int entry = entry_for_path(v->box, p.path);
        if (entry >= 0) {
            v->box.replace(entry, p.path.c_str());
            v->box.select(entry);
        }
        v->box.remembered = entry;
    }
    if (index == 1)
        fill_empty_marks();
    v->box.resume_redraw();
    read_listing(p, active);
    if (active && is_local_path(p.path))
        start_watcher(index);
}

void choose_entry(int entry)
{
    pane_area& a = panes();
    int index = a.active;
    pane_view* v = view_of(index);
    if (!v || entry < 0 || entry >= v->box.count())
        return;
    Pane& p = active_pane();
    int earlier = a.entry_before;
    stop_watcher(index);
    v->box.select(entry);
    v->box.remembered = entry;
    p.path = v->box.item_text(entry);
    if (a.ftp_before)
        host().leave_server(index, earlier);
    a.ftp_before = false;
    auto back_to_earlier = [&] {
        if (earlier < 0 || earlier >= v->box.count())
            return;
        v->box.select(earlier);
        v->box.remembered = earlier;
        p.path = v->box.item_text(earlier);
    };
    if (!is_local_path(p.path) && !host().open_server(index, entry)) {
        back_to_earlier();
        if (!is_local_path(p.path))
            host().open_server(index, earlier);
        return;
    }
    if (!read_listing(p, true))
        back_to_earlier();
    if (is_local_path(p.path))
        start_watcher(index);
}

// ---- operations the commands and dialogs run on a pane ----

void sort_panes(int column)
{
    pane_area& a = panes();
    auto sort_pane = [&](int index, int c) {
        Pane& p = a.panes[static_cast<std::size_t>(index)];
        pane_view* v = view_of(index);
        int cursor = p.rows.cursor();
        if (cursor < 0 || !v)
            return;
        const FileEntry& row = p.rows.row(static_cast<std::size_t>(cursor));
        std::string name = join_entry_name(row);
        bool dir = is_dir_entry(row);
        v->list.suspend_redraw();
        sort_listing(p, c);
        int found = find_entry(p, dir, name);
        if (found >= 0) {
            p.rows.set_cursor(found);
            v->list.show_cursor();
            v->list.ensure_visible(found);
        }
        v->list.resume_redraw();
    };
    sort_pane(a.active, column);
    if (a.dual)
        sort_pane(3 - a.active, -1);
}

void refresh_pane(int index)
{
    pane_area& a = panes();
    pane_view* v = view_of(index);
    if (!v)
        return;
    Pane& p = a.panes[static_cast<std::size_t>(index)];
    std::string name;
    bool dir = false;
    if (p.rows.cursor() >= 0) {
        const FileEntry& row = p.rows.row(static_cast<std::size_t>(p.rows.cursor()));
        name = join_entry_name(row);
        dir = is_dir_entry(row);
    }
    read_listing(p, false);
    int found = name.empty() ? -1 : find_entry(p, dir, name);
    if (found >= 0) {
        p.rows.set_cursor(found);
        v->list.show_cursor();
        if (index == a.active)
            v->list.ensure_visible(found);
    }
}

void hold_list(int pane)
{
    if (pane_view* v = view_of(pane))
        v->list.suspend_redraw();
}

void release_list(int pane)
{
    if (pane_view* v = view_of(pane)) {
        v->list.show_listing(false);
        v->list.resume_redraw();
    }
}

void put_cursor(int pane, int row)
{
    Pane& p = panes().panes[static_cast<std::size_t>(pane)];
    p.rows.set_cursor(row);
    if (pane_view* v = view_of(pane)) {
        v->list.show_cursor();
        if (row >= 0)
            v->list.ensure_visible(row);
    }
}

void show_cursor_row(int pane)
{
    int c = panes().panes[static_cast<std::size_t>(pane)].rows.cursor();
    if (pane_view* v = view_of(pane); v && c >= 0)
        v->list.ensure_visible(c);
}
