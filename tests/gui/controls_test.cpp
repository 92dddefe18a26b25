// The common controls: a row list without its end, the list view's sort with marks and cursor,
// the log edit's trimming, exact list box search (a combo item keeping its icon: main_window_test).
#include "harness_win.h"

#include "resource.h"
#include "toolkit/controls_win.h"
#include "toolkit/listview_win.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// A row list without its "end" row stops at the first missing row instead of reading "?"
// rows for ever.
TEST(popup_menus, a_list_without_end_stops_at_the_missing_row)
{
    HMENU menu = make_popup(60000, 1, {});
    EXPECT_EQ(GetMenuItemCount(menu), 0);
    DestroyMenu(menu);
}

// The order itself is the row store's, tested natively; here the control's marks follow their
// rows, the cursor keeps its index and the row it had is scrolled into view.
TEST(listview_sort, marks_follow_their_rows_and_the_cursor_row_comes_into_view)
{
    gui::host_window f;
    listview_report list;
    ASSERT_TRUE(list.create(0, 0, 500, 160, 0, f.handle(), 707, nullptr, 88));
    // Sizes 35 down to 1, then 99: sorted by size the first 35 turn round, the last stays.
    for (int n = 0; n < 36; ++n)
        list.add_row({"f" + std::to_string(n), "", std::to_string(n < 35 ? 35 - n : 99), "", ""}, -1);
    list.mark(0);
    list.mark(3);
    list.set_cursor(35);
    gui::pump(0);
    list.sort(2, true, 0, "..", 2, '<');
    for (int i = 0; i < list.row_count(); ++i) {
        std::string name = list.row_text(i, 0);
        EXPECT_EQ(list.is_marked(i), name == "f0" || name == "f3") << name;
    }
    EXPECT_EQ(list.row_text(0, 0), "f34");
    EXPECT_EQ(list.cursor(), 35);
    int top = static_cast<int>(SendMessageA(list.handle(), LVM_GETTOPINDEX, 0, 0));
    EXPECT_GE(top + list.rows_per_page(), list.row_count());
}

// The trimming is a native table; here the control takes more than its default limit and the log
// ends in the last line appended, a whole line at its top.
TEST(edit_append, a_full_log_keeps_its_last_lines)
{
    gui::host_window f;
    edit log;
    ASSERT_TRUE(log.create(0, 0, 400, 200, ES_MULTILINE | ES_READONLY | WS_VSCROLL, f.handle(), 749));
    std::string line = "00000 " + std::string(150, 'x') + " \x95\x5C\r\n";
    for (int n = 0; n < 300; ++n) {
        std::snprintf(line.data(), 6, "%05d", n);
        line[5] = ' ';
        log.append(line.c_str());
    }
    std::string text = log.get_text(edit::log_limit);
    ASSERT_GT(text.size(), 40000u);
    EXPECT_LT(text.size() + 1, static_cast<std::size_t>(edit::log_limit));
    EXPECT_EQ(text.substr(text.size() - line.size()), line);
    EXPECT_EQ(text.size() % line.size(), 0u);
}

TEST(listbox_items, find_compares_the_whole_text_exactly)
{
    gui::host_window f;
    CreateWindowExA(0, "LISTBOX", "", WS_CHILD | LBS_SORT, 0, 0, 100, 100, f.handle(),
                    reinterpret_cast<HMENU>(743), nullptr, nullptr);
    listbox box;
    ASSERT_TRUE(box.bind(f.handle(), 743));
    box.add(".txt");
    box.add(".c");
    box.add(".TXT");
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
