// The common controls: menus and columns from string rows, the list view's sort with marks
// and cursor, the log edit's trimming, icon items of combo boxes, the caret, timer ids.
#include "harness_win.h"

#include "resource.h"
#include "toolkit/controls_win.h"
#include "toolkit/listview_win.h"
#include "toolkit/timer_win.h"

#include <gtest/gtest.h>

#include <imm.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A top-level window to put controls in.
struct frame {
    HWND window = CreateWindowExA(0, "STATIC", "frame", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, 600,
                                  400, nullptr, nullptr, nullptr, nullptr);
    ~frame() { DestroyWindow(window); }
};

struct menu_item {
    int id;           // 0: separator or submenu
    const char* text; // UTF-8; nullptr for a separator
    int submenu;      // index into the submenus handed in, -1 for none
};

void expect_menu(HMENU menu, const std::vector<menu_item>& expected, const std::vector<HMENU>& submenus)
{
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& e = expected[i];
        char text[128] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        ASSERT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info));
        if (!e.text) {
            EXPECT_TRUE(info.fType & MFT_SEPARATOR) << i;
            continue;
        }
        EXPECT_EQ(std::string(text), gui::acp(e.text)) << i;
        if (e.submenu >= 0)
            EXPECT_EQ(info.hSubMenu, submenus[static_cast<std::size_t>(e.submenu)]) << i;
        else
            EXPECT_EQ(static_cast<int>(info.wID), e.id) << i;
    }
}

TEST(popup_menus, pane_menu_from_rows_63_to_79)
{
    std::vector<HMENU> submenus{CreatePopupMenu(), CreatePopupMenu(), CreatePopupMenu()};
    HMENU menu = make_popup(63, 209, submenus);
    expect_menu(menu,
                {{209, "新規ディレクトリ作成(&K)...", -1},
                 {210, "新規ファイル作成(&N)...", -1},
                 {0, nullptr, -1},
                 {211, "全てを選択(&A)", -1},
                 {212, "新しいものを選択(&C)", -1},
                 {0, nullptr, -1},
                 {213, "リストを2つ開く(&W)", -1},
                 {214, "システムファイルを隠す(&M)", -1},
                 {0, "並べ変え(&S)", 0},
                 {0, nullptr, -1},
                 {215, "全ドライブの再認識(&L)", -1},
                 {0, nullptr, -1},
                 {216, "ルートディレクトリへ(&O)", -1},
                 {217, "親ディレクトリへ(&P)", -1},
                 {0, "ディレクトリをマーク(&T)", 1},
                 {0, "マークディレクトリへ(&R)", 2}},
                submenus);
    DestroyMenu(menu); // destroys the submenus with it
}

TEST(popup_menus, row_menu_from_rows_80_to_87)
{
    HMENU menu = make_popup(80, 202, {});
    expect_menu(menu,
                {{202, "コピー(&C)", -1},
                 {203, "移動(&M)", -1},
                 {204, "削除(&D)", -1},
                 {0, nullptr, -1},
                 {205, "改名(&R)...", -1},
                 {206, "属性の変更(&A)...", -1},
                 {207, "更新日時の変更(&T)...", -1}},
                {});
    DestroyMenu(menu);
}

// A row list without its "end" row stops at the first missing row instead of reading "?"
// rows for ever.
TEST(popup_menus, a_list_without_end_stops_at_the_missing_row)
{
    HMENU menu = make_popup(60000, 1, {});
    EXPECT_EQ(GetMenuItemCount(menu), 0);
    DestroyMenu(menu);
}

