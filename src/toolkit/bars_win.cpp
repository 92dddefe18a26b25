// The toolbar, the status bar and the up-down control.
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

bool toolbar::create(HWND parent, const toolbar_args& args)
{
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT | args.style;
    HWND window = CreateToolbarEx(parent, style, static_cast<UINT>(args.id), args.bitmap_count, nullptr,
                                  reinterpret_cast<UINT_PTR>(args.bitmap), args.buttons, args.button_count,
                                  args.image_width, args.image_height, args.image_width, args.image_height,
                                  sizeof(TBBUTTON));
    attach(window);
    if (hwnd_ && args.hot_images)
        SendMessageA(hwnd_, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(args.hot_images));
    return hwnd_ != nullptr;
}

void toolbar::enable_button(int id, bool on)
{
    SendMessageA(hwnd_, TB_ENABLEBUTTON, id, MAKELONG(on ? 1 : 0, 0));
}
void toolbar::check_button(int id, bool on)
{
    SendMessageA(hwnd_, TB_CHECKBUTTON, id, MAKELONG(on ? 1 : 0, 0));
}
bool toolbar::is_enabled(int id) const
{
    return SendMessageA(hwnd_, TB_ISBUTTONENABLED, id, 0) != 0;
}
bool toolbar::is_checked(int id) const
{
    return SendMessageA(hwnd_, TB_ISBUTTONCHECKED, id, 0) != 0;
}
void toolbar::auto_size()
{
    SendMessageA(hwnd_, TB_AUTOSIZE, 0, 0);
}

// ---- status ----

bool status::create(HWND parent, int id, int min_height)
{
    attach(CreateStatusWindowA(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, "", parent, static_cast<UINT>(id)));
    if (!hwnd_)
        return false;
    subclass(procedure);
    if (min_height > 0) {
        SendMessageA(hwnd_, SB_SETMINHEIGHT, min_height, 0);
        SendMessageA(hwnd_, WM_SIZE, 0, 0);
    }
    return true;
}

void status::set_parts(int count, const int* right_edges)
{
    SendMessageA(hwnd_, SB_SETPARTS, count, reinterpret_cast<LPARAM>(right_edges));
    for (int i = 0; i < count; ++i)
        SendMessageA(hwnd_, SB_SETTEXTA, i, reinterpret_cast<LPARAM>(""));
}

void status::set_text(int part, const char* text)
{
    SendMessageA(hwnd_, SB_SETTEXTA, static_cast<WPARAM>(part) | SBT_NOBORDERS,
                 reinterpret_cast<LPARAM>(text));
}

LRESULT CALLBACK status::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    auto* self = dynamic_cast<status*>(control::from_handle(window));
    if (!self)
        return DefWindowProcA(window, message, wparam, lparam);
    if (message == WM_ERASEBKGND && self->on_erase_background(reinterpret_cast<HDC>(wparam)))
        return 1;
    return self->call_previous(message, wparam, lparam);
}

// ---- updown ----

bool updown::create(HWND parent, int id, HWND buddy, int upper, int lower, int position)
{
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | UDS_ARROWKEYS | UDS_ALIGNRIGHT | UDS_SETBUDDYINT |
                  UDS_NOTHOUSANDS;
    attach(
        CreateUpDownControl(style, 0, 0, 1, 1, parent, id, module_instance(), buddy, upper, lower, position));
    return hwnd_ != nullptr;
}

void updown::set_position(int value)
{
    SendMessageA(hwnd_, UDM_SETPOS32, 0, value);
}
