// Name rules: reserved names, forbidden characters, double-byte trail bytes.
#include "base/name_rules.h"

#include <gtest/gtest.h>

// 'ソ' (0x83 0x5C) and 'ポ' (0x83 0x7C) end in no '\' or '|'; a backslash after a whole character is one.
TEST(NameRules, LocalNames)
{
    for (const char* bad : {"CON", "Aux", "LPT9", "com3", "Clock$", "config$", ".", "..", "nul", "a*b", "a/b",
                            "a:b", "a<b", "a>b", "a?b", "a\\b", "a|b", "a\"b", "\x83\x5C\\"})
        EXPECT_FALSE(local_name_rule(bad)) << bad;
    for (const char* good :
         {"com5", "lpt0", "con1", "nul.txt", "COM", "...", "a.b", "my file", "", "\x83\x5C.txt", "\x83\x7C"})
        EXPECT_TRUE(local_name_rule(good)) << good;
}

// An FTP pane carries whole code page 932 characters, never a lone lead byte or a control byte.
TEST(NameRules, FtpNames)
{
    for (const char* good : {"\x83\x5C.txt", "\xB1\xB2", "a\x93\xFA\x96\x7B b"})
        EXPECT_TRUE(ftp_name_rule(good)) << good;
    for (const char* bad : {"a\x93", "\x93\x0A", "\x93\x7F", "a\\b", "a\tb", "\x80", "\xFD", "con"})
        EXPECT_FALSE(ftp_name_rule(bad)) << bad;
}

TEST(NameRules, AsciiNames)
{
    EXPECT_TRUE(ascii_name_rule("my file.txt"));
    EXPECT_TRUE(ascii_name_rule("a!#$%&'()+,-.;=@[]^_`{}~Z9"));
    for (const char* bad : {"a\"b", "a\tb", "a*b", "a/b", "a:b", "a<b", "a>b", "a?b", "a\\b", "a|b", "con",
                            "LPT1", "..", "a\x7F", "\x83\x5C", "\xB1"}) // single-byte ASCII only
        EXPECT_FALSE(ascii_name_rule(bad)) << bad;
}

TEST(NameRules, ExtensionsAndTitles)
{
    EXPECT_TRUE(no_dot_name_rule("txt"));
    EXPECT_FALSE(no_dot_name_rule(".txt"));
    EXPECT_FALSE(no_dot_name_rule("t*"));
    for (const char* bad : {" server", "server ", "s[1]", "a]"})
        EXPECT_FALSE(title_rule(bad)) << bad;
    EXPECT_TRUE(title_rule("my server"));
    // '[' as the trail byte of a double-byte character does not count (0x81 0x5B).
    EXPECT_TRUE(title_rule("\x81\x5B"));
}

// Names fetched from a server: a device name opens the device whatever its extension, and Windows
// drops a final '.' or blank, so such names would write somewhere else.
TEST(NameRules, LocalFileNames)
{
    for (const char* bad : {"nul.txt", "COM1.log", "aux", "Con.tar.gz", "lpt9.", "nul .txt", "conout$", "a.",
                            "a ", "...", "", "a\tb", "a:b", "prn.x"})
        EXPECT_FALSE(local_file_name_rule(bad)) << bad;
    for (const char* good :
         {"com0.txt", "lpt10", "console.log", "nulx.txt", "a.b", ".profile", "my file", "\x83\x5C.txt"})
        EXPECT_TRUE(local_file_name_rule(good)) << good;
}