TEST(report_columns, file_columns_from_rows_88_to_93)
{
    frame f;
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32, 1, 0);
    for (bool with_images : {false, true}) {
        listview_report list;
        ASSERT_TRUE(list.create(0, 0, 500, 300, 0, f.window, 707, with_images ? images : nullptr, 88));
        ASSERT_EQ(list.columns(), 5);
        struct column {
            const char* row;
            const char* caption;
            bool right;
        };
        const column columns[] = {{"名前   ", "名前", false},
                                  {"種別", "種別", false},
                                  {"       サイズ", "サイズ", true},
                                  {"更新日時           ", "更新日時", false},
                                  {"属性", "属性", false}};
        for (int i = 0; i < 5; ++i) {
            char caption[128] = {};
            LVCOLUMNA info{};
            info.mask = LVCF_FMT | LVCF_TEXT;
            info.pszText = caption;
            info.cchTextMax = sizeof caption;
            ASSERT_TRUE(SendMessageA(list.handle(), LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&info)));
            EXPECT_EQ(std::string(caption), gui::acp(columns[i].caption)) << i;
            EXPECT_EQ((info.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT, columns[i].right) << i;
            EXPECT_EQ(list.right_aligned(i), columns[i].right) << i;
            // The blanks of the row make the column wider than its caption.
            int expected = gui::text_width(list.handle(), gui::acp(columns[i].row)) + 16 +
                           (i == 0 && with_images ? 26 : 0);
            EXPECT_EQ(list.column_width(i), expected) << i;
        }
        EXPECT_GT(list.column_width(3), gui::text_width(list.handle(), gui::acp("更新日時")) + 16);
    }
    ImageList_Destroy(images);
}

std::vector<std::string> column_texts(const listview& list, int column)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list.row_count(); ++i)
        texts.push_back(list.row_text(i, column));
    return texts;
}

TEST(listview_sort, pane_sort_keeps_dot_dot_and_directories_first_with_marks_and_cursor)
{
    gui::host_window f;
    listview_report list;
    ASSERT_TRUE(list.create(0, 0, 500, 160, 0, f.handle(), 707, nullptr, 88));
    const std::vector<std::vector<std::string>> rows = {
        {"b", "txt", "10", "2010. 1. 1 00:00.00", "----"},
        {"zdir", "", "<DIR>", "", "----"},
        {"..", "", "<DIR>", "", "----"},
        {"a", "txt", "9", "", "----"},
        {"adir", "", "<DIR>", "", "----"},
        {"c", "doc", "1,234", "", "----"},
    };
    for (int n = 0; n < 30; ++n)
        list.add_row({"f" + std::to_string(n + 10), "dat", "5", "", "----"}, -1);
    for (const auto& r : rows)
        list.add_row(r, -1);
    list.mark(30);       // b
    list.mark(33);       // a
    list.set_cursor(35); // c
    gui::pump(0);
    list.sort(2, true, 0, "..", 2, '<');
    auto names = column_texts(list, 0);
    EXPECT_EQ(names[0], "..");
    EXPECT_EQ(names[1], "adir");
    EXPECT_EQ(names[2], "zdir");
    // Sizes compare by value: 5 ... 9, 10, 1,234.
    EXPECT_EQ(names[names.size() - 3], "a");
    EXPECT_EQ(names[names.size() - 2], "b");
    EXPECT_EQ(names[names.size() - 1], "c");
    EXPECT_EQ(list.marked_count(), 2);
    for (int i = 0; i < list.row_count(); ++i)
        EXPECT_EQ(list.is_marked(i),
                  names[static_cast<std::size_t>(i)] == "a" || names[static_cast<std::size_t>(i)] == "b")
            << names[static_cast<std::size_t>(i)];
    EXPECT_EQ(list.cursor(), 35);
    // The row that had the cursor ("c", now last) was scrolled into view.
    int top = static_cast<int>(SendMessageA(list.handle(), LVM_GETTOPINDEX, 0, 0));
    EXPECT_LE(top, list.row_count() - 1);
    EXPECT_GE(top + list.rows_per_page(), list.row_count());

    list.sort(2, false, 0, "..", 2, '<');
    names = column_texts(list, 0);
    EXPECT_EQ(names[0], "..");
    // Equal sizes ("<DIR>") fall back to the names, always ascending.
    EXPECT_EQ(names[1], "adir");
    EXPECT_EQ(names[2], "zdir");
    EXPECT_EQ(names[3], "c");
    EXPECT_EQ(list.marked_count(), 2);
    EXPECT_EQ(list.cursor(), 35);
    EXPECT_TRUE(gui::save_png(list.handle(), gui::artifact_path("listview_sorted.png")));
}

