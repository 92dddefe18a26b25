// The virtual list view: rows live in the row store and reach the control on demand.
#include "toolkit/listview_win.h"
#include "toolkit/module_win.h"

#include "base/paths.h"

#include <cstring>

listview::~listview() = default;

bool listview::on_erase_background(HDC)
{
    return false;
}
HBRUSH listview::on_ctl_color(HDC)
{
    return nullptr;
}
HFONT listview::get_font()
{
    return reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0));
}

void listview::set_font(HFONT font)
{
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (HWND header = reinterpret_cast<HWND>(SendMessageA(hwnd_, LVM_GETHEADER, 0, 0)))
        InvalidateRect(header, nullptr, TRUE);
}

void listview::on_got_focus() {}
void listview::on_click() {}
void listview::on_right_click() {}
void listview::on_double_click() {}

void listview::on_item_prepaint(NMLVCUSTOMDRAW* draw)
{
    draw->clrText = text_colour_;
    draw->clrTextBk = background_colour_;
}

bool listview::on_header_begin_track(int)
{
    return false;
}
void listview::on_header_end_track(int) {}
bool listview::on_header_divider_double_click(int)
{
    return false;
}
void listview::on_char_typed(int) {}
bool listview::on_key_down(int)
{
    return false;
}
bool listview::on_set_cursor()
{
    return false;
}
void listview::on_mouse_move() {}
void listview::on_nc_calc_size() {}
int listview::compare_rows(int a, int b)
{
    return compare_rows_plain(rows_, static_cast<std::size_t>(a), static_cast<std::size_t>(b), keys_);
}
void listview::on_begin_drag(int) {}
void listview::on_item_changed(int) {}

bool listview::create(int x, int y, int width, int height, DWORD style, DWORD ex_style, HWND parent, int id)
{
    if (!child::create(x, y, width, height, style, WS_EX_CLIENTEDGE | ex_style, WC_LISTVIEWA, parent, id))
        return false;
    subclass(procedure);
    set_colours(GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW));
    return true;
}

void listview::set_colours(COLORREF text, COLORREF background)
{
    text_colour_ = text;
    background_colour_ = background;
    SendMessageA(hwnd_, LVM_SETTEXTCOLOR, 0, text);
    SendMessageA(hwnd_, LVM_SETBKCOLOR, 0, background);
    SendMessageA(hwnd_, LVM_SETTEXTBKCOLOR, 0, background);
}

void listview::get_display_info(NMLVDISPINFOA* info) const
{
    LVITEMA& item = info->item;
    if (item.iItem < 0 || item.iItem >= row_count())
        return;
    auto index = static_cast<std::size_t>(item.iItem);
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0)
        copy_bounded(item.pszText, static_cast<std::size_t>(item.cchTextMax),
                     rows_.text(index, static_cast<std::size_t>(item.iSubItem < 0 ? 0 : item.iSubItem)));
    if (item.mask & LVIF_IMAGE)
        item.iImage = rows_.image(index);
}

