// The file operation worker on volumes the tests/win scripts prepare: read-only, full, removable,
// and a recycle bin of its own. Each case runs only from its script (DISABLED_ here).
#include "file_ops_support.h"
#include "fileops/file_primitives_win.h"

#include <algorithm>

using namespace fops;

namespace {

// An environment variable the script sets, with forward slashes.
std::string env_path(const char* name)
{
    std::string v = os::get_env(name).value_or("");
    std::replace(v.begin(), v.end(), '\\', '/');
    return v;
}

using ReadOnlyVolume = file_ops_test;
using FullVolume = file_ops_test;
using RemovableDrive = file_ops_test;
using RecycleBin = file_ops_test;

} // namespace

// The script has put "existing.txt" ("good") on the volume and then mounted it read-only.
TEST_F(ReadOnlyVolume, DISABLED_NothingArrivesAndNothingIsLost)
{
    std::string target = env_path("KV_RO_TARGET");
    ASSERT_FALSE(target.empty()) << "KV_RO_TARGET is not set";
    auto before = names_in(target);
    ASSERT_EQ(os::read_file(target + "/existing.txt"), "good");
    ASSERT_TRUE(make_tree(s(), {"a.txt=a", "existing.txt=new", "d/", "d/in=in"}));
    auto [active, other] = open_panes(target);
    std::size_t other_rows = other.rows.size();
    for (FileOpMode mode : {copy_mode, move_mode}) {
        mark(active, {"a.txt", "existing.txt", "d"});
        EXPECT_EQ(run(mode, active, &other), file_rw_entry_failed);
        EXPECT_EQ(names_in(target), before);
        EXPECT_EQ(os::read_file(target + "/existing.txt"), "good");
        EXPECT_EQ(names_in(s()), (std::set<std::string>{"a.txt", "d", "existing.txt"}));
        EXPECT_EQ(os::read_file(s("d/in")), "in");
        EXPECT_EQ(other.rows.size(), other_rows);
    }
    // A single file refused by the primitives, too.
    EXPECT_FALSE(copy_file(s("existing.txt"), target + "/existing.txt"));
    EXPECT_FALSE(move_file(s("a.txt"), target + "/a.txt"));
    EXPECT_EQ(os::read_file(s("a.txt")), "a");
}

// A volume of 1 MiB mapped to a drive letter (KV_FULL_DRIVE, "K:"), empty at the start.
TEST_F(FullVolume, DISABLED_FailedCopiesLeaveNoHalfFilesAndKeepGoodOnes)
{
    std::string drive = env_path("KV_FULL_DRIVE");
    ASSERT_FALSE(drive.empty()) << "KV_FULL_DRIVE is not set";
    std::string target = drive + "/";
    ASSERT_TRUE(write_text_file(target + "good.dat", std::string(300 * 1024, 'g')));
    const std::string big(2 * 1024 * 1024, 'b'), inner(2 * 1024 * 1024, 'i');
    ASSERT_TRUE(
        make_tree(s(), {"1_small.dat=small", "2_big.dat=" + big, "3_after.dat=after",
                        "good.dat=" + std::string(900 * 1024, 'n'), "4_dir/", "4_dir/inner.dat=" + inner}));
    auto [active, other] = open_panes(target);

    // The big file fills the volume: the small one before it stays, the one after is not tried.
    mark(active, {"1_small.dat", "2_big.dat", "3_after.dat"});
    EXPECT_EQ(run(copy_mode, active, &other), file_rw_entry_failed);
    EXPECT_EQ(names_in(target), (std::set<std::string>{"1_small.dat", "good.dat"}));
    EXPECT_EQ(os::read_file(target + "1_small.dat"), "small");
    EXPECT_EQ(row_names(other), (std::set<std::string>{"1_small.dat", "good.dat"}));

    // A replacement that does not fit: the good file stays whole.
    Pane a2 = open_pane(1, s());
    mark(a2, {"good.dat"});
    EXPECT_EQ(run(copy_mode, a2, &other), file_rw_entry_failed);
    EXPECT_EQ(os::read_file(target + "good.dat"), std::string(300 * 1024, 'g'));
    EXPECT_EQ(names_in(target), (std::set<std::string>{"1_small.dat", "good.dat"}));

    // A move across volumes that does not fit: the source stays whole.
    Pane a3 = open_pane(1, s());
    mark(a3, {"4_dir", "2_big.dat"});
    EXPECT_EQ(run(move_mode, a3, &other), file_rw_entry_failed);
    EXPECT_EQ(os::read_file(s("4_dir/inner.dat")), inner);
    EXPECT_EQ(os::read_file(s("2_big.dat")), big);
    EXPECT_NE(row_of(a3, "4_dir"), -1);
    // The part that arrived is shown in the target pane.
    EXPECT_EQ(row_of(other, "4_dir") != -1, dir_exists(target + "4_dir"));
    EXPECT_EQ(os::read_file(target + "good.dat"), std::string(300 * 1024, 'g'));
}

