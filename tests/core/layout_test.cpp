// layout.ini: a new file's bytes, reading with defaults, writing back, the window rectangle's rules.
#include "platform/os.h"
#include "settings/ini.h"
#include "settings/layout.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

class Layout : public ::testing::Test {
protected:
    temp_dir dir;
    std::string path = dir.file("layout.ini");
};

TEST_F(Layout, NewFileBytesAndNameColumnDefault)
{
    ASSERT_TRUE(ensure_layout_file(path));
    std::string expected = "[value]\r\nposition x=0\r\nposition y=0\r\nsize x=320\r\nsize y=440\r\n"
                           "width name=160\r\nwidth type=42\r\nwidth size=71\r\nwidth date=126\r\n"
                           "width attribute=36\r\nsort column=1\r\n"
                           "[switch]\r\nmask systemfile=+\r\ndual window=-\r\nsort direction=+\r\n"
                           "[directory]\r\ncurrent left=\r\ncurrent right=\r\n";
    for (int i = 1; i <= 12; ++i)
        expected += "mark" + std::to_string(i) + "=\r\n";
    EXPECT_EQ(os::read_file(path).value_or(""), expected);
    ASSERT_TRUE(ensure_layout_file(path)); // an existing file stays as it is
    EXPECT_EQ(os::read_file(path).value_or(""), expected);
    EXPECT_FALSE(ensure_layout_file(dir.file("missing/layout.ini")));
    // The name column is 160 as created, 455 when its key is missing.
    read_layout(path);
    EXPECT_EQ(layout().column_widths[0], 160);
    ASSERT_TRUE(ini_delete_key(path, "value", "width name"));
    read_layout(path);
    EXPECT_EQ(layout().column_widths[0], 455);
    EXPECT_EQ(layout().column_widths[1], 42);
}

TEST_F(Layout, WriteThenRead)
{
    ASSERT_TRUE(ensure_layout_file(path));
    layout_state& l = layout();
    l = layout_state{};
    l.window_x = -8;
    l.window_width = 500;
    l.sort_column = 3;
    l.sort_ascending = false;
    l.hide_system_files = false;
    l.pane_dirs[2] = "ftp://host/pub/";
    l.marks[0] = "D:/\x83\x5C/";
    l.marks[11] = "//server/share/";
    layout_live live;
    live.column_widths = {200, 50, 80, 130, 40};
    live.dual_window = true;
    write_layout(path, live);

    l = layout_state{};
    read_layout(path);
    EXPECT_EQ(l.window_x, -8);
    EXPECT_EQ(l.window_width, 500);
    EXPECT_EQ(l.column_widths, live.column_widths);
    EXPECT_EQ(l.sort_column, 3);
    EXPECT_FALSE(l.sort_ascending);
    EXPECT_FALSE(l.hide_system_files);
    EXPECT_TRUE(l.dual_window);
    EXPECT_EQ(l.pane_dirs[2], "ftp://host/pub/");
    EXPECT_EQ(l.marks[0], "D:/\x83\x5C/");
    EXPECT_EQ(l.marks[11], "//server/share/");
    EXPECT_EQ(l.return_paths[1], "D:/\x83\x5C/");
    EXPECT_EQ(l.return_paths[2], "D:/\x83\x5C/");
}

TEST_F(Layout, DirectoriesTakeForwardSlashes)
{
    ASSERT_TRUE(write_text_file(path, "[directory]\ncurrent left=C:\\a\\\x83\x5C\\\nmark3=D:\\data\\\n"));
    read_layout(path);
    EXPECT_EQ(layout().pane_dirs[1], "C:/a/\x83\x5C/");
    EXPECT_EQ(layout().marks[2], "D:/data/");
}

TEST_F(Layout, WindowRectangleRules)
{
    for (int state : {0, 2, 3, 6, 7})
        EXPECT_FALSE(keeps_window_position(state)) << state;
    for (int state : {1, 4, 5, 8, 9})
        EXPECT_TRUE(keeps_window_position(state)) << state;
    // e = 2: a dual window 800 wide with a client of 790 was 800 - 4 - 393 = 403 alone.
    EXPECT_EQ(single_pane_width(800, 790, 2, true), 403);
    EXPECT_EQ(single_pane_width(800, 790, 2, false), 800);
    EXPECT_EQ(single_pane_width(801, 791, 2, true), 404); // (791 - 4) / 2 rounds down
    EXPECT_EQ(dual_pane_width(403, 393, 2), 800);
    EXPECT_EQ(max_track_width(1920, 2, false), 962);
    EXPECT_EQ(max_track_width(1920, 2, true), 1924);
    EXPECT_EQ(max_track_width(1367, 2, false), 685);
}

TEST_F(Layout, MarkMenuTexts)
{
    EXPECT_EQ(mark_menu_text(4, "C:/work/"), " 5 C:/work/");
    EXPECT_EQ(mark_menu_text(9, "D:/"), "10 D:/");
    EXPECT_EQ(mark_menu_text(0, ""), " 1 ");
}
