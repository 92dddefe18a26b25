// Local listings under Wine: roots, hidden entries, a deleted directory, attributes, times, Japanese names.
#include "base/paths.h"
#include "file_ops_support.h"
#include "pane/dir_scan_win.h"

using fops::make_tree;
using fops::recording_hooks;
using fops::row_names;

namespace {

class ListingWin : public ::testing::Test {
protected:
    temp_dir dir;
    std::string root = dir.path() + "/";
    Pane pane;
    recording_hooks hooks;
    bool saved_hide = hide_system_files(); // the process-wide switch, given back at the end
    void SetUp() override
    {
        ASSERT_FALSE(dir.path().empty());
        pane.hooks = &hooks;
        pane.path = root;
    }
    void TearDown() override
    {
        // Attributes set by a test would keep the tree from being removed.
        for (const char* name : {"hidden", "system.txt", "ro.txt", "attr.txt"})
            SetFileAttributesA((root + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        os::set_current_directory(os::full_path("C:/"));
        hide_system_files() = saved_hide;
    }
};

} // namespace

TEST_F(ListingWin, DotDotOnlyBelowARoot)
{
    pane.path = "C:/";
    ASSERT_TRUE(read_listing(pane, false));
    EXPECT_EQ(pane.rows.find(true, ".."), -1);
    EXPECT_GT(pane.rows.size(), 0u);
}

// Wine has no network client of its own: a UNC path \\host\share is looked up as the folder
// dosdevices/unc/host/share of the prefix, which stands in for a share here.
TEST_F(ListingWin, NetworkRootHasNoDotDot)
{
    char prefix[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix))
        GTEST_SKIP() << "not under Wine with a known prefix";
    std::string unc = std::string("Z:") + prefix + "/dosdevices/unc";
    std::string host = unc + "/kvhost", share = host + "/kvshare";
    CreateDirectoryA(unc.c_str(), nullptr);
    CreateDirectoryA(host.c_str(), nullptr);
    CreateDirectoryA(share.c_str(), nullptr);
    write_text_file(share + "/f.txt", "");