// KV_REMOVABLE_DRIVE ("R:") is a folder the registry calls a floppy drive.
TEST_F(RemovableDrive, DISABLED_CopyAndMoveGoThroughTheShellInOneBatch)
{
    std::string drive = env_path("KV_REMOVABLE_DRIVE");
    ASSERT_FALSE(drive.empty()) << "KV_REMOVABLE_DRIVE is not set";
    std::string target = drive + "/";
    ASSERT_TRUE(is_removable_drive(target));
    ASSERT_TRUE(make_tree(s(), {"a.txt=a", "b.txt=b", "d/", "d/in=in"}));
    auto [active, other] = open_panes(target);
    mark(active, {"a.txt", "d"});
    bool batch = false;
    EXPECT_EQ(run(copy_mode, active, &other, false, &batch), file_rw_done);
    EXPECT_TRUE(batch);
    EXPECT_EQ(os::read_file(target + "a.txt"), "a");
    EXPECT_EQ(os::read_file(target + "d/in"), "in");
    EXPECT_NE(row_of(other, "a.txt"), -1);
    EXPECT_NE(row_of(other, "d"), -1);
    EXPECT_FALSE(os::path_exists(dir.file("kv_rsp1.tmp")));
    EXPECT_FALSE(os::path_exists(dir.file("kv_rsp2.tmp")));

    // Back from the removable drive: the moved rows leave the (re-read) source pane.
    Pane from = open_pane(1, target);
    Pane to = open_pane(2, dir.path() + "/");
    mark(from, {"a.txt"});
    EXPECT_EQ(run(move_mode, from, &to, false, &batch), file_rw_done);
    EXPECT_TRUE(batch);
    EXPECT_FALSE(os::path_exists(target + "a.txt"));
    EXPECT_EQ(os::read_file(dir.file("a.txt")), "a");
    EXPECT_EQ(row_of(from, "a.txt"), -1);
    EXPECT_NE(row_of(to, "a.txt"), -1);
}

// HOME is the script's folder (KV_TRASH_HOME, Unix path): Wine's recycle bin is its XDG trash.
TEST_F(RecycleBin, DISABLED_DeleteAndReplacedTargetsGoToTheTrash)
{
    std::string home = env_path("KV_TRASH_HOME");
    ASSERT_FALSE(home.empty()) << "KV_TRASH_HOME is not set";
    std::string trash = "Z:" + home + "/.local/share/Trash/files";
    ASSERT_TRUE(make_tree(s(), {"one.txt=1", "two.txt=2", "sub/", "sub/in=in", "stay.txt=stay"}));
    ASSERT_TRUE(write_text_file(t("one.txt"), "old one"));
    auto [active, other] = open_panes(t());

    // Copy with the trash in use: the replaced target goes to the trash first.
    mark(active, {"one.txt"});
    bool batch = false;
    EXPECT_EQ(run(copy_mode, active, &other, true, &batch), file_rw_done);
    EXPECT_TRUE(batch);
    EXPECT_EQ(os::read_file(t("one.txt")), "1");
    EXPECT_EQ(os::read_file(trash + "/one.txt"), "old one");

    // Delete with the trash in use: everything marked, in one operation, by full paths.
    Pane a2 = open_pane(1, s());
    mark(a2, {"two.txt", "sub"});
    EXPECT_EQ(run(delete_mode, a2, nullptr, true, &batch), file_rw_done);
    EXPECT_TRUE(batch);
    EXPECT_FALSE(os::path_exists(s("two.txt")));
    EXPECT_FALSE(os::path_exists(s("sub")));
    EXPECT_EQ(os::read_file(trash + "/two.txt"), "2");
    EXPECT_EQ(os::read_file(trash + "/sub/in"), "in");
    EXPECT_EQ(row_names(a2), (std::set<std::string>{"..", "one.txt", "stay.txt"}));
    EXPECT_FALSE(os::path_exists(dir.file("kv_rsp1.tmp")));
    EXPECT_FALSE(os::path_exists(dir.file("kv_rsp2.tmp")));

    // With the trash off, deletion is direct: nothing more arrives there.
    auto in_trash = names_in(trash);
    Pane a3 = open_pane(1, s());
    mark(a3, {"stay.txt"});
    EXPECT_EQ(run(delete_mode, a3, nullptr, false, &batch), file_rw_done);
    EXPECT_FALSE(batch);
    EXPECT_FALSE(os::path_exists(s("stay.txt")));
    EXPECT_EQ(names_in(trash), in_trash);
}
