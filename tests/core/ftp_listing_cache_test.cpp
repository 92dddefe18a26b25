// The FTP listing cache: MLSD and cache lines, writing entries, a cache directory's rewrites.
#include "ftp/ftp_operations.h"
#include "ftp/listing_cache.h"
#include "platform/os.h"
#include "support/temp_dir.h"
#include "support/tree_names.h"

#include <gtest/gtest.h>

#include <set>

TEST(CacheParseLine, LinesAsTheProgramWritesThemAndMlsdOutput)
{
    const struct {
        const char* line;
        bool is_entry, is_directory;
        const char* name;
        const char* size; // nullptr: no Size fact
        const char* time; // nullptr: no Modify fact
    } cases[] = {
        {"Type=dir;Modify=20100303140500 docs\n", true, true, "docs", nullptr, "20100303140500"},
        {"Type=file;Size=1234;Modify=20100303140500 my file.txt\r\n", true, false, "my file.txt", "1234",
         "20100303140500"},
        // Facts in any order and case, with facts the cache does not know.
        {"modify=20101231200000;perm=adfrw;size=42;type=file;unique=801U1; notes.txt\r\n", true, false,
         "notes.txt", "42", "20101231200000"},
        {"Type=file;Size=7;Modify=20100101000000.123; frac.bin\r\n", true, false, "frac.bin", "7",
         "20100101000000.123"},
        {"Type=file;Size=7;Modify=2010; short\r\n", true, false, "short", "7", nullptr},
        // A pdir that is not ".." and a cdir with a path are not entries.
        {"Type=pdir; /home\r\n", false, false, "", nullptr, nullptr},
        {"Type=cdir; /home/user\r\n", false, false, "", nullptr, nullptr},
        // Missing facts: no Size, no Modify, no Type at all.
        {"Type=file; nosize\r\n", true, false, "nosize", nullptr, nullptr},
        {"Size=5; notype\r\n", false, false, "", nullptr, nullptr},
        {"Type=dir;Size=4096; sub\r\n", true, true, "sub", nullptr, nullptr},
        // Facts come from before the first blank only: these names are plain files.
        {"Type=file;Size=3 Type=dir\r\n", true, false, "Type=dir", "3", nullptr},
        {"Type=file;Size=3 a;Type=dir;\r\n", true, false, "a;Type=dir;", "3", nullptr},
        // "." and ".." never carry a time and are not files.
        {"Type=dir;Modify=20100101000000 .\r\n", true, true, ".", nullptr, nullptr},
        {"Type=file;Size=1 ..\r\n", false, false, "", nullptr, nullptr},
        // No name, and names outside the FTP name rule.
        {"\r\n", false, false, "", nullptr, nullptr},
        {"Type=file;Size=1\r\n", false, false, "", nullptr, nullptr},
        {"Type=file;Size=1 \r\n", false, false, "", nullptr, nullptr},
        {"Type=file;Size=1 \x93\xFA\x96\x7B.txt\r\n", true, false, "\x93\xFA\x96\x7B.txt", "1", nullptr},
        {"Type=file;Size=1 \x93\xFA\x96.txt\r\n", false, false, "", nullptr, nullptr}, // a lead byte alone
        {"Type=file;Size=1 a/b\r\n", false, false, "", nullptr, nullptr},
        {"Type=file;Size=1 a\\b\r\n", false, false, "", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        cache_entry e = cache_parse_line(c.line);
        EXPECT_EQ(e.is_entry, c.is_entry);
        if (!c.is_entry || !e.is_entry)
            continue;
        EXPECT_EQ(e.is_directory, c.is_directory);
        EXPECT_EQ(e.name, c.name);
        EXPECT_EQ(e.has_size, c.size != nullptr);
        EXPECT_EQ(e.size_text, c.size ? c.size : e.size_text);
        EXPECT_EQ(e.has_time, c.time != nullptr);
        EXPECT_EQ(e.time_text, c.time ? c.time : e.time_text);
        if (c.time) { // the time is converted in place, through its offset into the line
            EXPECT_EQ(std::string(c.line).substr(e.time_offset, 14), std::string(c.time, 14));
        }
    }
}

TEST(CacheLines, OverlongLinesAreSkippedWhole)
{
    // Longer than a 255-byte line buffer, with a tail that would parse as an entry of its own.
    std::string overlong = "Type=file;Size=1 " + std::string(250, 'x') + "Type=dir evil\r\n";
    std::string data = "Type=dir a\r\n" + overlong + "Type=file;Size=2 b\n" + "Type=dir c";
    EXPECT_EQ(cache_split_lines(data),
              (std::vector<std::string_view>{"Type=dir a", "Type=file;Size=2 b", "Type=dir c"}));
    EXPECT_FALSE(cache_parse_line(overlong).is_entry);

    // The longest line that fits (253 bytes of text and CR LF) is still read.
    std::string fitting = "Type=dir " + std::string(cache_text_limit - 9, 'y');
    ASSERT_EQ(fitting.size(), cache_text_limit);
    EXPECT_TRUE(cache_parse_line(fitting + "\r\n").is_entry);
    EXPECT_FALSE(cache_parse_line(fitting + "y\r\n").is_entry);
    EXPECT_EQ(cache_split_lines(fitting + "\r\n" + fitting + "y\r\n").size(), 1u);
}

// A listing is cut into lines as it arrives, in pieces of any size: the lines are those of the
// whole text, a CR or LF at a piece's edge included, and every overlong line is counted once.
TEST(CacheLines, ListingLinesWhateverThePieces)
{
    const std::size_t limit = 20;
    const std::string fits(limit, 'f');
    const std::string data = "a\r\n\n" + fits + "\r\n" + fits + "g\r\n" + fits + "gg\nb\r\r\n" +
                             std::string(90, 'o') + "\r\nlast" + std::string(limit, 'l');
    std::vector<std::string_view> whole = cache_split_lines(data, limit);
    ASSERT_EQ(whole.size(), 4u); // "a", "", the fitting line and "b\r"
    for (std::size_t piece : {1u, 2u, 3u, 21u, 22u, 23u, 64u, 1000u}) {
        SCOPED_TRACE(piece);
        listing_lines lines(limit);
        std::vector<std::string> got;
        auto keep = [&](std::string_view line) { got.emplace_back(line); };
        for (std::size_t at = 0; at < data.size(); at += piece)
            lines.feed(std::string_view(data).substr(at, piece), keep);
        lines.finish(keep);
        EXPECT_EQ(got, std::vector<std::string>(whole.begin(), whole.end()));
        EXPECT_EQ(lines.overlong(), 4u);
    }
}

TEST(CacheFormat, WriteThenParseRoundTrip)
{
    struct {
        const char *time, *name;
        std::int64_t size;
        const char* line;
    } cases[] = {
        {"", "docs", -1, "Type=dir docs\r\n"},
        {"20100303140500", "docs", -1, "Type=dir;Modify=20100303140500 docs\r\n"},
        {"20100303140500", "..", -1, "Type=pdir ..\r\n"},
        {"", "a.txt", 0, "Type=file;Size=0 a.txt\r\n"},
        {"20100303140500xyz", "a b", 2147483647, "Type=file;Size=2147483647;Modify=20100303140500 a b\r\n"},
        {"", "big", 2147483648LL, "Type=file;Size=2147483648 big\r\n"},
        {"", "huge", 9223372036854775807LL, "Type=file;Size=9223372036854775807 huge\r\n"},
        {"", "unknown", cache_size_unknown, "Type=file unknown\r\n"},
        // A time that is not 14 digits is left out rather than written into the facts.
        {"2010;Type=dir", "t", 5, "Type=file;Size=5 t\r\n"},
        {"2010 0303", "t", 5, "Type=file;Size=5 t\r\n"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string line = cache_format_entry(c.time, c.name, c.size);
        EXPECT_EQ(line, c.line);
        cache_entry e = cache_parse_line(line);
        ASSERT_TRUE(e.is_entry);
        EXPECT_EQ(e.name, c.name);
        EXPECT_EQ(e.is_directory, c.size == -1);
        if (c.size >= 0) {
            EXPECT_EQ(cache_size_value(e.size_text), c.size);
        }
    }
}

TEST(CacheFormat, RefusesNamesThatWouldBreakTheLine)
{
    const char* names[] = {"", "a\r\nType=dir b", "a\nb", "x/y", "..\\x", ".", "\x93\xFA\x96", "nul"};
    for (const char* n : names)
        EXPECT_EQ(cache_format_entry("", n, 1), "") << n;
    EXPECT_EQ(cache_format_entry("", "..", 5), ""); // ".." is only ever the parent directory
    // The longest name fits with the longest size and a time, in exactly 255 bytes.
    EXPECT_EQ(cache_format_entry("20100101000000", std::string(cache_name_limit, 'n'), INT64_MAX).size(),
              cache_line_limit);
    EXPECT_EQ(cache_format_entry("20100101000000", std::string(cache_name_limit + 1, 'n'), INT64_MAX), "");
    EXPECT_EQ(cache_format_entry("", std::string(cache_text_limit, 'n'), 1), "");
}

TEST(CacheSizeValue, Numbers)
{
    // The values that fit are read back in CacheFormat.WriteThenParseRoundTrip.
    EXPECT_EQ(cache_size_value("9223372036854775808"), -1);
    EXPECT_EQ(cache_size_value(""), -1);
    EXPECT_EQ(cache_size_value("-5"), -1);
    EXPECT_EQ(cache_size_value("12a"), -1);
}

TEST(CacheTimeToText, Layout)
{
    EXPECT_EQ(cache_time_to_text("20100503123456"), "2010.05.03 12:34.56");
    EXPECT_EQ(cache_time_to_text("20100503123456.789"), "2010.05.03 12:34.56");
    EXPECT_EQ(cache_time_to_text("2010050312345"), "");
    EXPECT_EQ(cache_time_to_text("2010-05-03 12:34"), "");
}

class CacheFiles : public ::testing::Test {
protected:
    std::string sub(const std::string& name) const { return dir_.file(name); }

    temp_dir dir_;
    std::string cache_ = dir_.file("dir.lst");
};

TEST_F(CacheFiles, WriteEntriesMakesSubdirectories)
{
    EXPECT_TRUE(cache_write_entry("", "docs", cache_, -1, true));
    EXPECT_TRUE(cache_write_entry("20100303140500", "a.txt", cache_, 12, true));
    EXPECT_TRUE(cache_write_entry("", "..", cache_, -1, false));
    EXPECT_TRUE(cache_write_entry("", "nosub", cache_, -1, false));
    EXPECT_EQ(os::read_file(cache_),
              "Type=dir docs\r\nType=file;Size=12;Modify=20100303140500 a.txt\r\nType=pdir "
              "..\r\nType=dir nosub\r\n");
    EXPECT_TRUE(os::is_directory(sub("docs")));
    EXPECT_FALSE(os::path_exists(sub("a.txt")));
    EXPECT_FALSE(os::path_exists(sub("nosub")));
    // A name that would be "." on Windows gets its line but never a cache directory.
    EXPECT_TRUE(cache_write_entry("", "...", cache_, -1, true));
    EXPECT_FALSE(cache_write_entry("", "../x", cache_, -1, true));
    EXPECT_FALSE(cache_write_entry("", "a", dir_.file("missing/dir.lst"), 1, false));
}

TEST_F(CacheFiles, ServerTitleEndingInTheByteOfABackslash)
{
    // 'ソ' (0x83 0x5C) ends the title: no separator, the subdirectories and work file lie inside it.
    std::string title = sub("\x83\x5C");
    ASSERT_TRUE(os::make_directory(title));
    std::string cache = title + "/dir.lst";
    EXPECT_TRUE(cache_write_entry("", "d", cache, -1, true));
    EXPECT_TRUE(cache_write_entry("", "f", cache, 1, true));
    EXPECT_TRUE(os::is_directory(title + "/d"));
    EXPECT_TRUE(cache_rename_entry("d", cache, "e"));
    EXPECT_TRUE(os::is_directory(title + "/e"));
    EXPECT_TRUE(cache_remove_entry(cache, "e", true));
    EXPECT_FALSE(os::path_exists(title + "/e"));
    EXPECT_EQ(os::read_file(cache), "Type=file;Size=1 f\r\n");
}

TEST_F(CacheFiles, RemoveEntryRewritesThroughTheWorkFile)
{
    ASSERT_TRUE(write_text_file(cache_, "Type=cdir; .\r\n"
                                        "Type=file;Size=1 a\r\n"
                                        "Type=dir sub\r\n"
                                        "Type=file;Size=2 a\r\n"
                                        "Type=file;Size=3 last"));
    ASSERT_TRUE(os::make_directory(sub("sub")));
    ASSERT_TRUE(write_text_file(sub("sub/dir.lst"), "Type=file;Size=9 deep\r\n"));
    ASSERT_TRUE(os::make_directory(sub("sub/inner")));
    // The cache directories of remote directories named like work files.
    ASSERT_TRUE(os::make_directory(sub("dir.$$$")));
    ASSERT_TRUE(os::make_directory(sub("dir.lst.kv~")));

    // Only the first entry of the name goes; the last line gets its line end.
    EXPECT_TRUE(cache_remove_entry(cache_, "a", false));
    EXPECT_EQ(os::read_file(cache_),
              "Type=cdir; .\r\nType=dir sub\r\nType=file;Size=2 a\r\nType=file;Size=3 last\r\n");
    EXPECT_EQ(tree_names(dir_.path()), (std::set<std::string>{"dir.lst", "sub/", "sub/dir.lst", "sub/inner/",
                                                              "dir.$$$/", "dir.lst.kv~/"}));

    EXPECT_TRUE(cache_remove_entry(cache_, "sub", true));
    EXPECT_EQ(os::read_file(cache_), "Type=cdir; .\r\nType=file;Size=2 a\r\nType=file;Size=3 last\r\n");
    EXPECT_FALSE(os::path_exists(sub("sub")));

    // A name that is not there leaves the entries as they were.
    EXPECT_TRUE(cache_remove_entry(cache_, "nothing", true));
    EXPECT_EQ(os::read_file(cache_), "Type=cdir; .\r\nType=file;Size=2 a\r\nType=file;Size=3 last\r\n");
    EXPECT_FALSE(cache_remove_entry(dir_.file("none.lst"), "a", false));
}

TEST_F(CacheFiles, RemoveKeepsOverlongAndForeignLinesAsTheyWere)
{
    std::string overlong = "Type=file;Size=1 " + std::string(260, 'q') + "\r\n";
    ASSERT_TRUE(
        write_text_file(cache_, "Type=file;Size=1 x\n" + overlong + "garbage\r\nType=file;Size=1 y\r\n"));
    EXPECT_TRUE(cache_remove_entry(cache_, "y", false));
    EXPECT_EQ(os::read_file(cache_), "Type=file;Size=1 x\n" + overlong + "garbage\r\n");
}

TEST_F(CacheFiles, RenameEntryKeepsTimeAndSize)
{
    ASSERT_TRUE(write_text_file(cache_, "Type=file;Size=4294967296;Modify=20100303140500 old.bin\r\n"
                                        "Type=file nosize\r\n"
                                        "Type=dir;Modify=20100101010101 olddir\r\n"));
    ASSERT_TRUE(os::make_directory(sub("olddir")));
    ASSERT_TRUE(write_text_file(sub("olddir/dir.lst"), "Type=file;Size=1 f\r\n"));
    // A stale cache directory of the new name gives way to the renamed one.
    ASSERT_TRUE(os::make_directory(sub("newdir")));
    ASSERT_TRUE(write_text_file(sub("newdir/dir.lst"), "Type=file;Size=1 stale\r\n"));

    EXPECT_TRUE(cache_rename_entry("old.bin", cache_, "new name.bin"));
    EXPECT_TRUE(cache_rename_entry("nosize", cache_, "stillfile"));
    EXPECT_TRUE(cache_rename_entry("olddir", cache_, "olddir")); // RNFR and RNTO of one name
    EXPECT_TRUE(cache_rename_entry("olddir", cache_, "newdir"));
    EXPECT_EQ(os::read_file(cache_), "Type=file;Size=4294967296;Modify=20100303140500 new name.bin\r\n"
                                     "Type=file stillfile\r\n"
                                     "Type=dir;Modify=20100101010101 newdir\r\n");
    EXPECT_FALSE(os::path_exists(sub("olddir")));
    EXPECT_EQ(os::read_file(sub("newdir/dir.lst")), "Type=file;Size=1 f\r\n");

    EXPECT_FALSE(cache_rename_entry("missing", cache_, "x"));
    // A new name that cannot stand in the cache changes nothing.
    auto before = os::read_file(cache_);
    EXPECT_FALSE(cache_rename_entry("newdir", cache_, "../escape"));
    EXPECT_FALSE(cache_rename_entry("newdir", cache_, "a\r\nType=dir b"));
    EXPECT_EQ(os::read_file(cache_), before);
    EXPECT_TRUE(os::is_directory(sub("newdir")));
}

TEST_F(CacheFiles, ParentEntryAndReadingForAPane)
{
    ASSERT_TRUE(write_text_file(cache_, "Type=cdir; .\r\nType=dir .\r\nType=file;Size=1 f\r\n"));
    EXPECT_TRUE(cache_add_parent_entry(cache_, false));
    std::vector<cache_entry> at_root = cache_read_entries(cache_, true);
    ASSERT_EQ(at_root.size(), 1u);
    EXPECT_EQ(at_root[0].name, "f");

    EXPECT_TRUE(cache_add_parent_entry(cache_, true));
    std::vector<cache_entry> below = cache_read_entries(cache_, false);
    ASSERT_EQ(below.size(), 2u);
    EXPECT_EQ(below[1].name, "..");
    EXPECT_TRUE(below[1].is_directory);
    EXPECT_EQ(cache_read_entries(cache_, true).size(), 1u);
    EXPECT_TRUE(cache_read_entries(dir_.file("none.lst"), false).empty());
}

TEST(CacheMlsd, OnlyTheFactsTheCacheUsesAreStored)
{
    const std::string long_facts =
        "modify=20100301050000;perm=adfrw;size=7;type=file;unique=FD00U12;UNIX.group=1000;"
        "UNIX.groupname=staff;UNIX.mode=0644;UNIX.owner=1000;UNIX.ownername=kelvasto; ";
    const struct {
        std::string line;
        std::string stored; // server +00:00, local +09:00
    } cases[] = {
        {"Type=dir;Modify=20101231200000; sub", "Type=dir;Modify=20110101050000 sub\r\n"},
        {long_facts + std::string(120, 'n'),
         "Type=file;Size=7;Modify=20100301140000 " + std::string(120, 'n') + "\r\n"},
        {"type=pdir;modify=20100101000000; ..", "Type=pdir ..\r\n"},
        {"Type=file;Size=big;Modify=garbage; g", "Type=file g\r\n"},
        {"Type=cdir;Modify=20100101000000; .", ""},
        {"Type=dir;Modify=20100101000000 .", ""},
        {"Type=OS.unix=slink:/etc; link", ""},
        {"Type=file;Size=1; " + std::string(240, 'n'), ""}, // too long for a cache line
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(mlsd_cache_line(cache_parse_line(c.line, listing_line_limit), 0, 900), c.stored);
    }
}

TEST(CachePaths, FilePathsStayInsideTheServerCache)
{
    struct {
        const char *title, *directory;
        const char* path; // "" when refused
    } cases[] = {
        {"srv", "/", "P/ftp_dir/srv/dir.lst"},
        {"srv", "/pub/", "P/ftp_dir/srv/pub/dir.lst"},
        {"srv", "/pub/a b/", "P/ftp_dir/srv/pub/a b/dir.lst"},
        // Japanese title and directory (start directories are typed freely); 'ソ' ends in 0x5C.
        {"\x83\x54\x81\x5B\x83\x6F", "/home/\x83\x5C\x83\x74\x83\x67/",
         "P/ftp_dir/\x83\x54\x81\x5B\x83\x6F/home/\x83\x5C\x83\x74\x83\x67/dir.lst"},
        {"srv", "/pub", "P/ftp_dir/srv/pub/dir.lst"},
        // Remote names that are the cache's own file names.
        {"srv", "/dir.lst/", "P/ftp_dir/srv/dir.lst.dir.lst/dir.lst"},
        {"srv", "/support.ini/DIR.LST.kv~/",
         "P/ftp_dir/srv/support.ini.support.ini/dir.lst.DIR.LST.kv~/dir.lst"},
        {"srv", "/dir.lstx/dir.$$$/", "P/ftp_dir/srv/dir.lstx/dir.$$$/dir.lst"},
        {"srv", "/a/../../b/", ""},
        {"srv", "/.../", ""},
        {"srv", "/a /", ""},
        {"srv", "/a\\..\\..\\b/", ""},
        {"srv", "/c:/", ""},
        {"srv", "/a//b/", ""},
        {"srv", "/a\nb/", ""},
        {"srv", "relative/", ""},
        {"srv", "", ""},
        {"..", "/", ""},
        {"a/b", "/", ""},
        {"", "/", ""},
        {"...", "/", ""},
    };
    for (auto& c : cases) {
        EXPECT_EQ(cache_file_path("P/", c.title, c.directory), c.path) << c.title << " " << c.directory;
    }
    // A path that would not fit a path buffer is refused, not cut.
    std::string deep = "/";
    for (int i = 0; i < 30; ++i)
        deep += "component/";
    EXPECT_EQ(cache_file_path("C:/kelvasto/", "srv", deep), "");
}

TEST(CachePaths, MakeDirectoriesCreatesEachLevel)
{
    temp_dir dir;
    std::string program = dir.path() + "/";
    EXPECT_TRUE(cache_make_directories(program, "srv", "/pub/sub/"));
    EXPECT_TRUE(os::is_directory(program + "ftp_dir/srv/pub/sub"));
    EXPECT_TRUE(cache_make_directories(program, "srv", "/pub/sub/"));
    EXPECT_FALSE(cache_make_directories(program, "srv", "/../x/"));
    EXPECT_FALSE(os::path_exists(program + "ftp_dir/x"));
}

// What keeps a remote name out of a local directory: the local disk's rule for every entry, and
// for a directory also the names its cache directory cannot have.
TEST(ListingCache, FetchNameProblems)
{
    struct row {
        const char* name;
        bool is_directory;
        int reason; // -1: fetched
    } rows[] = {
        {"a.txt", false, -1}, {"nul.txt", false, 0},  {"a.", true, 0},          {"dir.lst", true, 2},
        {"DIR.LST", true, 2}, {"dir.lst", false, -1}, {"support.ini", true, 2}, {"docs", true, -1},
    };
    for (const row& r : rows) {
        ftp_skip_reason reason{};
        bool refused = fetch_name_problem(r.name, r.is_directory, reason);
        EXPECT_EQ(refused ? static_cast<int>(reason) : -1, r.reason) << r.name;
    }
}
