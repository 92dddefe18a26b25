// The common controls: edits, combo and list boxes, statics, toolbar, status bar, up-down
// control, pop-up menus from string rows and the drawing helpers.
#include "toolkit/controls_win.h"

#include "base/cp932.h"
#include "base/paths.h"
#include "toolkit/module_win.h"
#include "toolkit/control_texts.h"
#include "toolkit/edit_rules.h"
#include "toolkit/row_store.h"

#include <imm.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A string row of a row list; false when the row does not exist at all, which ends a list
// that lacks its "end" row instead of reading "?" rows for ever.
bool load_row(unsigned id, std::string& text)
{
    char buffer[128] = {};
    int n = LoadStringA(module_instance(), id, buffer, sizeof buffer);
    if (n <= 0)
        return false;
    text.assign(buffer, static_cast<std::size_t>(n));
    return true;
}

constexpr unsigned max_rows = 1000;
// The colour entries of the options dialog: "背景:ソース側" ... up to "end".
constexpr unsigned first_colour_row = 94;

void replace_brush(HBRUSH& brush, COLORREF background)
{
    if (brush)
        DeleteObject(brush);
    brush = background == transparent_colour ? nullptr : CreateSolidBrush(background);
}

} // namespace

// ---- edit ----

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

// ---- combo ----

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
    auto at = static_cast<int>(
        SendMessageA(hwnd_, CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(plain.c_str())));
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

// ---- listbox ----

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

// ---- static_ ----

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

// ---- toolbar ----

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
    attach(CreateUpDownControl(style, 0, 0, 1, 1, parent, id, module_instance(), buddy, upper, lower, position));
    return hwnd_ != nullptr;
}

void updown::set_position(int value)
{
    SendMessageA(hwnd_, UDM_SETPOS32, 0, value);
}

// ---- menus and drawing ----

HMENU make_popup(unsigned first_string, int first_command, const std::vector<HMENU>& submenus)
{
    HMENU menu = CreatePopupMenu();
    int command = first_command;
    std::size_t next_submenu = 0;
    std::string row;
    for (unsigned id = first_string; id < first_string + max_rows && load_row(id, row); ++id) {
        if (lstrcmpiA(row.c_str(), "end") == 0)
            break;
        if (lstrcmpiA(row.c_str(), "separator") == 0) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        } else if (row.size() >= 6 && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, row.c_str(), 6,
                                                     "popup ", 6) == CSTR_EQUAL) {
            if (next_submenu < submenus.size())
                AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenus[next_submenu++]),
                            row.c_str() + 6);
        } else {
            AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(command++), row.c_str());
        }
    }
    return menu;
}

void show_popup(HMENU menu, HWND owner, int x, int y)
{
    if (x == -1) {
        POINT point{};
        GetCursorPos(&point);
        x = point.x;
        y = point.y;
    }
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
}

void apply_colours(HDC dc, COLORREF text, COLORREF background)
{
    SetTextColor(dc, text);
    if (background == transparent_colour) {
        SetBkMode(dc, TRANSPARENT);
    } else {
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, background);
    }
}

void draw_icon(HDC dc, int x, int y, HIMAGELIST images, int index)
{
    ImageList_Draw(images, index, dc, x, y, ILD_NORMAL);
}

HICON load_icon(const char* name, bool large)
{
    int size_x = GetSystemMetrics(large ? SM_CXICON : SM_CXSMICON);
    int size_y = GetSystemMetrics(large ? SM_CYICON : SM_CYSMICON);
    return static_cast<HICON>(LoadImageA(module_instance(), name, IMAGE_ICON, size_x, size_y, 0));
}
