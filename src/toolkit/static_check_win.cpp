// Statics and check boxes: texts, icons, colours and clicks.
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

static_::~static_()
{
    if (brush_)
        DeleteObject(brush_);
}

bool static_::on_set_cursor()
{
    return false;
}
void static_::on_mouse_move() {}
void static_::on_timer(UINT_PTR) {}
void static_::on_double_click() {}

HBRUSH static_::on_ctl_color(HDC dc)
{
    if (bitmap_)
        return nullptr;
    apply_colours(dc, text_colour_, brush_ ? background_colour_ : transparent_colour);
    return brush_ ? brush_ : static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
}

bool static_::bind(HWND dialog, int control_id, bool bitmap)
{
    if (!child::bind(dialog, control_id))
        return false;
    bitmap_ = bitmap;
    set_colours(GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_BTNFACE));
    return true;
}

bool static_::create(int x, int y, int width, int height, bool bitmap, HWND parent, int id)
{
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_NOTIFY | (bitmap ? SS_BITMAP : 0);
    if (!child::create(x, y, width, height, style, 0, "STATIC", parent, id))
        return false;
    bitmap_ = bitmap;
    subclass(procedure);
    set_colours(GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_BTNFACE));
    return true;
}

void static_::set_colours(COLORREF text, COLORREF background)
{
    text_colour_ = text;
    background_colour_ = background;
    replace_brush(brush_, background);
    if (hwnd_)
        InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT CALLBACK static_::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    auto* self = dynamic_cast<static_*>(control::from_handle(window));
    if (!self)
        return DefWindowProcA(window, message, wparam, lparam);
    switch (message) {
    case WM_SETCURSOR:
        if (self->on_set_cursor())
            return TRUE;
        break;
    case WM_MOUSEMOVE:
        self->on_mouse_move();
        break;
    case WM_TIMER:
        self->on_timer(wparam);
        return 0;
    default:
        break;
    }
    return self->call_previous(message, wparam, lparam);
}

// ---- check ----

bool check::get_check() const
{
    return SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
void check::set_check()
{
    SendMessageA(hwnd_, BM_SETCHECK, BST_CHECKED, 0);
}