TEST(edit_append, log_drops_whole_lines_from_the_top_at_0xc000)
{
    frame f;
    edit log;
    ASSERT_TRUE(log.create(0, 0, 400, 200, ES_MULTILINE | ES_READONLY | WS_VSCROLL, f.window, 749));
    std::string last;
    const std::string filler(150, 'x');
    for (int n = 0; n < 300; ++n) {
        char line[256];
        // Double-byte text in every line: a trail byte 0x5C ("\x95\x5C") among them.
        std::snprintf(line, sizeof line, "%05d %s \x95\x5C %s\r\n", n, gui::acp("受信").c_str(),
                      filler.c_str());
        log.append(line);
        last = line;
        ASSERT_LT(log.text_length() + 1, edit::log_limit) << n;
    }
    std::string text = log.get_text(edit::log_limit);
    ASSERT_GT(text.size(), 40000u);
    EXPECT_EQ(text.substr(text.size() - last.size()), last);
    // The first line is whole: five digits and a blank.
    EXPECT_EQ(text[5], ' ') << text.substr(0, 40);
    int first = std::atoi(text.substr(0, 5).c_str());
    EXPECT_GT(first, 0);
    EXPECT_EQ((text.size() % last.size()), 0u);
    // One line longer than the whole log keeps its tail and never hangs.
    log.append(std::string(60000, 'x').c_str());
    EXPECT_LT(log.text_length() + 1, edit::log_limit);
}

// Four image-list icons of one solid colour each.
HIMAGELIST colour_icons()
{
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24, 4, 0);
    const COLORREF colours[] = {RGB(0, 0, 255), RGB(0, 255, 0), RGB(0, 255, 255), RGB(255, 0, 0)};
    HDC screen = GetDC(nullptr);
    for (COLORREF c : colours) {
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
        HGDIOBJ old = SelectObject(dc, bitmap);
        HBRUSH brush = CreateSolidBrush(c);
        RECT all{0, 0, 16, 16};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        SelectObject(dc, old);
        DeleteDC(dc);
        ImageList_Add(images, bitmap, nullptr);
        DeleteObject(bitmap);
    }
    ReleaseDC(nullptr, screen);
    return images;
}

TEST(combo_items, icon_item_shows_icon_and_text_and_reads_back_the_text)
{
    gui::host_window f;
    HIMAGELIST images = colour_icons();
    combo box;
    ASSERT_TRUE(box.create(10, 10, 200, 200, CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, f.handle(), 701));
    box.set_image_list(images);
    EXPECT_EQ(box.add("C:", 3), 0);
    EXPECT_EQ(box.add("plain"), 1);
    EXPECT_EQ(box.add(":odd", -1), 2);
    char raw[64] = {};
    SendMessageA(box.handle(), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(raw));
    EXPECT_STREQ(raw, ":3:C:");
    EXPECT_EQ(box.item_text(0), "C:");
    EXPECT_EQ(box.item_icon(0), 3);
    EXPECT_EQ(box.item_text(1), "plain");
    EXPECT_EQ(box.item_icon(1), -1);
    EXPECT_EQ(box.item_text(2), ":odd");
    EXPECT_EQ(box.item_icon(2), -1);
    box.select(0);
    SetFocus(f.handle());
    gui::pump();
    std::vector<unsigned> pixels;
    int width = 0, height = 0;
    ASSERT_TRUE(gui::capture(box.handle(), pixels, width, height));
    gui::write_png(gui::artifact_path("combo_icon_item.png"), pixels, width, height);
    int red_left = 0, dark_right = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned p = pixels[static_cast<std::size_t>(y * width + x)];
            if (x < 24 && p == 0xFF0000u)
                ++red_left;
            if (x >= 20 && x < 60 && (p & 0xFF) < 0xA0 && ((p >> 8) & 0xFF) < 0xA0 && (p >> 16) < 0xA0)
                ++dark_right;
        }
    EXPECT_GT(red_left, 100); // icon 3 at the left edge
    EXPECT_GT(dark_right, 5); // "C:" beside it
    // Replacing the text keeps the icon.
    box.replace(0, "D:");
    EXPECT_EQ(box.item_text(0), "D:");
    EXPECT_EQ(box.item_icon(0), 3);
    EXPECT_EQ(box.selection(), 0);
    ImageList_Destroy(images);
}

