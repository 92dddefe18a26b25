// The pane area: the panes, the active one, the way up to the host, the controls of a pane and
// the hooks its model calls.
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

namespace pane_internal {

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

} // namespace pane_internal

using namespace pane_internal;

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

void apply_display_settings(HFONT font)
{
    pane_area& a = panes();
    a.font = font;
    for (int i = 1; i <= 2; ++i) {
        pane_view* v = view_of(i);
        if (!v)
            continue;
        v->box.set_font(font);
        v->wildcard.set_font(font);
        v->info.set_font(font);
        v->list.set_font(font);
        v->apply_colours(i == a.active);
        InvalidateRect(v->info.handle(), nullptr, TRUE);
    }
    if (a.status_bar) {
        a.status_bar->set_font(font);
        InvalidateRect(a.status_bar->handle(), nullptr, TRUE);
    }
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
