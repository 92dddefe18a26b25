// The list files of the file operations, byte for byte, and the worker's decision rules.
#include "fileops/batch_list.h"
#include "fileops/file_rw_rules.h"
#include "platform/os.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

TEST(BatchList, BytesOfAWholeList)
{
    struct {
        std::vector<std::string> paths;
        std::string bytes;
    } cases[] = {
        {{}, "\0"s},
        {{"a.txt", "dir/"}, "a.txt\0dir\0\0"s}, // a directory goes without its separator
        {{"C:/x/y\\"}, "C:/x/y\0\0"s},
        // 'ソ' ends in 0x5C: a trail byte, not a separator to take away.
        {{"\x83\x5C"}, "\x83\x5C\0\0"s},
        {{"\x83\x5C\\"}, "\x83\x5C\0\0"s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(batch_list_bytes(c.paths), c.bytes);
}

TEST(BatchList, FileHoldsExactlyTheBytes)
{
    temp_dir dir;
    std::string path = list_file_path(dir.path() + "/", batch_list_name_1);
    EXPECT_EQ(path, dir.path() + "/kv_rsp1.tmp");
    batch_list_file list;
    ASSERT_TRUE(list.create(path));
    // Line ends are bytes like any other: no translation in either direction.
    ASSERT_TRUE(list.add("a\nb"));
    ASSERT_TRUE(list.add("C:/tmp/dir/"));
    ASSERT_TRUE(list.add("\x95\x5C.txt"));
    EXPECT_EQ(list.count(), 3u);
    ASSERT_TRUE(list.finish());
    EXPECT_EQ(os::read_file(path), "a\nb\0C:/tmp/dir\0\x95\x5C.txt\0\0"s);
    list.discard();
    EXPECT_FALSE(os::path_exists(path));
    // A list that cannot be made takes no names and never reports itself finished.
    batch_list_file none;
    EXPECT_FALSE(none.create(dir.file("missing/kv_rsp1.tmp")));
    EXPECT_FALSE(none.add("a"));
    EXPECT_FALSE(none.finish());
}

TEST(BatchList, ShellSourceText)
{
    struct {
        std::string list, text;
    } cases[] = {
        {"a\0b/c\0\0"s, "a\0b\\c\0\0"s},
        {"C:/x/\x83\x5C\0\0"s, "C:\\x\\\x83\x5C\0\0"s}, // the trail byte stays as it is
        {"a\0\0garbage\0\0"s, "a\0\0"s},                // nothing after the end
        {"a\0b"s, "a\0b\0\0"s},                         // a list cut short still ends
        {""s, "\0\0"s},
        {"\0"s, "\0\0"s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shell_source_text(c.list), c.text);
}

TEST(TransferList, Lines)
{
    struct {
        bool is_dir;
        const char *name, *time, *line;
    } cases[] = {
        {true, "src", "2010. 1. 5  9:05.07", "Type=dir src\r\n"},
        {false, "a.txt", "2010. 1. 5  9:05.07", "Type=file;Modify=20100105090507 a.txt\r\n"},
        {false, "my file.txt", "1999.10. 1 10:00.00", "Type=file;Modify=19991001100000 my file.txt\r\n"},
        {false, "short", "2010", "Type=file;Modify=20100000000000 short\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(transfer_list_line(c.is_dir, c.name, c.time), c.line) << c.name;
}

TEST(FileRwRules, ProtectedRows)
{
    for (const char* attr : {"s---", "-h--", "sh-a", "shra"})
        EXPECT_TRUE(is_protected_row(attr)) << attr;
    for (const char* attr : {"----", "--r-", "---a", "????", ""})
        EXPECT_FALSE(is_protected_row(attr)) << attr;
}

TEST(FileRwRules, SameName)
{
    EXPECT_TRUE(same_name("Readme.TXT", "README.txt"));
    EXPECT_FALSE(same_name("a", "b"));
    // Only ASCII letters fold: the trail byte 'a' (0x61) of a double-byte character does not.
    EXPECT_FALSE(same_name("\x83\x61", "\x83\x41"));
}

TEST(FileRwRules, AsksFirst)
{
    struct {
        FileOpMode mode;
        bool both_local, confirm_copy, confirm_move, asks;
    } cases[] = {
        {copy_mode, true, true, false, true},    {copy_mode, true, false, true, false},
        {move_mode, true, false, true, true},    {move_mode, true, true, false, false},
        {copy_mode, false, false, false, true},  {move_mode, false, false, false, true},
        {delete_mode, true, false, false, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(asks_first(c.mode, c.both_local, c.confirm_copy, c.confirm_move), c.asks)
            << c.mode.to_target << c.mode.remove_source << c.both_local << c.confirm_copy << c.confirm_move;
}