TEST(fixed_combos, contents)
{
    frame f;
    struct row {
        combo_fixed* box;
        int count;
        const char* first;
        const char* last;
    };
    combo_month month;
    combo_day day;
    combo_hour hour;
    combo_minute minute;
    combo_second second;
    combo_color colour;
    for (int id = 717; id <= 722; ++id)
        CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 50, 100, f.window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    ASSERT_TRUE(month.bind(f.window, 717));
    ASSERT_TRUE(day.bind(f.window, 718));
    ASSERT_TRUE(hour.bind(f.window, 719));
    ASSERT_TRUE(minute.bind(f.window, 720));
    ASSERT_TRUE(second.bind(f.window, 721));
    ASSERT_TRUE(colour.bind(f.window, 722));
    for (row r : {row{&month, 12, " 1", "12"}, row{&day, 28, " 1", "28"}, row{&hour, 24, " 0", "23"},
                  row{&minute, 60, "00", "59"}, row{&second, 30, "00", "58"}}) {
        EXPECT_EQ(r.box->count(), r.count);
        EXPECT_EQ(r.box->item_text(0), r.first);
        EXPECT_EQ(r.box->item_text(r.count - 1), r.last);
    }
    EXPECT_EQ(second.item_text(1), "02");
    EXPECT_EQ(colour.count(), 8);
    EXPECT_EQ(colour.item_text(0), gui::acp("背景:ソース側"));
    EXPECT_EQ(colour.item_text(7), gui::acp("文字:その他通常"));
    EXPECT_EQ(colour.selection(), 0);
}

int caret_width(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.rcCaret.right - info.rcCaret.left;
}

