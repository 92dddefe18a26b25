// Combo boxes: drop-down lists with icons, fixed choices, number ranges and the colours.
#include "toolkit/controls_win.h"

#include "toolkit/controls_shared_win.h"

#include "base/cp932.h"
#include "base/paths.h"
#include "toolkit/control_texts.h"
#include "toolkit/edit_rules.h"
#include "toolkit/module_win.h"
#include "toolkit/row_store.h"

#include <imm.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

combo::~combo()
{
    if (brush_)
        DeleteObject(brush_);
}

void combo::on_got_focus() {}
void combo::on_lost_focus() {}
void combo::on_drop_down() {}
void combo::on_close_up() {}
void combo::on_selection_changed() {}

bool combo::bind(HWND dialog, int control_id)
{
    if (!child::bind(dialog, control_id))
        return false;
    set_colours(GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW));
    return true;
}

bool combo::create(int x, int y, int width, int height, DWORD extra_style, HWND parent, int id)
{
    DWORD style =
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST | extra_style;
    if (!child::create(x, y, width, height, style, 0, "COMBOBOX", parent, id))
        return false;
    set_colours(GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW));
    return true;
}

void combo::set_colours(COLORREF text, COLORREF background)
{
    text_colour_ = text;
    background_colour_ = background;
    replace_brush(brush_, background);
    if (hwnd_)
        InvalidateRect(hwnd_, nullptr, TRUE);
}

HBRUSH combo::on_ctl_color(HDC dc)
{
    apply_colours(dc, text_colour_, background_colour_);
    return brush_;
}

bool combo::on_draw_item(DRAWITEMSTRUCT* data)
{
    if (data->itemID == static_cast<UINT>(-1))
        return true;
    std::string text = item_text(static_cast<int>(data->itemID));
    int icon = item_icon(static_cast<int>(data->itemID));
    int icon_width = 0, icon_height = 0;
    if (icon >= 0 && images_)
        ImageList_GetIconSize(images_, &icon_width, &icon_height);
    else
        icon = -1;
    bool selected = (data->itemState & ODS_SELECTED) != 0;
    COLORREF background = selected ? GetSysColor(COLOR_HIGHLIGHT) : background_colour_;
    COLORREF old_text = SetTextColor(data->hDC, text_colour_);
    COLORREF old_back = SetBkColor(data->hDC, background);
    TEXTMETRICA metrics{};
    GetTextMetricsA(data->hDC, &metrics);
    RECT rect = data->rcItem;
    int x = rect.left + (icon >= 0 ? icon_width + 4 : 0);
    int y = rect.top + ((rect.bottom - rect.top) - metrics.tmHeight) / 2;
    ExtTextOutA(data->hDC, x, y, ETO_OPAQUE | ETO_CLIPPED, &rect, text.c_str(),
                static_cast<UINT>(text.size()), nullptr);
    if (icon >= 0)
        draw_icon(data->hDC, rect.left, rect.top + ((rect.bottom - rect.top) - icon_height) / 2, images_,
                  icon);
    if (data->itemState & ODS_FOCUS)
        DrawFocusRect(data->hDC, &rect);
    SetTextColor(data->hDC, old_text);
    SetBkColor(data->hDC, old_back);
    return true;
}

int combo::add(const char* text, int icon)
{
    return insert(-1, text, icon);
}

// The item's string is its text alone, so that the drop-down's own search by typed letters and
// every read see the text; the icon is the item's data.
int combo::insert(int index, const char* text, int icon)
{
    std::string plain = text;
    if (icon < 0)
        icon = split_icon_item(text, &plain);
    auto at = static_cast<int>(SendMessageA(hwnd_, CB_INSERTSTRING, static_cast<WPARAM>(index),
                                            reinterpret_cast<LPARAM>(plain.c_str())));
    if (at >= 0)
        SendMessageA(hwnd_, CB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(icon));
    return at;
}

void combo::replace(int index, const char* text)
{
    int icon = item_icon(index);
    bool was_selected = selection() == index;
    remove(index);
    insert(index, text, icon);
    if (was_selected)
        select(index);
}

void combo::remove(int index)
{
    SendMessageA(hwnd_, CB_DELETESTRING, index, 0);
}
void combo::clear()
{
    SendMessageA(hwnd_, CB_RESETCONTENT, 0, 0);
}
int combo::count() const
{
    return static_cast<int>(SendMessageA(hwnd_, CB_GETCOUNT, 0, 0));
}
int combo::selection() const
{
    return static_cast<int>(SendMessageA(hwnd_, CB_GETCURSEL, 0, 0));
}
void combo::select(int index)
{
    SendMessageA(hwnd_, CB_SETCURSEL, index, 0);
}
void combo::open_dropdown()
{
    SendMessageA(hwnd_, CB_SHOWDROPDOWN, TRUE, 0);
}

std::string combo::item_text(int index) const
{
    LRESULT length = SendMessageA(hwnd_, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR || length < 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    LRESULT got = SendMessageA(hwnd_, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == CB_ERR || got < 0 ? 0 : std::strlen(text.c_str()));
    return text;
}

int combo::item_icon(int index) const
{
    LRESULT data = SendMessageA(hwnd_, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    return data == CB_ERR || data < 0 ? -1 : static_cast<int>(data);
}

bool combo_numbers::bind(HWND dialog, int control_id)
{
    if (!combo::bind(dialog, control_id))
        return false;
    clear();
    for (int value = first_; value <= last_; value += step_) {
        char text[16];
        std::snprintf(text, sizeof text, format_, value);
        add(text);
    }
    return true;
}

bool combo_color::bind(HWND dialog, int control_id)
{
    if (!combo::bind(dialog, control_id))
        return false;
    clear();
    std::string row;
    for (unsigned id = first_colour_row; id < first_colour_row + max_rows && load_row(id, row); ++id) {
        if (lstrcmpiA(row.c_str(), "end") == 0)
            break;
        add(row.c_str());
    }
    select(0);
    return true;
}