void listview::add_row(const std::vector<std::string>& texts, int image)
{
    std::vector<std::string> copy = texts;
    if (column_count_ > 0)
        copy.resize(static_cast<std::size_t>(column_count_));
    rows_.add(std::move(copy), image);
    SendMessageA(hwnd_, LVM_SETITEMCOUNT, rows_.size(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

void listview::remove_row(int index)
{
    if (index < 0 || index >= row_count())
        return;
    rows_.remove(static_cast<std::size_t>(index));
    // The control shifts the marks and the cursor of the rows below.
    SendMessageA(hwnd_, LVM_DELETEITEM, index, 0);
}

void listview::clear_rows()
{
    rows_.clear();
    SendMessageA(hwnd_, LVM_DELETEALLITEMS, 0, 0);
}

std::string listview::row_text(int index, int column) const
{
    if (index < 0 || column < 0)
        return {};
    return std::string(rows_.text(static_cast<std::size_t>(index), static_cast<std::size_t>(column)));
}

namespace {

void invalidate_cell(HWND list, int index, int column)
{
    RECT rect{};
    rect.top = column;
    rect.left = LVIR_BOUNDS;
    if (SendMessageA(list, LVM_GETSUBITEMRECT, index, reinterpret_cast<LPARAM>(&rect)))
        InvalidateRect(list, &rect, TRUE);
}

} // namespace

void listview::set_row_text(int index, int column, const char* text)
{
    if (index < 0 || column < 0)
        return;
    if (rows_.set_text(static_cast<std::size_t>(index), static_cast<std::size_t>(column), text))
        invalidate_cell(hwnd_, index, column);
}

void listview::set_row_image(int index, int image)
{
    if (index < 0)
        return;
    if (rows_.set_image(static_cast<std::size_t>(index), image))
        invalidate_cell(hwnd_, index, 0);
}

int listview::cursor() const
{
    return static_cast<int>(SendMessageA(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

int listview::next_marked(int after) const
{
    return static_cast<int>(SendMessageA(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(after), LVNI_SELECTED));
}

int listview::marked_count() const
{
    return static_cast<int>(SendMessageA(hwnd_, LVM_GETSELECTEDCOUNT, 0, 0));
}

bool listview::is_marked(int index) const
{
    return SendMessageA(hwnd_, LVM_GETITEMSTATE, index, LVIS_SELECTED) & LVIS_SELECTED;
}

namespace {

void set_state(HWND list, int index, UINT state, UINT mask)
{
    LVITEMA item{};
    item.state = state;
    item.stateMask = mask;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

} // namespace

void listview::mark(int index)
{
    set_state(hwnd_, index, LVIS_SELECTED, LVIS_SELECTED);
}
void listview::unmark(int index)
{
    set_state(hwnd_, index, 0, LVIS_SELECTED);
}
void listview::set_cursor(int index)
{
    set_state(hwnd_, index, LVIS_FOCUSED, LVIS_FOCUSED);
}

void listview::unmark_all()
{
    suspend_redraw();
    set_state(hwnd_, -1, 0, LVIS_SELECTED);
    resume_redraw();
}

void listview::ensure_visible(int index)
{
    SendMessageA(hwnd_, LVM_ENSUREVISIBLE, index, FALSE);
}
void listview::scroll(int dx)
{
    SendMessageA(hwnd_, LVM_SCROLL, dx, 0);
}
int listview::rows_per_page() const
{
    return static_cast<int>(SendMessageA(hwnd_, LVM_GETCOUNTPERPAGE, 0, 0));
}
int listview::column_width(int index) const
{
    return static_cast<int>(SendMessageA(hwnd_, LVM_GETCOLUMNWIDTH, index, 0));
}
void listview::set_column_width(int index, int width)
{
    SendMessageA(hwnd_, LVM_SETCOLUMNWIDTH, index, width);
}

void listview::sort(int column, bool ascending, int pin_column, const char* pin_text, int group_column,
                    char group_character)
{
    keys_.column = column;
    keys_.ascending = ascending;
    keys_.pin_column = pin_column;
    keys_.pin_text = pin_text ? pin_text : "";
    keys_.group_column = group_column;
    keys_.group_character = group_character;

    int count = row_count();
    std::vector<char> marks(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        marks[static_cast<std::size_t>(i)] = is_marked(i) ? 1 : 0;
    std::vector<char> before = marks;
    int had_cursor = cursor();
    int tracked = comb_sort(
        static_cast<std::size_t>(count), ascending,
        [this](std::size_t a, std::size_t b) {
            return compare_rows(static_cast<int>(a), static_cast<int>(b));
        },
        [this, &marks](std::size_t a, std::size_t b) {
            rows_.swap(a, b);
            std::swap(marks[a], marks[b]);
        },
        had_cursor);
    // Marks follow their rows; the cursor keeps its index.
    for (int i = 0; i < count; ++i) {
        auto k = static_cast<std::size_t>(i);
        if (marks[k] != before[k])
            set_state(hwnd_, i, marks[k] ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
    if (tracked >= 0)
        ensure_visible(tracked);
    int top = static_cast<int>(SendMessageA(hwnd_, LVM_GETTOPINDEX, 0, 0));
    SendMessageA(hwnd_, LVM_REDRAWITEMS, top, top + rows_per_page());
    UpdateWindow(hwnd_);
}

LRESULT CALLBACK listview::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    auto* self = dynamic_cast<listview*>(control::from_handle(window));
    if (!self)
        return DefWindowProcA(window, message, wparam, lparam);
    switch (message) {
    case WM_ERASEBKGND:
        if (self->on_erase_background(reinterpret_cast<HDC>(wparam)))
            return 1;
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHEADERA*>(lparam);
        // The header talks to the list in either character set.
        switch (header->hdr.code) {
        case HDN_BEGINTRACKA:
        case HDN_BEGINTRACKW:
            if (self->on_header_begin_track(header->iItem))
                return TRUE;
            break;
        case HDN_ENDTRACKA:
        case HDN_ENDTRACKW:
            self->on_header_end_track(header->iItem);
            break;
        case HDN_DIVIDERDBLCLICKA:
        case HDN_DIVIDERDBLCLICKW:
            if (self->on_header_divider_double_click(header->iItem))
                return 0;
            break;
        default:
            break;
        }
        break;
    }
    case WM_CHAR:
        self->on_char_typed(static_cast<int>(wparam));
        return 0;
    case WM_KEYDOWN:
        if (self->on_key_down(static_cast<int>(wparam)))
            return 0;
        break;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        // The system sends F10 (and Shift+F10) to the focused control as a system key, which
        // would open the menu bar or a context menu: the list takes it as an ordinary key.
        if (wparam == VK_F10) {
            if (message == WM_SYSKEYDOWN)
                self->on_key_down(VK_F10);
            return 0;
        }
        break;
    case WM_SETCURSOR:
        if (self->on_set_cursor())
            return TRUE;
        break;
    case WM_MOUSEMOVE:
        self->on_mouse_move();
        break;
    case WM_NCCALCSIZE:
        self->on_nc_calc_size();
        break;
    default:
        break;
    }
    return self->call_previous(message, wparam, lparam);
}

// ---- listview_report ----

int listview_report::compare_rows(int a, int b)
{
    return compare_rows_report(rows_, static_cast<std::size_t>(a), static_cast<std::size_t>(b), keys_,
                               right_aligned_);
}

void listview_report::on_column_click(int) {}

bool listview_report::right_aligned(int column) const
{
    return column >= 0 && static_cast<std::size_t>(column) < right_aligned_.size() &&
           right_aligned_[static_cast<std::size_t>(column)];
}

bool listview_report::create(int x, int y, int width, int height, DWORD extra_style, HWND parent, int id,
                             HIMAGELIST small_images, unsigned first_string)
{
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | LVS_REPORT | LVS_SHOWSELALWAYS |
                  LVS_SHAREIMAGELISTS | LVS_OWNERDATA | extra_style;
    if (!listview::create(x, y, width, height, style, 0, parent, id))
        return false;
    SendMessageA(hwnd_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    if (small_images)
        SendMessageA(hwnd_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(small_images));
    make_columns(first_string, small_images != nullptr);
    return true;
}

void listview_report::make_columns(unsigned first_string, bool has_images)
{
    HDC dc = GetDC(hwnd_);
    HFONT font = get_font();
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    columns_ = 0;
    right_aligned_.clear();
    for (unsigned id = first_string; id < first_string + 100; ++id) {
        char row[128] = {};
        int n = LoadStringA(module_instance(), id, row, sizeof row);
        if (n <= 0 || lstrcmpiA(row, "end") == 0)
            break; // a missing row ends the list as "end" does
        SIZE extent{};
        GetTextExtentPoint32A(dc, row, n, &extent);
        int width = extent.cx + 16 + ((columns_ == 0 && has_images) ? 26 : 0);
        std::string caption(row, static_cast<std::size_t>(n));
        while (!caption.empty() && caption.back() == ' ')
            caption.pop_back();
        std::size_t lead = caption.find_first_not_of(' ');
        bool right = lead != 0 && lead != std::string::npos;
        if (lead == std::string::npos)
            caption.clear();
        else
            caption.erase(0, lead);
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = right ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = width;
        column.pszText = caption.data();
        column.iSubItem = columns_;
        SendMessageA(hwnd_, LVM_INSERTCOLUMNA, columns_, reinterpret_cast<LPARAM>(&column));
        right_aligned_.push_back(right);
        ++columns_;
    }
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    column_count_ = columns_;
}