TEST(edit_caret, one_character_wide_block)
{
    gui::host_window f;
    edit e;
    ASSERT_TRUE(e.create(0, 0, 200, 24, ES_AUTOHSCROLL, f.handle(), 710));
    SetForegroundWindow(f.handle());
    e.set_focus();
    gui::pump();
    HDC dc = GetDC(e.handle());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(e.handle(), WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(e.handle(), dc);
    EXPECT_EQ(caret_width(e.handle()), metrics.tmAveCharWidth);
    // Switching the IME on doubles the block; off makes it single again.
    HIMC context = ImmGetContext(e.handle());
    ASSERT_NE(context, nullptr);
    ImmSetOpenStatus(context, TRUE);
    gui::pump(0);
    EXPECT_TRUE(e.ime_open());
    EXPECT_EQ(caret_width(e.handle()), 2 * metrics.tmAveCharWidth);
    ImmSetOpenStatus(context, FALSE);
    gui::pump(0);
    EXPECT_FALSE(e.ime_open());
    EXPECT_EQ(caret_width(e.handle()), metrics.tmAveCharWidth);
    ImmReleaseContext(e.handle(), context);
}

// The buttons' states are checked on the main window's toolbar, with its menus.
TEST(status_bar, part_texts)
{
    frame f;
    status line;
    ASSERT_TRUE(line.create(f.window, 709, 20));
    const int edges[] = {100, -1};
    line.set_parts(2, edges);
    line.set_text(1, "NTFS");
    char text[32] = {};
    SendMessageA(line.handle(), SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "NTFS");
    SendMessageA(line.handle(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "");
}

// The id counter is process-wide and starts at 1: the check runs in a fresh process.
TEST(timer_ids, DISABLED_first_two_in_this_process)
{
    frame f;
    timer first, second;
    ASSERT_TRUE(first.start(f.window, 10));
    ASSERT_TRUE(second.start(f.window, 10));
    EXPECT_EQ(first.id(), 1u);
    EXPECT_EQ(second.id(), 2u);
    // Each tick carries its timer's id.
    MSG message{};
    bool seen = false;
    for (int i = 0; i < 200 && !seen; ++i) {
        if (PeekMessageA(&message, f.window, WM_TIMER, WM_TIMER, PM_REMOVE))
            seen = message.wParam == 1 || message.wParam == 2;
        else
            Sleep(5);
    }
    EXPECT_TRUE(seen);
    first.stop();
    second.stop();
}

TEST(timer_ids, consecutive_from_one)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string command =
        std::string("\"") + self +
        "\" --gtest_also_run_disabled_tests --gtest_filter=timer_ids.DISABLED_first_two_in_this_process";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(code, 0u);
}

TEST(listbox_items, find_compares_the_whole_text_exactly)
{
    frame f;
    CreateWindowExA(0, "LISTBOX", "", WS_CHILD | LBS_SORT, 0, 0, 100, 100, f.window,
                    reinterpret_cast<HMENU>(743), nullptr, nullptr);
    listbox box;
    ASSERT_TRUE(box.bind(f.window, 743));
    box.add(".txt");
    box.add(".c");
    box.add(".TXT");
    EXPECT_EQ(box.count(), 3);
    EXPECT_EQ(box.find(".txt") >= 0 ? box.item_text(box.find(".txt")) : "", ".txt");
    EXPECT_EQ(box.find(".tx"), -1);
    EXPECT_NE(box.find(".TXT"), box.find(".txt"));
    box.select(box.find(".c"));
    EXPECT_EQ(box.item_text(box.selection()), ".c");
    box.remove(box.find(".c"));
    EXPECT_EQ(box.count(), 2);
    EXPECT_EQ(box.find(".c"), -1);
}

TEST(listview_rows, removing_a_row_shifts_the_marks_below)
{
    gui::host_window host;
    listview_report list;
    ASSERT_TRUE(list.create(0, 0, 400, 200, 0, host.handle(), 707, nullptr, 88));
    for (const char* name : {"a", "b", "c", "d"})
        list.add_row({name, "txt", "1", "", "----"}, 2);
    list.mark(1);
    list.mark(3);
    list.remove_row(0);
    ASSERT_EQ(list.row_count(), 3);
    EXPECT_EQ(list.row_text(0, 0), "b");
    EXPECT_TRUE(list.is_marked(0));
    EXPECT_FALSE(list.is_marked(1));
    EXPECT_TRUE(list.is_marked(2));
    EXPECT_EQ(list.next_marked(-1), 0);
    EXPECT_EQ(list.next_marked(0), 2);
    EXPECT_EQ(list.next_marked(2), -1);
    EXPECT_EQ(list.row_text(7, 0), ""); // no such row
    EXPECT_EQ(list.find_row(-1, "d"), 2);
    EXPECT_EQ(list.find_row_prefix(-1, 'C'), 1);
    list.unmark_all();
    EXPECT_EQ(list.marked_count(), 0);
    list.clear_rows();
    EXPECT_EQ(list.row_count(), 0);
    EXPECT_EQ(SendMessageA(list.handle(), LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST(drawing, colours_and_transparency)
{
    HDC dc = CreateCompatibleDC(nullptr);
    // The transparent colour draws no background; any other colour draws one again.
    apply_colours(dc, RGB(7, 8, 9), transparent_colour);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    apply_colours(dc, RGB(1, 2, 3), RGB(4, 5, 6));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    DeleteDC(dc);
    HICON large = load_icon(MAKEINTRESOURCEA(ICON_MAIN), true);
    HICON small = load_icon(MAKEINTRESOURCEA(ICON_MAIN), false);
    EXPECT_NE(large, nullptr);
    EXPECT_NE(small, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(small, &info));
    BITMAP bitmap{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(SM_CXSMICON));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(large);
    DestroyIcon(small);
}

} // namespace
