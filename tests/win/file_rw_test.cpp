// The file operation worker under Wine: disk and panes after copies, moves and deletions, done or not.
#include "file_ops_support.h"
#include "fileops/file_primitives_win.h"
#include "platform/process_paths.h"

using namespace fops;

using FileRw = file_ops_test;

TEST_F(FileRw, CopySkipsADirectoryHoldingTheTargetAndCopiesTheRest)
{
    ASSERT_TRUE(make_tree(s(), {"a/", "a/inner/", "a/f=f", "b.txt=b", "c/", "c/g=g"}));
    auto [active, other] = open_panes(s("a/inner"));
    mark(active, {"a", "b.txt", "c"});
    EXPECT_EQ(run(copy_mode, active, &other), file_rw_done);
    EXPECT_EQ(names_in(s("a/inner")), (std::set<std::string>{"b.txt", "c"}));
    EXPECT_EQ(os::read_file(s("a/inner/c/g")), "g");
    EXPECT_EQ(row_names(other), (std::set<std::string>{"..", "b.txt", "c"}));
}

TEST_F(FileRw, FileReplacesAFileButADirectoryIsNeverMerged)
{
    ASSERT_TRUE(make_tree(s(), {"same.txt=new", "d/", "d/from_source=s", "x=file over a directory"}));
    ASSERT_TRUE(make_tree(t(), {"same.txt=old", "d/", "d/already=a", "x/"}));
    auto [active, other] = open_panes(t());
    std::size_t rows_before = other.rows.size();
    mark(active, {"same.txt", "d", "x"});
    EXPECT_EQ(run(copy_mode, active, &other), file_rw_done);
    EXPECT_EQ(os::read_file(t("same.txt")), "new");
    EXPECT_EQ(names_in(t("d")), std::set<std::string>{"already"});
    EXPECT_TRUE(dir_exists(t("x")));
    // The replaced file is still one row.
    EXPECT_EQ(other.rows.size(), rows_before);
}

TEST_F(FileRw, DeleteTakesReadOnlyFilesAndStopsAtAHiddenReadOnlyOne)
{
    ASSERT_TRUE(make_tree(s(), {"ro.txt", "1_dir/", "1_dir/plain", "2_dir/", "2_dir/plain", "2_dir/locked",
                                "3_after.txt=kept"}));
    ASSERT_TRUE(set_attributes_from_text(s("ro.txt"), "--r-"));
    ASSERT_TRUE(set_attributes_from_text(s("2_dir/locked"), "-hr-"));
    Pane active = open_pane(1, s());
    active.rows.set_cursor(row_of(active, "ro.txt"));
    EXPECT_EQ(run(delete_mode, active, nullptr), file_rw_done);
    EXPECT_FALSE(os::path_exists(s("ro.txt")));
    // Rows go in ascending order (directories first): 1_dir, then 2_dir stops the run.
    mark(active, {"3_after.txt", "2_dir", "1_dir"});
    EXPECT_EQ(run(delete_mode, active, nullptr), file_rw_entry_failed);
    EXPECT_FALSE(os::path_exists(s("1_dir")));
    EXPECT_TRUE(os::path_exists(s("2_dir/locked")));
    EXPECT_EQ(os::read_file(s("3_after.txt")), "kept");
    EXPECT_EQ(row_names(active), (std::set<std::string>{"..", "2_dir", "3_after.txt"}));
    // The rows not reached keep their marks.
    EXPECT_TRUE(active.rows.marked(static_cast<std::size_t>(row_of(active, "3_after.txt"))));
    set_attributes_from_text(s("2_dir/locked"), "----");
}

// With nothing marked the cursor row is acted on (the other tests' cursor rows), unless it is hidden.
TEST_F(FileRw, AHiddenCursorRowIsActedOnByNothing)
{
    hide_system_files() = false;
    ASSERT_TRUE(make_tree(s(), {"a.txt", "h.txt"}));
    ASSERT_TRUE(set_attributes_from_text(s("h.txt"), "-h--"));
    auto [active, other] = open_panes(t());
    active.rows.set_cursor(row_of(active, "h.txt"));
    EXPECT_EQ(run(delete_mode, active, &other), file_rw_done);
    EXPECT_EQ(run(copy_mode, active, &other), file_rw_done);
    EXPECT_EQ(names_in(s()), (std::set<std::string>{"a.txt", "h.txt"}));
    EXPECT_EQ(names_in(t()), std::set<std::string>{});
}

