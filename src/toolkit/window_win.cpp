// Overlapped program windows: class registration, creation and their procedure.
#include "toolkit/control_win.h"

#include "toolkit/controls_win.h"
#include "toolkit/listview_win.h"
#include "toolkit/module_win.h"

#include <cstring>
#include <vector>

window::~window()
{
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

int window::on_create()
{
    return 0;
}
void window::on_destroy() {}
void window::on_close() {}
void window::on_command(int, HWND) {}
void window::on_move() {}
bool window::on_moving(RECT*)
{
    return false;
}
void window::on_size(int) {}
void window::on_min_max_info(MINMAXINFO*) {}
void window::on_display_change() {}
bool window::on_activate(bool, bool)
{
    return false;
}
void window::on_activate_app(bool) {}
void window::on_enable() {}
bool window::on_paint()
{
    return false;
}
void window::on_lbutton_down() {}
void window::on_rbutton_down() {}
void window::on_nc_lbutton_down() {}
void window::on_nc_rbutton_down() {}
bool window::on_measure_item(UINT*)
{
    return false;
}
void window::on_key_down(int) {}
void window::on_key_up(int) {}
void window::on_char(int) {}
void window::on_ime_start_composition() {}
void window::on_ime_composition(LPARAM) {}
void window::on_ime_end_composition() {}
void window::on_timer(UINT_PTR) {}
bool window::on_query_end_session()
{
    return false;
}
void window::on_app_message() {}
void window::on_menu_select(const char*) {}

bool window::create(const create_args& args)
{
    HINSTANCE module = module_instance();
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = procedure;
    wc.hInstance = module;
    if (args.icon_name) {
        wc.hIcon = static_cast<HICON>(LoadImageA(
            module, args.icon_name, IMAGE_ICON, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
        wc.hIconSm =
            static_cast<HICON>(LoadImageA(module, args.icon_name, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                          GetSystemMetrics(SM_CYSMICON), 0));
    }
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = args.background;
    wc.lpszMenuName = args.menu_name;
    wc.lpszClassName = args.class_name;
    RegisterClassExA(&wc); // a failure shows as a failed creation below

    DWORD style =
        args.popup
            ? (WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN)
            : (WS_VISIBLE | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | args.extra_style);
    if (args.show_command == SW_HIDE)
        style &= ~WS_VISIBLE;
    if ((args.show_command == SW_SHOWMINIMIZED || args.show_command == SW_MINIMIZE ||
         args.show_command == SW_SHOWMINNOACTIVE) &&
        (style & WS_MINIMIZEBOX))
        style |= WS_MINIMIZE;
    if (args.show_command == SW_SHOWMAXIMIZED && (style & WS_MAXIMIZEBOX))
        style |= WS_MAXIMIZE;

    int x = args.x, y = args.y, width = args.width, height = args.height;
    if (args.client_size) {
        RECT rect{x, y, x + width, y + height};
        AdjustWindowRectEx(&rect, style, args.menu_name != nullptr, args.ex_style);
        x = rect.left < 0 ? 0 : rect.left;
        y = rect.top < 0 ? 0 : rect.top;
        width = rect.right - rect.left;
        height = rect.bottom - rect.top;
    }
    first_command_id_ = args.first_command_id;
    first_tooltip_string_ = args.first_tooltip_string;
    HWND created = CreateWindowExA(args.ex_style, args.class_name, args.class_name, style, x, y, width,
                                   height, nullptr, nullptr, module, this);
    if (!created)
        return false;
    if (!args.sizable)
        DeleteMenu(GetSystemMenu(created, FALSE), SC_SIZE, MF_BYCOMMAND);
    ShowWindow(created, SW_SHOW);
    return true;
}

LRESULT CALLBACK window::procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    auto* self = reinterpret_cast<window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<window*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
        if (self) {
            self->hwnd_ = hwnd;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    if (!self)
        return DefWindowProcA(hwnd, message, wparam, lparam);
    switch (message) {
    case WM_CREATE:
        return self->on_create();
    case WM_DESTROY:
        self->on_destroy();
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        break;
    case WM_CLOSE:
        self->on_close();
        return 0;
    case WM_COMMAND:
        switch (route_control_command(wparam, lparam)) {
        case command_route::owner:
            self->on_command(LOWORD(wparam), reinterpret_cast<HWND>(lparam));
            return 0;
        case command_route::control:
            return 0;
        case command_route::unhandled:
            break;
        }
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lparam);
        if (header->code == TTN_NEEDTEXTA) {
            auto* tip = reinterpret_cast<NMTTDISPINFOA*>(lparam);
            tip->hinst = module_instance();
            tip->lpszText = MAKEINTRESOURCEA(static_cast<int>(header->idFrom) - self->first_command_id_ +
                                             self->first_tooltip_string_);
            return 0;
        }
        LRESULT result = 0;
        if (route_notify(header, result))
            return result;
        break;
    }
    case WM_MOVE:
        self->on_move();
        return 0;
    case WM_MOVING:
        return self->on_moving(reinterpret_cast<RECT*>(lparam)) ? TRUE : FALSE;
    case WM_SIZE:
        self->on_size(static_cast<int>(wparam));
        return 0;
    case WM_GETMINMAXINFO:
        self->on_min_max_info(reinterpret_cast<MINMAXINFO*>(lparam));
        return 0;
    case WM_DISPLAYCHANGE:
        self->on_display_change();
        return 0;
    case WM_ACTIVATE: {
        unsigned state = LOWORD(wparam);
        bool placed = false;
        if (state == WA_ACTIVE || state == WA_CLICKACTIVE)
            placed = self->on_activate(true, HIWORD(wparam) != 0);
        else if (state == WA_INACTIVE)
            placed = self->on_activate(false, HIWORD(wparam) != 0);
        if (placed)
            return 0;
        break; // the default gives the focus to the window itself
    }
    case WM_ACTIVATEAPP:
        self->on_activate_app(wparam != 0);
        break;
    case WM_ENABLE:
        if (wparam)
            self->on_enable();
        break;
    case WM_PAINT:
        if (self->on_paint())
            return 0;
        break;
    case WM_ERASEBKGND:
        if (self->on_erase_background(reinterpret_cast<HDC>(wparam)))
            return 1;
        break;
    case WM_LBUTTONDOWN:
        self->on_lbutton_down();
        return 0;
    case WM_RBUTTONDOWN:
        self->on_rbutton_down();
        return 0;
    case WM_NCLBUTTONDOWN:
        self->on_nc_lbutton_down();
        break;
    case WM_NCRBUTTONDOWN:
        self->on_nc_rbutton_down();
        break;
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
        if (measure->CtlType == ODT_LISTBOX)
            return self->on_measure_item(&measure->itemHeight) ? TRUE : FALSE;
        break;
    }
    case WM_DRAWITEM:
        if (route_draw_item(reinterpret_cast<DRAWITEMSTRUCT*>(lparam)))
            return TRUE;
        break;
    case WM_HSCROLL:
        self->on_hscroll(HIWORD(wparam), LOWORD(wparam));
        return 0;
    case WM_VSCROLL:
        self->on_vscroll(HIWORD(wparam), LOWORD(wparam));
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
        if (HBRUSH brush = route_ctl_color(reinterpret_cast<HWND>(lparam), reinterpret_cast<HDC>(wparam)))
            return reinterpret_cast<LRESULT>(brush);
        break;
    case WM_KEYDOWN:
        self->on_key_down(static_cast<int>(wparam));
        return 0;
    case WM_SYSKEYDOWN:
        // F10 would open the menu bar; the key map wants it as an ordinary key.
        if (wparam == VK_F10) {
            SendMessageA(hwnd, WM_KEYDOWN, VK_F10, lparam);
            return 0;
        }
        break;
    case WM_KEYUP:
        self->on_key_up(static_cast<int>(wparam));
        return 0;
    case WM_CHAR:
        self->on_char(static_cast<int>(wparam));
        return 0;
    case WM_IME_STARTCOMPOSITION:
        self->on_ime_start_composition();
        break;
    case WM_IME_COMPOSITION:
        self->on_ime_composition(lparam);
        break;
    case WM_IME_ENDCOMPOSITION:
        self->on_ime_end_composition();
        break;
    case WM_TIMER:
        self->on_timer(wparam);
        return 0;
    case WM_QUERYENDSESSION:
        return self->on_query_end_session() ? TRUE : FALSE;
    case app_message:
        self->on_app_message();
        return 0;
    case WM_MENUSELECT: {
        unsigned flags = HIWORD(wparam);
        auto menu = reinterpret_cast<HMENU>(lparam);
        if (flags == 0xFFFF && !menu)
            break; // the menu closed
        if (flags & (MF_GRAYED | MF_DISABLED))
            return 0;
        char text[128] = {};
        GetMenuStringA(menu, LOWORD(wparam), text, sizeof text,
                       (flags & MF_POPUP) ? MF_BYPOSITION : MF_BYCOMMAND);
        self->on_menu_select(text);
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}
