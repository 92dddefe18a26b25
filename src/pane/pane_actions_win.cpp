// The pane operations the keys, the mouse, the commands and the dialogs run: activation, cursor,
// marks, directory changes and marks, opening, sorting and refreshing.
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
        // A directory entered was read afresh and holds no marks: clearing them again would only
        // walk all its rows once more.
        if (active_pane().rows.marked_count() > 0)
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
