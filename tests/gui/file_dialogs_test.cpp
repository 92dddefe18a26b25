// The file operation dialogs over a real directory, answered as a user would: rename, make, copy
// under a new name, attributes and time stamps, with the pane rows after each. Their name, tick
// and skip rules are native tables.
#include "main_window_fixture.h"

#include "dialogs.h"
#include "fileops/file_dialogs_win.h"
#include "pane/local_listing_win.h"
#include "platform/os.h"
#include "resource.h"

namespace {

using answer = std::function<void(HWND)>;

// The name set (at once, so that the next step sees it), or the box ticked, and OK pressed.
answer name_ok(const char* name)
{
    return [name](HWND d) {
        SetDlgItemTextA(d, ID_NAME, name);
        gui::click_button(d, IDOK);
    };
}
answer tick_ok(int id)
{
    return [id](HWND d) {
        SendMessageA(GetDlgItem(d, id), BM_CLICK, 0, 0);
        gui::click_button(d, IDOK);
    };
}

class FileDialogs : public gui::main_window_test {
protected:
    void SetUp() override
    {
        main_window_test::SetUp();
        ASSERT_TRUE(fops::make_tree(root_, {"beta/", "beta/inner/", "a.txt=content", "b.txt=content",
                                            "beta/inner/deep.txt=content"}));
    }
    void TearDown() override
    {
        main_window_test::TearDown();
        for (const char* f : {"ro.txt", "x.txt"})
            SetFileAttributesA((root_ + f).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    const FileEntry& row(int p, const std::string& file_name)
    {
        int r = row_of(p, file_name);
        EXPECT_GE(r, 0) << file_name;
        return pane(p).rows.row(static_cast<std::size_t>(r < 0 ? 0 : r));
    }
    // The one row to act on: the cursor on it, no marks.
    void cursor_to(const std::string& file_name)
    {
        unmark_all(panes().active);
        main_window_test::cursor_to(file_name);
    }
    std::string attributes(const std::string& name)
    {
        std::string text;
        attribute_text(root_ + name, text);
        return text;
    }
    std::string time_of(const std::string& name)
    {
        std::string text;
        file_time_text(root_ + name, text);
        return text;
    }
};

TEST_F(FileDialogs, rename_refuses_a_bad_name_and_a_taken_one_then_renames)
{
    open();
    cursor_to("a.txt");
    HWND dialog = nullptr;
    std::string caption;
    std::vector<std::string> first_box, second_box;
    gui::modal_answers answers({
        [&](HWND d) {
            dialog = d;
            caption = gui::text_of(d);
            // The text limit counts the terminator of a 256-byte buffer.
            EXPECT_EQ(SendMessageA(GetDlgItem(d, ID_NAME), EM_GETLIMITTEXT, 0, 0), 255);
            SetDlgItemTextA(d, ID_NAME, "con");
            gui::click_button(d, IDOK);
        },
        gui::ok_box(first_box, [&] { name_ok("b.txt")(dialog); }),
        gui::ok_box(second_box, [&] { name_ok("c.txt")(dialog); }),
    });
    command(IDM_RENAME);
    EXPECT_EQ(answers.used(), 3u);
    EXPECT_EQ(caption, resource_string(IDS_ASK_NEW_FILE_NAME));
    EXPECT_TRUE(gui::contains_text(first_box, resource_string(IDS_LOCAL_NAME_RULE)));
    EXPECT_TRUE(gui::contains_text(second_box, resource_string(IDS_NAME_EXISTS)));
    EXPECT_TRUE(os::path_exists(root_ + "c.txt"));
    EXPECT_TRUE(os::path_exists(root_ + "b.txt"));
    EXPECT_EQ(row_of(1, "a.txt"), -1);
    EXPECT_EQ(cursor_name(1), "c.txt");
}

// Both panes show the renamed directory's parent, the right one the directory itself: the rows
// of both change and the right pane follows the new name.
TEST_F(FileDialogs, renaming_a_directory_moves_the_other_pane_along_and_both_rows_change)
{
    open();
    command(IDM_DUAL_WINDOW);
    gui::modal_answers make({name_ok("fresh.txt")});
    command(IDM_MAKE_FILE);
    EXPECT_GE(row_of(1, "fresh.txt"), 0);
    EXPECT_GE(row_of(2, "fresh.txt"), 0);
    change_directory("beta");
    activate_pane(false);
    cursor_to("beta");
    gui::modal_answers answers({name_ok("gamma")});
    command(IDM_RENAME);
    EXPECT_TRUE(os::is_directory(root_ + "gamma"));
    EXPECT_EQ(pane(2).path, root_ + "gamma/");
    EXPECT_EQ(box_text(2), root_ + "gamma/");
    EXPECT_EQ(cursor_name(1), "gamma");
}

TEST_F(FileDialogs, make_and_copy_under_a_new_name_add_the_row_with_the_cursor_on_it)
{
    struct {
        int command;
        const char* cursor; // the row the copy is made of
        std::string name;
        bool is_dir;
    } cases[] = {
        {IDM_MAKE_FILE, nullptr, "new.txt", false},
        // "ソ" ends in the byte 0x5C: it is no separator to take off the directory's path.
        {IDM_MAKE_DIRECTORY, nullptr, gui::acp("ソ"), true},
        {IDM_COPY, "beta", gui::acp("ソ2"), true},
    };
    open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.cursor)
            cursor_to(c.cursor);
        HWND dialog = nullptr;
        std::vector<std::string> message; // an unexpected notice is closed and shown
        gui::modal_answers answers({[&](HWND d) {
                                        dialog = d;
                                        SetDlgItemTextA(d, ID_NAME, c.name.c_str());
                                        gui::click_button(d, IDOK);
                                    },
                                    gui::ok_box(message, [&] { gui::click_button(dialog, IDCANCEL); })});
        command(c.command);
        EXPECT_EQ(answers.used(), 1u) << ::testing::PrintToString(message);
        EXPECT_EQ(os::is_directory(root_ + c.name), c.is_dir);
        EXPECT_TRUE(os::path_exists(root_ + c.name));
        if (c.cursor) {
            EXPECT_EQ(os::read_file(root_ + c.name + "/inner/deep.txt").value_or(""), "content");
        }
        EXPECT_EQ(cursor_name(1), c.name);
    }
}

TEST_F(FileDialogs, attribute_ticks_reach_the_disk_and_a_row_that_becomes_hidden_goes)
{
    ASSERT_TRUE(write_text_file(root_ + "x.txt", "x"));
    ASSERT_TRUE(
        SetFileAttributesA((root_ + "x.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    open(); // system and hidden files hidden, as by default
    cursor_to("x.txt");
    ASSERT_EQ(row(1, "x.txt").attr_text(), "--ra");
    gui::modal_answers one({tick_ok(ID_ATTR_ARCHIVE)});
    command(IDM_ATTRIBUTE);
    // Wine reports the archive attribute for every file: the disk is asked only for the others.
    EXPECT_EQ(attributes("x.txt").substr(0, 3), "--r");
    EXPECT_EQ(row(1, "x.txt").attr_text(), "--r-");

    cursor_to("b.txt");
    gui::modal_answers hidden({tick_ok(ID_ATTR_HIDDEN)});
    command(IDM_ATTRIBUTE);
    EXPECT_EQ(attributes("b.txt")[1], 'h');
    EXPECT_EQ(row_of(1, "b.txt"), -1);
}

TEST_F(FileDialogs, a_time_stamp_reaches_the_marked_files_and_spares_a_read_only_one)
{
    ASSERT_TRUE(write_text_file(root_ + "ro.txt", "r"));
    ASSERT_TRUE(set_file_time_from_text(root_ + "ro.txt", "2001. 2. 3  4:05.06"));
    ASSERT_TRUE(SetFileAttributesA((root_ + "ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    open();
    fops::mark(pane(1), {"ro.txt", "a.txt"});
    update_command_states();
    std::string stamp;
    gui::modal_answers answers({[&](HWND d) {
        if (dialog_timestamp* t = open_timestamp_dialog())
            stamp = t->new_text();
        gui::click_button(d, IDOK);
    }});
    command(IDM_TIMESTAMP);
    ASSERT_EQ(stamp.size(), 19u);
    EXPECT_EQ(time_of("a.txt"), stamp);
    EXPECT_EQ(row(1, "a.txt").time_text(), stamp);
    EXPECT_EQ(time_of("ro.txt"), "2001. 2. 3  4:05.06");
}

} // namespace
