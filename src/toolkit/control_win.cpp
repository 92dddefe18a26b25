// The window class tree: message routing into virtual operations, dialogs and message boxes.
#include "toolkit/control_win.h"

#include "toolkit/module_win.h"
#include "toolkit/controls_win.h"
#include "toolkit/listview_win.h"

#include <cstring>
#include <vector>

namespace {

std::string class_name_of(HWND window)
{
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool same_class(const std::string& name, const char* wanted)
{
    return lstrcmpiA(name.c_str(), wanted) == 0;
}

// What a WM_COMMAND from a control becomes.
enum class command_route { owner, control, unhandled };

command_route route_control_command(WPARAM wparam, LPARAM lparam)
{
    HWND sender = reinterpret_cast<HWND>(lparam);
    if (!sender)
        return command_route::owner; // menus and accelerators
    unsigned code = HIWORD(wparam);
    // The codes the classes below handle (the numbers of different classes overlap: LBN_SELCHANGE
    // and CBN_SELCHANGE are both 1); every other notification goes to the owner.
    switch (code) {
    case STN_DBLCLK:
    case LBN_DBLCLK:
    case CBN_SETFOCUS:
    case CBN_KILLFOCUS:
    case CBN_DROPDOWN:
    case CBN_CLOSEUP:
    case EN_SETFOCUS:
    case EN_KILLFOCUS:
    case EN_CHANGE:
        break;
    default:
        return command_route::owner;
    }
    control* object = control::from_handle(sender);
    if (!object)
        return command_route::unhandled;
    std::string name = class_name_of(sender);
    if (same_class(name, "STATIC")) {
        if (auto* s = dynamic_cast<static_*>(object); s && code == STN_DBLCLK) {
            s->on_double_click();
            return command_route::control;
        }
    } else if (same_class(name, "LISTBOX")) {
        if (auto* l = dynamic_cast<listbox*>(object)) {
            if (code == LBN_SELCHANGE) {
                l->on_selection_changed();
                return command_route::control;
            }
            if (code == LBN_DBLCLK) {
                l->on_double_click();
                return command_route::control;
            }
        }
    } else if (same_class(name, "COMBOBOX")) {
        if (auto* c = dynamic_cast<combo*>(object)) {
            switch (code) {
            case CBN_SELCHANGE:
                c->on_selection_changed();
                return command_route::control;
            case CBN_SETFOCUS:
                c->on_got_focus();
                return command_route::control;
            case CBN_KILLFOCUS:
                c->on_lost_focus();
                return command_route::control;
            case CBN_DROPDOWN:
                c->on_drop_down();
                return command_route::control;
            case CBN_CLOSEUP:
                c->on_close_up();
                return command_route::control;
            default:
                break;
            }
        }
    } else if (same_class(name, "EDIT")) {
        if (auto* e = dynamic_cast<edit*>(object)) {
            switch (code) {
            case EN_SETFOCUS:
                e->on_got_focus();
                return command_route::control;
            case EN_KILLFOCUS:
                e->on_lost_focus();
                return command_route::control;
            case EN_CHANGE:
                e->on_text_changed();
                return command_route::control;
            default:
                break;
            }
        }
    }
    return command_route::unhandled;
}

} // namespace

// ---- control ----

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

// ---- dialog ----

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
        HWND window =
            CreateDialogParamA(module_instance(), template_name, parent, procedure, reinterpret_cast<LPARAM>(this));
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

// ---- window ----

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

// ---- routing shared by both procedures ----

bool route_notify(NMHDR* header, LRESULT& result)
{
    control* object = control::from_handle(header->hwndFrom);
    if (!object)
        return false;
    auto* list = dynamic_cast<listview*>(object);
    if (!list)
        return false;
    switch (header->code) {
    case NM_CLICK:
        list->on_click();
        return true;
    case NM_DBLCLK:
        list->on_double_click();
        return true;
    case NM_RCLICK:
        list->on_right_click();
        return true;
    case NM_SETFOCUS:
        list->on_got_focus();
        return true;
    case NM_CUSTOMDRAW: {
        if (!same_class(class_name_of(header->hwndFrom), "SysListView32"))
            return false;
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
            result = CDRF_NOTIFYITEMDRAW;
        } else {
            if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT)
                list->on_item_prepaint(draw);
            result = CDRF_DODEFAULT;
        }
        return true;
    }
    case LVN_ITEMCHANGED:
        list->on_item_changed(reinterpret_cast<NMLISTVIEW*>(header)->iItem);
        return true;
    case LVN_COLUMNCLICK:
        if (auto* report = dynamic_cast<listview_report*>(list)) {
            report->on_column_click(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
            return true;
        }
        return false;
    case LVN_BEGINDRAG:
        list->on_begin_drag(reinterpret_cast<NMLISTVIEW*>(header)->iItem);
        return true;
    case LVN_GETDISPINFOA:
        list->get_display_info(reinterpret_cast<NMLVDISPINFOA*>(header));
        return true;
    default:
        return false;
    }
}

HBRUSH route_ctl_color(HWND control_window, HDC dc)
{
    auto* object = dynamic_cast<child*>(control::from_handle(control_window));
    return object ? object->on_ctl_color(dc) : nullptr;
}

bool route_draw_item(DRAWITEMSTRUCT* data)
{
    if (data->CtlType == ODT_MENU)
        return false;
    auto* object = dynamic_cast<child*>(control::from_handle(data->hwndItem));
    return object ? object->on_draw_item(data) : false;
}
