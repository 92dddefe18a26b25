// The window class tree: the control objects, child controls and overlapped windows.
#include "toolkit/control_win.h"

#include "toolkit/controls_win.h"
#include "toolkit/listview_win.h"
#include "toolkit/module_win.h"

#include <cstring>
#include <vector>

bool control::on_erase_background(HDC)
{
    return false;
}

control* control::from_handle(HWND window)
{
    if (!window || !IsWindow(window))
        return nullptr;
    return reinterpret_cast<control*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void control::attach(HWND window)
{
    hwnd_ = window;
    if (hwnd_)
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void control::destroy_window()
{
    if (hwnd_)
        DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

void control::set_focus()
{
    SetFocus(hwnd_);
}
void control::enable()
{
    EnableWindow(hwnd_, TRUE);
}
void control::disable()
{
    EnableWindow(hwnd_, FALSE);
}

std::string control::get_text(std::size_t size) const
{
    std::vector<char> buffer(size > 0 ? size : 1, '\0');
    SendMessageA(hwnd_, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.back() = '\0';
    return buffer.data();
}

void control::set_text(const char* text)
{
    SendMessageA(hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void control::suspend_redraw()
{
    SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
}

void control::resume_redraw()
{
    SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void control::move(int x, int y)
{
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}

void control::resize(int width, int height)
{
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE | SWP_FRAMECHANGED);
}

void control::place(int x, int y, int width, int height)
{
    SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_FRAMECHANGED);
}

void control::show()
{
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}
void control::hide()
{
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_HIDEWINDOW);
}

// ---- child ----

child::~child()
{
    // Only a window that still carries this object is ours to touch.
    if (!hwnd_ || !IsWindow(hwnd_) || from_handle(hwnd_) != this)
        return;
    // No message may reach this object once it is gone.
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    if (previous_) {
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        DestroyWindow(hwnd_);
    }
}

void child::on_hscroll(int, int) {}
void child::on_vscroll(int, int) {}
HBRUSH child::on_ctl_color(HDC)
{
    return nullptr;
}
bool child::on_draw_item(DRAWITEMSTRUCT*)
{
    return false;
}
HFONT child::get_font()
{
    return reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0));
}
void child::set_font(HFONT font)
{
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

bool child::bind(HWND dialog, int control_id)
{
    attach(GetDlgItem(dialog, control_id));
    return hwnd_ != nullptr;
}

bool child::create(int x, int y, int width, int height, DWORD style, DWORD ex_style, const char* class_name,
                   HWND parent, int id)
{
    HWND window = CreateWindowExA(ex_style, class_name, class_name, style, x, y, width, height, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), module_instance(), this);
    attach(window);
    return hwnd_ != nullptr;
}

void child::subclass(WNDPROC procedure)
{
    if (!hwnd_)
        return;
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

LRESULT child::call_previous(UINT message, WPARAM wparam, LPARAM lparam)
{
    HWND window = hwnd_;
    LRESULT result = previous_ ? CallWindowProcA(previous_, window, message, wparam, lparam)
                               : DefWindowProcA(window, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        // The window went first (its dialog closed): the object keeps no handle to it.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        previous_ = nullptr;
    }
    return result;
}

// ---- overlap ----

void overlap::on_hscroll(int, int) {}
void overlap::on_vscroll(int, int) {}

void overlap::inform(unsigned title_id, unsigned text_id)
{
    MessageBoxA(hwnd_, resource_string(text_id, 256).c_str(), resource_string(title_id, 128).c_str(),
                MB_OK | MB_ICONINFORMATION);
}

bool overlap::ask(unsigned title_id, unsigned text_id)
{
    return MessageBoxA(hwnd_, resource_string(text_id, 256).c_str(), resource_string(title_id, 128).c_str(),
                       MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

void overlap::warn(unsigned title_id, unsigned text_id)
{
    MessageBoxA(hwnd_, resource_string(text_id, 256).c_str(), resource_string(title_id, 128).c_str(),
                MB_OK | MB_ICONWARNING);
}

void overlap::about(const char* caption, const char* text, const char* icon_name)
{
    auto wide = [](const char* s) {
        int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
        std::wstring w(n > 0 ? static_cast<std::size_t>(n) : 1, L'\0');
        if (n > 0)
            MultiByteToWideChar(CP_ACP, 0, s, -1, w.data(), n);
        return w;
    };
    std::wstring wide_caption = wide(caption);
    std::wstring wide_text = wide(text);
    std::wstring wide_icon;
    MSGBOXPARAMSW params{};
    params.cbSize = sizeof params;
    params.hwndOwner = hwnd_;
    params.hInstance = module_instance();
    params.lpszText = wide_text.c_str();
    params.lpszCaption = wide_caption.c_str();
    params.dwStyle = MB_OK | MB_USERICON;
    if (IS_INTRESOURCE(icon_name)) {
        params.lpszIcon = reinterpret_cast<LPCWSTR>(icon_name);
    } else {
        wide_icon = wide(icon_name);
        params.lpszIcon = wide_icon.c_str();
    }
    params.dwLanguageId = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT); // 0x400, the user default
    MessageBoxIndirectW(&params);
}
