// The common controls: a row list without its end, the list view's sort with marks and cursor,
// the log edit's trimming, icon items of combo boxes, the caret, exact list box search.
#include "harness_win.h"

#include "resource.h"
#include "toolkit/controls_win.h"
#include "toolkit/listview_win.h"

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

// A row list without its "end" row stops at the first missing row instead of reading "?"
// rows for ever.
TEST(popup_menus, a_list_without_end_stops_at_the_missing_row)
{
    HMENU menu = make_popup(60000, 1, {});
    EXPECT_EQ(GetMenuItemCount(menu), 0);
    DestroyMenu(menu);
}

std::vector<std::string> column_texts(const listview& list, int column)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list.row_count(); ++i)
        texts.push_back(list.row_text(i, column));
    return texts;
}

TEST(listview_sort, marks_follow_their_rows_and_the_cursor_row_comes_into_view)
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
    // The order itself is the row store's, tested natively; here the control's marks follow
    // their rows, the cursor keeps its index and the row it had is scrolled into view.
    list.sort(2, true, 0, "..", 2, '<');
    auto names = column_texts(list, 0);
    EXPECT_EQ(names[0], "..");
    EXPECT_EQ(names.back(), "c");
    for (int i = 0; i < list.row_count(); ++i)
        EXPECT_EQ(list.is_marked(i),
                  names[static_cast<std::size_t>(i)] == "a" || names[static_cast<std::size_t>(i)] == "b")
            << names[static_cast<std::size_t>(i)];
    EXPECT_EQ(list.cursor(), 35);
    int top = static_cast<int>(SendMessageA(list.handle(), LVM_GETTOPINDEX, 0, 0));
    EXPECT_GE(top + list.rows_per_page(), list.row_count());
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

// An icon item is stored as ":icon:text"; a text that itself begins with ':' must not be
// taken for one.
TEST(combo_items, icon_items_are_stored_as_colon_icon_colon_text)
{
    gui::host_window f;
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24, 4, 0);
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
    EXPECT_EQ(box.item_text(2), ":odd");
    EXPECT_EQ(box.item_icon(2), -1);
    // Replacing the text keeps the icon.
    box.replace(0, "D:");
    EXPECT_EQ(box.item_text(0), "D:");
    EXPECT_EQ(box.item_icon(0), 3);
    ImageList_Destroy(images);
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
    list.clear_rows();
    EXPECT_EQ(list.row_count(), 0);
    EXPECT_EQ(SendMessageA(list.handle(), LVM_GETITEMCOUNT, 0, 0), 0);
}

} // namespace
