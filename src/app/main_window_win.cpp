// The main window.
#include "app/main_window_win.h"

#include "app/app_context.h"
#include "app/paths.h"
#include "app/strings_win.h"
#include "platform/os.h"
#include "resource.h"
#include "settings/layout.h"

bool window_::create(int x, int y, int width, int height, int show_command)
{
    HINSTANCE instance = static_cast<HINSTANCE>(app().instance);
    std::string name = resource_string(IDS_PRODUCT, 128);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ICON_MAIN));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszMenuName = MAKEINTRESOURCEA(MENU_MAIN);
    wc.lpszClassName = name.c_str();
    RegisterClassExA(&wc); // a failure shows as a failed creation below

    DWORD style = WS_VISIBLE | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
    if (show_command == SW_HIDE)
        style &= ~WS_VISIBLE;
    if (show_command == SW_SHOWMINIMIZED || show_command == SW_MINIMIZE || show_command == SW_SHOWMINNOACTIVE)
        style |= WS_MINIMIZE;
    CreateWindowExA(0, name.c_str(), name.c_str(), style, x, y, width, height, nullptr, nullptr, instance, this);
    if (!hwnd_)
        return false;
    ShowWindow(hwnd_, SW_SHOW);
    return true;
}

LRESULT CALLBACK window_::procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    window_* self = reinterpret_cast<window_*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<window_*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self)
        return DefWindowProcA(hwnd, message, wparam, lparam);
    return self->on_message(message, wparam, lparam);
}

LRESULT window_::on_message(UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_CREATE:
        return on_create();
    case WM_CLOSE:
        DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        on_destroy();
        PostQuitMessage(0);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_MOVE:
        on_move();
        return 0;
    case WM_SIZE:
        if (wparam == SIZE_RESTORED)
            on_restored_size();
        break;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
        info->ptMaxTrackSize.x =
            max_track_width(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CXEDGE), dual_window_);
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(wparam) == 200)
            PostMessageA(hwnd_, WM_CLOSE, 0, 0);
        return 0;
    }
    return DefWindowProcA(hwnd_, message, wparam, lparam);
}

int window_::on_create()
{
    // The listing cache lives beside the executable.
    std::string cache = app().program_file("ftp_dir");
    if (!os::is_directory(cache))
        os::make_directory(cache);
    return 0;
}

// The layout keeps the position of a window shown normally only: a move while hidden,
// minimised or maximised is not where the user left it.
void window_::on_move()
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(hwnd_, &placement) || !keeps_window_position(static_cast<int>(placement.showCmd)))
        return;
    RECT r;
    GetWindowRect(hwnd_, &r);
    layout().window_x = r.left;
    layout().window_y = r.top;
}

void window_::on_restored_size()
{
    RECT outer, client;
    GetWindowRect(hwnd_, &outer);
    GetClientRect(hwnd_, &client);
    layout().window_height = outer.bottom - outer.top;
    layout().window_width = single_pane_width(outer.right - outer.left, client.right - client.left,
                                              GetSystemMetrics(SM_CXEDGE), dual_window_);
}

void window_::on_destroy()
{
    // The layout first, while the controls it reads still exist.
    // Until the panes exist, the widths are those the layout was read with.
    layout_live live;
    live.column_widths = layout().column_widths;
    live.dual_window = dual_window_;
    write_layout(layout_file_path(), live);
}