TEST_F(FileRw, DirectMoveUpdatesBothPanes)
{
    ASSERT_TRUE(
        make_tree(s(), {"m1.txt=m1.txt", "keep.txt=keep.txt", "m2.txt=m2.txt", "mdir/", "mdir/in=in"}));
    ASSERT_TRUE(make_tree(t(), {"a_first.txt", "z_last.txt"}));
    auto [active, other] = open_panes(t());
    recording_hooks hooks;
    other.hooks = &hooks;
    mark(active, {"m2.txt", "mdir", "m1.txt"});
    EXPECT_EQ(run(move_mode, active, &other), file_rw_done);
    EXPECT_EQ(names_in(s()), std::set<std::string>{"keep.txt"});
    EXPECT_EQ(os::read_file(t("mdir/in")), "in");
    EXPECT_EQ(row_names(active), (std::set<std::string>{"..", "keep.txt"}));
    // Sorted by type then name: "..", the directory, then the files by name.
    std::vector<std::string> order;
    for (std::size_t i = 0; i < other.rows.size(); ++i)
        order.push_back(join_entry_name(other.rows.row(i)));
    EXPECT_EQ(order,
              (std::vector<std::string>{"..", "mdir", "a_first.txt", "m1.txt", "m2.txt", "z_last.txt"}));
    // The cursor is on the last one moved (rows in ascending order: m2.txt came last).
    EXPECT_EQ(other.rows.cursor(), row_of(other, "m2.txt"));
    EXPECT_GT(hooks.rows, 0);
}

// A failed entry stops the run and what was done stays (a gone source fails as this held target does).
TEST_F(FileRw, AMoveOntoAHeldFileStopsThereWithBothFilesIntact)
{
    for (const char* n : {"1.txt", "2.txt", "3.txt"})
        ASSERT_TRUE(write_text_file(s(n), std::string("new ") + n));
    ASSERT_TRUE(write_text_file(t("2.txt"), "old"));
    auto [active, other] = open_panes(t());
    mark(active, {"1.txt", "2.txt", "3.txt"});
    {
        held_file hold(t("2.txt"));
        ASSERT_TRUE(hold.ok());
        EXPECT_EQ(run(move_mode, active, &other), file_rw_entry_failed);
    }
    EXPECT_FALSE(os::path_exists(s("1.txt")));
    EXPECT_EQ(os::read_file(t("1.txt")), "new 1.txt");
    EXPECT_EQ(os::read_file(s("2.txt")), "new 2.txt");
    EXPECT_EQ(os::read_file(t("2.txt")), "old");
    EXPECT_EQ(os::read_file(s("3.txt")), "new 3.txt");
    EXPECT_FALSE(os::path_exists(t("3.txt")));
    EXPECT_EQ(row_names(active), (std::set<std::string>{"..", "2.txt", "3.txt"}));
    EXPECT_EQ(row_names(other), (std::set<std::string>{"..", "1.txt", "2.txt"}));
}

