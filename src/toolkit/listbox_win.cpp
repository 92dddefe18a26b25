// List boxes: the owner-drawn rows and their search.
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

listbox::~listbox()
{
    if (brush_)
        DeleteObject(brush_);
}

void listbox::on_selection_changed() {}
void listbox::on_double_click() {}

bool listbox::bind(HWND dialog, int control_id)
{
    if (!child::bind(dialog, control_id))
        return false;
    set_colours(GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW));
    return true;
}

HBRUSH listbox::on_ctl_color(HDC dc)
{
    apply_colours(dc, text_colour_, background_colour_);
    return brush_;
}

void listbox::set_colours(COLORREF text, COLORREF background)
{
    text_colour_ = text;
    background_colour_ = background;
    replace_brush(brush_, background);
    if (hwnd_)
        InvalidateRect(hwnd_, nullptr, TRUE);
}

int listbox::add(const char* text)
{
    return static_cast<int>(SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

void listbox::remove(int index)
{
    SendMessageA(hwnd_, LB_DELETESTRING, index, 0);
}
int listbox::selection() const
{
    return static_cast<int>(SendMessageA(hwnd_, LB_GETCURSEL, 0, 0));
}
void listbox::select(int index)
{
    SendMessageA(hwnd_, LB_SETCURSEL, index, 0);
}
int listbox::count() const
{
    return static_cast<int>(SendMessageA(hwnd_, LB_GETCOUNT, 0, 0));
}

std::string listbox::item_text(int index) const
{
    LRESULT length = SendMessageA(hwnd_, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR || length < 0)
        return {};
    std::string raw(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(hwnd_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(raw.data()));
    raw.resize(std::strlen(raw.c_str()));
    std::string text;
    split_icon_item(raw, &text);
    return text;
}

int listbox::find(const char* text) const
{
    int n = count();
    for (int i = 0; i < n; ++i)
        if (item_text(i) == text)
            return i;
    return -1;
}