    pane.path = "//kvhost/kvshare/";
    bool readable = dir_scan("//kvhost/kvshare/").found();
    if (readable) {
        ASSERT_TRUE(read_listing(pane, false));
        EXPECT_EQ(pane.path, "//kvhost/kvshare/");
        EXPECT_EQ(row_names(pane), std::set<std::string>{"f.txt"});
        // Wine answers the cluster size of a share with zero sectors: the total must still come out.
        int row = pane.rows.find(false, "f.txt");
        ASSERT_GE(row, 0);
        pane.rows.set_marked(static_cast<std::size_t>(row), true);
        update_pane_info(pane);
        EXPECT_EQ(pane.info_text.substr(0, 10), "         1");
        EXPECT_NE(pane.info_text.find(" 0 "), std::string::npos) << pane.info_text;
    }
    DeleteFileA((share + "/f.txt").c_str());
    RemoveDirectoryA(share.c_str());
    RemoveDirectoryA(host.c_str());
    if (!readable)
        GTEST_SKIP() << "this Wine does not reach " << share << " as \\\\kvhost\\kvshare";
}

TEST_F(ListingWin, HiddenAndSystemEntries)
{
    ASSERT_TRUE(make_tree(root, {"hidden/", "system.txt", "plain.txt"}));
    // Wine keeps these two in the user.DOSATTRIB attribute of the file.
    ASSERT_TRUE(SetFileAttributesA((root + "hidden").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA((root + "system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM));
    hide_system_files() = true;
    ASSERT_TRUE(read_listing(pane, false));
    EXPECT_EQ(row_names(pane), (std::set<std::string>{"..", "plain.txt"}));
    {
        // The way up stays in a hidden directory, though its ".." carries the hidden attribute under Wine.
        ASSERT_TRUE(os::make_directory(root + "hidden/in"));
        Pane inner;
        inner.path = root + "hidden/in/";
        ASSERT_TRUE(read_listing(inner, false));
        EXPECT_EQ(row_names(inner), (std::set<std::string>{".."}));
        const FileEntry& up = inner.rows.row(0); // the way up has no time or attributes
        EXPECT_EQ(up.size_text() + up.time_text() + up.attr_text(), "<dir>");
        EXPECT_EQ(inner.rows.cursor(), 0);
        EXPECT_TRUE(RemoveDirectoryA((root + "hidden/in").c_str()));
    }
    {
        hide_system_files() = false;
        ASSERT_TRUE(read_listing(pane, false));
        EXPECT_EQ(row_names(pane), (std::set<std::string>{"..", "hidden", "system.txt", "plain.txt"}));
        int h = pane.rows.find(true, "hidden");
        ASSERT_GE(h, 0);
        EXPECT_EQ(pane.rows.row(static_cast<std::size_t>(h)).attr_text(), "-h--");
        int s = pane.rows.find(false, "system.txt");
        ASSERT_GE(s, 0);
        EXPECT_EQ(pane.rows.row(static_cast<std::size_t>(s)).attr_text().substr(0, 3), "s--");
    }
}

TEST_F(ListingWin, DeletedDirectoryClimbsToItsParent)
{
    ASSERT_TRUE(make_tree(root, {"a/", "a/b/", "a/x.txt"}));
    pane.path = root + "a/b/";
    ASSERT_TRUE(read_listing(pane, false));
    EXPECT_EQ(hooks.replaced, 0);
    // (A directory that is the current directory cannot be removed, here as on Windows.)
    ASSERT_TRUE(RemoveDirectoryA((root + "a/b").c_str()));
    ASSERT_TRUE(read_listing(pane, true));
    EXPECT_EQ(pane.path, root + "a/");
    EXPECT_EQ(hooks.replaced, 1);
    EXPECT_EQ(row_names(pane), (std::set<std::string>{"..", "x.txt"}));
    // The directory read is the process's current directory.
    std::string current = os::current_directory();
    to_slashes(current);
    EXPECT_EQ(current + "/", root + "a/");

    ASSERT_TRUE(DeleteFileA((root + "a/x.txt").c_str()));
    os::set_current_directory(os::full_path("C:/"));
    ASSERT_TRUE(RemoveDirectoryA((root + "a").c_str()));
    pane.path = root + "a/b/";
    ASSERT_TRUE(read_listing(pane, false));
    EXPECT_EQ(pane.path, root);
}

TEST_F(ListingWin, AttributeAndTimeRoundTrips)
{
    std::string path = root + "attr.txt";
    ASSERT_TRUE(write_text_file(path, std::string(10, 'x')));
    ASSERT_TRUE(os::make_directory(root + "hidden"));
    for (const char* text : {"-h--", "--r-", "s--a", "shra", "----"}) {
        ASSERT_TRUE(set_attributes_from_text(path, text)) << text;
        ASSERT_TRUE(set_attributes_from_text(root + "hidden", text)) << text;
        // Wine reports every plain file as archived whatever was set, and keeps only the system
        // and hidden attributes of a directory; Windows keeps all four.
        std::string back;
        EXPECT_TRUE(attribute_text(path, back));
        EXPECT_EQ(back.substr(0, 3), std::string(text).substr(0, 3));
        EXPECT_TRUE(attribute_text(root + "hidden", back));
        EXPECT_EQ(back.substr(0, 2), std::string(text).substr(0, 2));
    }
    for (const char* text : {"2010. 1. 5  9:05.07", "2010.12.31 23:59.58", "1999. 7.20 12:00.00"}) {
        ASSERT_TRUE(set_file_time_from_text(path, text)) << text;
        std::string back;
        EXPECT_TRUE(file_time_text(path, back));
        EXPECT_EQ(back, text);
    }
    std::string unknown;
    EXPECT_FALSE(set_file_time_from_text(path, "2010.13.40 25:61.61"));
    EXPECT_FALSE(set_file_time_from_text(root + "missing.txt", "2010. 1. 5  9:05.07"));
    EXPECT_FALSE(attribute_text(root + "missing.txt", unknown));
    EXPECT_EQ(unknown, "????");
    EXPECT_FALSE(file_time_text(root + "missing.txt", unknown));

    // A row built for one entry reads the same texts back.
    ASSERT_TRUE(set_attributes_from_text(path, "--r-"));
    add_local_entry(pane, false, "attr.txt");
    ASSERT_EQ(pane.rows.size(), 1u);
    EXPECT_EQ(pane.rows.row(0).size_text(), "10");
    EXPECT_EQ(pane.rows.row(0).attr_text().substr(0, 3), "--r");
    EXPECT_EQ(pane.rows.row(0).time_text(), "1999. 7.20 12:00.00");
    add_local_entry(pane, true, "..");
    EXPECT_EQ(pane.rows.row(1).time_text(), "");
    add_local_entry(pane, false, "gone.txt");
    EXPECT_EQ(pane.rows.row(2).time_text(), unknown_local_time);
    EXPECT_EQ(pane.rows.row(2).attr_text(), "????");
}

TEST_F(ListingWin, JapaneseNames)
{
    const std::string hyou = "\x95\x5C.txt";                 // '表.txt': trail byte 0x5C
    const std::string source = "\x83\x5C\x81\x5B\x83\x58.c"; // 'ソース.c'
    const std::string japanese = "\x93\xFA\x96\x7B\x8C\xEA"; // '日本語'
    ASSERT_TRUE(write_text_file(root + hyou, std::string(3000, 'x')));
    ASSERT_TRUE(make_tree(root, {source, japanese + "/", japanese + "/\x8E\x71.txt"})); // '子.txt'

    ASSERT_TRUE(read_listing(pane, false));
    EXPECT_EQ(row_names(pane), (std::set<std::string>{"..", hyou, source, japanese}));
    int row = pane.rows.find(false, hyou);
    ASSERT_GE(row, 0);
    EXPECT_EQ(pane.rows.row(static_cast<std::size_t>(row)).name, "\x95\x5C");
    EXPECT_EQ(pane.rows.row(static_cast<std::size_t>(row)).size_text(), "3,000");

    // A name ending in the trail byte 0x5C ('ソ') is one entry, not a directory to list.
    const std::string so = "\x83\x5C";
    ASSERT_TRUE(write_text_file(root + so, std::string(7, 'x')));
    {
        dir_scan one(root + so);
        ASSERT_TRUE(one.found());
        EXPECT_EQ(std::string(one.name()), so);
        EXPECT_EQ(one.size(), 7u);
        EXPECT_FALSE(one.next());
    }
    pane.path = root + japanese + "/";
    ASSERT_TRUE(read_listing(pane, false));
    EXPECT_GE(pane.rows.find(false, "\x8E\x71.txt"), 0);
}

TEST_F(ListingWin, InformationLine)
{
    ASSERT_TRUE(make_tree(root, {"one", "two=" + std::string(4097, 'x'), "zero=", "d/"}));
    ASSERT_TRUE(read_listing(pane, false));
    EXPECT_EQ(hooks.read, 1);
    EXPECT_GE(hooks.info, 1);
    std::string vroot = volume_root(pane.path);
    volume_names names = volume_information(vroot);
    // Unmarked: every row counts, ".." too, and the volume's free space.
    std::string unmarked = pane.info_text;
    EXPECT_EQ(unmarked.substr(0, 10), "         5");
    EXPECT_NE(unmarked.find("\x91\xB6\x8D\xDD"), std::string::npos); // "存在"
    EXPECT_EQ(unmarked.substr(unmarked.size() - names.file_system.size() - 2), "(" + names.file_system + ")");
    EXPECT_EQ(pane.status_text, names.label);

    for (std::size_t i = 0; i < pane.rows.size(); ++i)
        pane.rows.set_marked(i, pane.rows.row(i).name != "..");
    update_pane_info(pane);
    std::uint64_t unit = static_cast<std::uint64_t>(allocation_unit(vroot));
    std::uint64_t expected = (1 + unit - 1) / unit * unit + (4097 + unit - 1) / unit * unit;
    EXPECT_EQ(pane.info_text.substr(0, 10), "         4");
    EXPECT_NE(pane.info_text.find("\x91\x49\x91\xF0"), std::string::npos); // "選択"
    EXPECT_NE(pane.info_text.find(" " + group_digits(expected) + " "), std::string::npos) << pane.info_text;
    EXPECT_EQ(free_bytes("Q:/nowhere/"), 0u);
    EXPECT_EQ(allocation_unit("Q:/nowhere/"), 1);
    EXPECT_EQ(volume_information("Q:/nowhere/").file_system, "???");
}

// An FTP pane's information line: no volume to ask, sizes counted in bytes.
TEST_F(ListingWin, AnFtpPanesInformationLine)
{
    pane.path = "ftp://server/pub/";
    add_ftp_entry(pane, false, "a.txt", 5, "20100105090507");
    pane.rows.set_marked(0, true);
    update_pane_info(pane);
    EXPECT_EQ(pane.status_text, "");
    EXPECT_EQ(pane.info_text.substr(pane.info_text.size() - 3), "(?)");
    EXPECT_NE(pane.info_text.find(" 5 "), std::string::npos) << pane.info_text; // unit 1 on FTP
}