TEST_F(FileRw, ALogAProgramKeepsOpenForWritingIsCopied)
{
    ASSERT_TRUE(write_text_file(s("app.log"), "line 1\n"));
    auto [active, other] = open_panes(t());
    active.rows.set_cursor(row_of(active, "app.log"));
    {
        // Held as a logging program holds it: writing, with readers and writers shared.
        held_file writer(s("app.log"), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_TRUE(writer.ok());
        EXPECT_EQ(run(copy_mode, active, &other), file_rw_done);
    }
    EXPECT_EQ(os::read_file(t("app.log")), "line 1\n");
    EXPECT_EQ(row_names(other), (std::set<std::string>{"..", "app.log"}));
}

TEST_F(FileRw, TwoPanesOnOneDirectory)
{
    ASSERT_TRUE(make_tree(s(), {"f.txt=f", "g.txt=g", "d/"}));
    auto [active, other] = open_panes(s());
    // A file moved onto itself would be copied over itself and then deleted: refused, kept.
    mark(active, {"f.txt", "d"});
    EXPECT_EQ(run(move_mode, active, &other), file_rw_entry_failed);
    EXPECT_EQ(os::read_file(s("f.txt")), "f");
    EXPECT_TRUE(dir_exists(s("d")));
    // A deletion takes the row from both panes.
    std::tie(active, other) = open_panes(s());
    mark(active, {"g.txt"});
    EXPECT_EQ(run(delete_mode, active, &other), file_rw_done);
    EXPECT_EQ(row_of(active, "g.txt"), -1);
    EXPECT_EQ(row_of(other, "g.txt"), -1);
    EXPECT_NE(row_of(other, "f.txt"), -1);
}

TEST_F(FileRw, JapaneseNamesWithTrailByte5C)
{
    // 'ソ' (0x83 0x5C) and '表' (0x95 0x5C): both end in a byte equal to '\'.
    std::string dir_name = "\x83\x5C\x95\x5C";
    std::string file_name = "\x95\x5C.txt";
    ASSERT_TRUE(make_tree(s(), {dir_name + "/", dir_name + "/" + file_name + "=jp", file_name + "=top"}));
    auto [active, other] = open_panes(t());
    mark(active, {dir_name.c_str(), file_name.c_str()});
    EXPECT_EQ(run(move_mode, active, &other), file_rw_done);
    EXPECT_EQ(os::read_file(t(dir_name + "/" + file_name)), "jp");
    EXPECT_EQ(os::read_file(t(file_name)), "top");
    EXPECT_EQ(names_in(s()), std::set<std::string>{});
    EXPECT_NE(row_of(other, dir_name), -1);
}

TEST_F(FileRw, TransferListOfTheMarkedRows)
{
    hide_system_files() = false;
    std::string saved_temp = dirs().temp_dir;
    dirs().temp_dir = dir.path() + "/";
    ASSERT_TRUE(make_tree(s(), {"a.txt", "h.txt", "d/"}));
    ASSERT_TRUE(set_file_time_from_text(s("a.txt"), "2010. 1. 5  9:05.07"));
    ASSERT_TRUE(set_attributes_from_text(s("h.txt"), "-h--"));
    Pane active = open_pane(1, s());
    mark(active, {"a.txt", "h.txt", "d"});
    std::string path;
    EXPECT_TRUE(write_marked_list(nullptr, active, path));
    EXPECT_EQ(path, dir.path() + "/kv_rsp1.tmp");
    // Rows in ascending order (the directory first); the hidden row left out; CR LF line ends.
    EXPECT_EQ(os::read_file(path), "Type=dir d\r\nType=file;Modify=20100105090507 a.txt\r\n");
    // Nothing to list: no file.
    Pane again = open_pane(1, s());
    again.rows.set_cursor(row_of(again, "h.txt"));
    EXPECT_FALSE(write_marked_list(nullptr, again, path));
    EXPECT_FALSE(os::path_exists(path));
    dirs().temp_dir = saved_temp;
}

TEST_F(FileRw, BatchMovesWithTheListFilesInTheCurrentDirectory)
{
    // "use trash" on and no temporary directory: the shell moves; the lists lie in S meanwhile.
    ASSERT_TRUE(make_tree(s(), {"a.txt=a", "b.txt=b", "c.txt=c"}));
    auto [active, other] = open_panes(t());
    active.rows.set_cursor(row_of(active, "a.txt"));
    bool batch = false;
    EXPECT_EQ(run(move_mode, active, &other, true, &batch, false), file_rw_done);
    EXPECT_TRUE(batch);
    EXPECT_EQ(names_in(s()), (std::set<std::string>{"b.txt", "c.txt"}));
    EXPECT_EQ(os::read_file(t("a.txt")), "a");
    EXPECT_NE(row_of(other, "a.txt"), -1);
    EXPECT_EQ(row_of(active, "a.txt"), -1);

    // Two entries in one shell move: Wine 8 refuses several sources (ERROR_CANCELLED, aborted);
    // then nothing may have moved or be reported done, and the panes stay as they were.
    std::tie(active, other) = open_panes(t());
    mark(active, {"b.txt", "c.txt"});
    int code = run(move_mode, active, &other, true, &batch, false);
    if (code == file_rw_done) {
        EXPECT_EQ(names_in(s()), std::set<std::string>{});
        EXPECT_NE(row_of(other, "c.txt"), -1);
    } else {
        EXPECT_EQ(code, file_rw_shell_failed);
        EXPECT_EQ(names_in(s()), (std::set<std::string>{"b.txt", "c.txt"}));
        EXPECT_EQ(names_in(t()), std::set<std::string>{"a.txt"});
        EXPECT_NE(row_of(active, "b.txt"), -1);
        EXPECT_EQ(row_of(other, "b.txt"), -1);
    }
    EXPECT_FALSE(os::path_exists(s("kv_rsp1.tmp")));
    EXPECT_FALSE(os::path_exists(s("kv_rsp2.tmp")));
}
