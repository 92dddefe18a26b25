// Dialogs: modal and modeless, their procedure and the message boxes.
#include "toolkit/control_win.h"

#include "toolkit/controls_win.h"
#include "toolkit/listview_win.h"
#include "toolkit/module_win.h"

#include <cstring>
#include <vector>

dialog::~dialog()
{
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
        DestroyWindow(hwnd_);
    }
}

bool dialog::on_moving(RECT*)
{
    return false;
}
void dialog::on_activate(bool, bool) {}
bool dialog::on_measure_item(UINT*)
{
    return false;
}
void dialog::on_timer(UINT_PTR) {}
HBRUSH dialog::on_ctl_color_dialog(HDC)
{
    return nullptr;
}

int dialog::show(const char* template_name, HWND parent, bool modeless)
{
    if (modeless) {
        HWND window = CreateDialogParamA(module_instance(), template_name, parent, procedure,
                                         reinterpret_cast<LPARAM>(this));
        return window ? 1 : -1;
    }
    return static_cast<int>(
        DialogBoxParamA(module_instance(), template_name, parent, procedure, reinterpret_cast<LPARAM>(this)));
}

void dialog::end(int code)
{
    EndDialog(hwnd_, code);
}

void dialog::center_on_parent()
{
    HWND parent = GetParent(hwnd_);
    if (!parent)
        return;
    RECT outer{}, own{};
    GetWindowRect(parent, &outer);
    GetWindowRect(hwnd_, &own);
    int x = outer.left + ((outer.right - outer.left) - (own.right - own.left)) / 2;
    int y = outer.top + ((outer.bottom - outer.top) - (own.bottom - own.top)) / 2;
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}

void dialog::center_on_screen()
{
    RECT own{};
    GetWindowRect(hwnd_, &own);
    int x = (GetSystemMetrics(SM_CXSCREEN) - (own.right - own.left)) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - (own.bottom - own.top)) / 2;
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}

void dialog::set_title_from_string(unsigned id)
{
    set_text(resource_string(id, 128).c_str());
}
void dialog::set_title(const char* text)
{
    set_text(text);
}

INT_PTR CALLBACK dialog::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<dialog*>(lparam);
        SetWindowLongPtrA(window, DWLP_USER, lparam);
        if (!self)
            return TRUE;
        self->hwnd_ = window;
        self->on_init();
        return TRUE;
    }
    auto* self = reinterpret_cast<dialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self)
        return FALSE;
    auto answer = [window](LRESULT result) {
        SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
        return TRUE;
    };
    switch (message) {
    case WM_DESTROY:
        self->on_destroy();
        return TRUE;
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, DWLP_USER, 0);
        self->hwnd_ = nullptr;
        return FALSE;
    case WM_ACTIVATE: {
        unsigned state = LOWORD(wparam);
        if (state == WA_ACTIVE || state == WA_CLICKACTIVE)
            self->on_activate(true, HIWORD(wparam) != 0);
        else if (state == WA_INACTIVE)
            self->on_activate(false, HIWORD(wparam) != 0);
        return FALSE;
    }
    case WM_ERASEBKGND:
        if (self->on_erase_background(reinterpret_cast<HDC>(wparam)))
            return answer(1);
        return FALSE;
    case WM_DRAWITEM:
        return route_draw_item(reinterpret_cast<DRAWITEMSTRUCT*>(lparam)) ? answer(TRUE) : FALSE;
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
        if (measure->CtlType != ODT_LISTBOX)
            return FALSE;
        return self->on_measure_item(&measure->itemHeight) ? answer(TRUE) : FALSE;
    }
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (!route_notify(reinterpret_cast<NMHDR*>(lparam), result))
            return FALSE;
        return answer(result);
    }
    case WM_COMMAND:
        switch (route_control_command(wparam, lparam)) {
        case command_route::owner:
            self->on_command(LOWORD(wparam), reinterpret_cast<HWND>(lparam));
            return TRUE;
        case command_route::control:
            return TRUE;
        case command_route::unhandled:
            return FALSE;
        }
        return FALSE;
    case WM_TIMER:
        self->on_timer(wparam);
        return TRUE;
    case WM_HSCROLL:
        self->on_hscroll(HIWORD(wparam), LOWORD(wparam));
        return TRUE;
    case WM_VSCROLL:
        self->on_vscroll(HIWORD(wparam), LOWORD(wparam));
        return TRUE;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(
            route_ctl_color(reinterpret_cast<HWND>(lparam), reinterpret_cast<HDC>(wparam)));
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(self->on_ctl_color_dialog(reinterpret_cast<HDC>(wparam)));
    case WM_MOVING:
        return self->on_moving(reinterpret_cast<RECT*>(lparam)) ? answer(TRUE) : FALSE;
    default:
        return FALSE;
    }
}
