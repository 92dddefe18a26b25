// Edits: the block caret, the IME, the name and required-field edits and the notifying edit.
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

edit::~edit()
{
    if (brush_)
        DeleteObject(brush_);
}

bool edit::on_double_click(int, int, int)
{
    return false;
}
bool edit::on_char_typed(int)
{
    return false;
}
bool edit::on_key_down(int)
{
    return false;
}
void edit::on_after_paint() {}
void edit::on_timer(UINT_PTR) {}
void edit::on_got_focus()
{
    build_caret();
}
void edit::on_lost_focus()
{
    DestroyCaret();
}
void edit::on_text_changed() {}

void edit::build_caret()
{
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0));
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    if (old)
        SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    int width = metrics.tmAveCharWidth * (ime_open_ ? 2 : 1);
    CreateCaret(hwnd_, nullptr, width, metrics.tmHeight + metrics.tmExternalLeading);
    ShowCaret(hwnd_);
}

HBRUSH edit::on_ctl_color(HDC dc)
{
    apply_colours(dc, text_colour_, brush_ ? background_colour_ : transparent_colour);
    return brush_ ? brush_ : static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
}

void edit::set_font(HFONT font)
{
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (GetFocus() == hwnd_) {
        on_lost_focus();
        on_got_focus();
    }
}

void edit::initial_colours()
{
    bool read_only = (GetWindowLongPtrA(hwnd_, GWL_STYLE) & ES_READONLY) != 0;
    set_colours(GetSysColor(COLOR_WINDOWTEXT), GetSysColor(read_only ? COLOR_BTNFACE : COLOR_WINDOW));
}

bool edit::bind(HWND dialog, int control_id)
{
    if (!child::bind(dialog, control_id))
        return false;
    LONG_PTR style = GetWindowLongPtrA(hwnd_, GWL_STYLE);
    if (style & ES_MULTILINE) {
        SetWindowLongPtrA(hwnd_, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_BORDER));
        SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
    }
    subclass(procedure);
    initial_colours();
    return true;
}

bool edit::create(int x, int y, int width, int height, DWORD style, HWND parent, int id)
{
    style = (style | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP) & ~static_cast<DWORD>(WS_BORDER);
    if (!child::create(x, y, width, height, style, WS_EX_CLIENTEDGE, "EDIT", parent, id))
        return false;
    set_text(""); // the class name was the creation text
    subclass(procedure);
    initial_colours();
    return true;
}

void edit::set_colours(COLORREF text, COLORREF background)
{
    text_colour_ = text;
    background_colour_ = background;
    replace_brush(brush_, background);
    if (hwnd_)
        InvalidateRect(hwnd_, nullptr, TRUE);
}

void edit::make_read_only()
{
    SendMessageA(hwnd_, EM_SETREADONLY, TRUE, 0);
    set_colours(text_colour_, GetSysColor(COLOR_BTNFACE));
}

void edit::set_limit(int size)
{
    SendMessageA(hwnd_, EM_LIMITTEXT, size > 1 ? size - 1 : 1, 0);
}

void edit::append(const char* text)
{
    // The log must be able to reach the trimming size; the default limit is smaller.
    if (SendMessageA(hwnd_, EM_GETLIMITTEXT, 0, 0) < static_cast<LRESULT>(log_limit) * 2)
        SendMessageA(hwnd_, EM_SETLIMITTEXT, static_cast<WPARAM>(log_limit) * 2, 0);
    int length = GetWindowTextLengthA(hwnd_);
    SendMessageA(hwnd_, EM_SETSEL, length, length);
    SendMessageA(hwnd_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
    if (GetWindowTextLengthA(hwnd_) + 1 < log_limit)
        return;
    std::string all = get_text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd_)) + 1);
    std::size_t start = log_trim_start(all, static_cast<std::size_t>(log_limit));
    set_text(all.c_str() + start);
    length = GetWindowTextLengthA(hwnd_);
    SendMessageA(hwnd_, EM_SETSEL, length, length);
    SendMessageA(hwnd_, EM_SCROLLCARET, 0, 0);
}

