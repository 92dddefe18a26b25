// Pane path rules: roots, a path's box entry, network folders, newer times, a target inside its source.
#include "fileops/file_rw_rules.h"
#include "pane/pane.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(pane_paths, the_root_of_each_path_form)
{
    const struct {
        const char* path;
        std::size_t length;
        const char* root; // nullptr: not a local path
        bool at_root;
    } cases[] = {
        {"C:/", 3, "C:/", true},
        {"C:/a/b/", 3, "C:/", false},
        {"//srv/share/", 12, "//srv/share/", true},
        {"//srv/share/dir/", 12, "//srv/share/", false},
        {"ftp://host/", 11, nullptr, false},
        // A trail byte 0x5C in a server or share name is no separator.
        {"//\x83\x5C\x83\x5C/\x95\x5C/x/", 10, "//\x83\x5C\x83\x5C/\x95\x5C/", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(root_length(c.path), c.length);
        EXPECT_EQ(is_local_path(c.path), c.root != nullptr);
        if (c.root) {
            EXPECT_EQ(volume_root(c.path), c.root);
            EXPECT_EQ(is_at_root(c.path), c.at_root);
        }
    }
}

TEST(pane_paths, the_box_entry_a_path_belongs_to)
{
    const std::vector<std::string> entries{"C:/work/",        "D:/",         "//srv/a/x/", "//srv/b/",
                                           "ftp://host/pub/", "ftp://other/"};
    struct entry_case {
        const char* path;
        int entry;
    };
    const entry_case cases[] = {
        {"c:/data/", 0},        {"E:/", -1},          {"//srv/a/y/", 2}, {"//srv/c/", -1}, {"//srv/ab/", -1},
        {"ftp://host/etc/", 4}, {"ftp://third/", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(entry_for_path(entries, c.path), c.entry) << c.path;
}

TEST(pane_paths, network_folders_from_the_front_while_they_begin_with_a_slash)
{
    EXPECT_EQ(netdrive_folders("//srv/a/://srv/b/"), (std::vector<std::string>{"//srv/a/", "//srv/b/"}));
    EXPECT_TRUE(netdrive_folders("C:/x/://srv/b/").empty());
    EXPECT_EQ(netdrive_folders("//srv/a/:C:/x/://srv/b/"), (std::vector<std::string>{"//srv/a/"}));
    EXPECT_TRUE(netdrive_folders("").empty());
}

TEST(pane_paths, a_file_is_newer_by_the_minute_or_by_two_seconds)
{
    struct time_case {
        const char *mine, *theirs;
        bool newer;
    };
    const time_case cases[] = {
        {"2010. 1. 5 10:00.03", "2010. 1. 5 10:00.01", true},
        {"2010. 1. 5 10:00.02", "2010. 1. 5 10:00.01", false},
        {"2010. 1. 5 10:00.00", "2010. 1. 5  9:59.59", true},
        {"2010. 1. 5  9:59.59", "2010. 1. 5 10:00.00", false},
        {"????. ?. ?  ?:??.??", "2010. 1. 5 10:00.00", true}, // byte order: '?' is above the digits
    };
    for (const auto& c : cases)
        EXPECT_EQ(is_newer_time(c.mine, c.theirs), c.newer) << c.mine << " / " << c.theirs;
}

// The menus offer copy and move by the same rule the copy refuses by.
TEST(pane_paths, a_target_inside_the_directory_being_copied)
{
    struct row {
        const char *source, *name, *target;
        bool inside;
    };
    const row rows[] = {
        {"C:/a/", "b", "C:/a/b/", true},
        {"C:/a/", "b", "C:/a/b/c/", true},
        {"C:/a/", "b", "C:/a/b\\c/", true},
        {"C:/a/", "b", "c:/A/B/c/", true}, // typed in another case: the same directory
        {"C:/a/", "b", "C:/a/bc/", false},
        {"C:/a/", "b", "C:/a/", false},
        {"C:/a/", "b", "D:/a/b/", false},
        {"C:/a/", "\x83\x5C", "C:/a/\x83\x5C/d/", true}, // ソ ends in the byte of '\\'
        {"C:/a/", "x\x83", "C:/a/x\x83\x5C/", false},    // that byte is no separator there
        {"C:/a/", "\x83\x61", "C:/a/\x83\x41/", false},  // trail bytes keep their case
    };
    for (const row& r : rows) {
        EXPECT_EQ(target_inside(r.source, r.name, r.target), r.inside) << r.target;
        EXPECT_EQ(lies_inside(r.target, r.source, r.name), r.inside) << r.target;
    }
}

TEST(pane_paths, ftp_paths_of_a_server)
{
    EXPECT_EQ(ftp_pane_path("host", "/pub/"), "ftp://host/pub/");
    EXPECT_EQ(ftp_pane_path(std::string(300, 'h'), "/").size(), 255u);
    EXPECT_EQ(ftp_directory_of("ftp://host/pub/x/"), "/pub/x/");
    EXPECT_EQ(ftp_directory_of("ftp://host"), "/");
    EXPECT_TRUE(same_ftp_server("ftp://host/a/", "ftp://host/b/"));
    EXPECT_FALSE(same_ftp_server("ftp://host/a/", "ftp://hostx/a/"));
    const struct {
        const char *path, *result;
        bool changed;
    } cases[] = {
        {"ftp://Host/pub/", "ftp://new/pub/", true},
        {"ftp://hostx/pub/", "ftp://hostx/pub/", false},
        {"C:/host/", "C:/host/", false},
    };
    for (const auto& c : cases) {
        std::string path = c.path;
        EXPECT_EQ(replace_ftp_server(path, "host", "new"), c.changed) << c.path;
        EXPECT_EQ(path, c.result);
    }
}