int edit::text_length() const
{
    return GetWindowTextLengthA(hwnd_);
}
bool edit::was_modified() const
{
    return SendMessageA(hwnd_, EM_GETMODIFY, 0, 0) != 0;
}
void edit::clear_modified()
{
    SendMessageA(hwnd_, EM_SETMODIFY, FALSE, 0);
}

void edit::undo()
{
    if (SendMessageA(hwnd_, EM_CANUNDO, 0, 0)) {
        SendMessageA(hwnd_, EM_UNDO, 0, 0);
        clear_modified();
    }
}

int edit::get_number() const
{
    return std::atoi(get_text(11).c_str());
}

void edit::set_number(int value, int radix)
{
    char buffer[40] = {};
    std::to_chars(buffer, buffer + sizeof buffer - 1, value, radix);
    set_text(buffer);
}

LRESULT CALLBACK edit::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    auto* self = dynamic_cast<edit*>(control::from_handle(window));
    if (!self)
        return DefWindowProcA(window, message, wparam, lparam);
    bool transparent = self->brush_ == nullptr;
    switch (message) {
    case WM_PAINT: {
        if (transparent)
            InvalidateRect(window, nullptr, TRUE);
        LRESULT result = self->call_previous(message, wparam, lparam);
        self->on_after_paint();
        return result;
    }
    case WM_ERASEBKGND:
        if (self->on_erase_background(reinterpret_cast<HDC>(wparam)))
            return 1;
        break;
    case WM_KEYDOWN:
        if (transparent)
            InvalidateRect(window, nullptr, TRUE);
        if (self->on_key_down(static_cast<int>(wparam)))
            return 0;
        break;
    case WM_CHAR:
        if (self->on_char_typed(static_cast<int>(wparam)))
            return 0;
        break;
    case WM_TIMER:
        self->on_timer(wparam);
        return 0;
    case WM_LBUTTONDOWN:
        if (transparent)
            InvalidateRect(window, nullptr, TRUE);
        break;
    case WM_LBUTTONDBLCLK:
        if (self->on_double_click(static_cast<int>(wparam), static_cast<short>(LOWORD(lparam)),
                                  static_cast<short>(HIWORD(lparam))))
            return 0;
        break;
    case WM_IME_NOTIFY:
        if (wparam == IMN_SETOPENSTATUS) {
            HIMC context = ImmGetContext(window);
            self->ime_open_ = (context && ImmGetOpenStatus(context)) ? 1 : 0;
            if (context)
                ImmReleaseContext(window, context);
            bool suppressed = self->ime_open_ ? self->suppress_ime_on_ : self->suppress_ime_off_;
            // Only the focused edit owns the caret.
            if (!suppressed && GetFocus() == window) {
                self->on_lost_focus();
                self->on_got_focus();
            }
        }
        break;
    default:
        break;
    }
    return self->call_previous(message, wparam, lparam);
}

// ---- edit subclasses ----

bool edit_filename::bind(HWND dialog, int control_id)
{
    if (!edit::bind(dialog, control_id))
        return false;
    set_limit(path_size);
    return true;
}

void edit_filename::set_initial(const char* text)
{
    initial_ = text;
    set_text(text);
}

void edit_filename::on_text_changed()
{
    std::string text = get_text(path_size);
    EnableWindow(GetDlgItem(GetParent(hwnd_), IDOK), name_edit_ok(text, initial_));
}

bool edit_required::bind(HWND dialog, int control_id)
{
    if (!edit::bind(dialog, control_id))
        return false;
    if (limit_ > 0)
        set_limit(limit_);
    return true;
}

void edit_required::on_text_changed()
{
    HWND dialog = GetParent(hwnd_);
    std::vector<std::size_t> lengths;
    for (int id : group_)
        lengths.push_back(static_cast<std::size_t>(GetWindowTextLengthA(GetDlgItem(dialog, id))));
    EnableWindow(GetDlgItem(dialog, IDOK), required_fields_ok(lengths));
}
