// The INI engine: profile reads and writes over text and files, section scans, sorted insertion,
// atomic replacement.
#include "platform/os.h"
#include "settings/ini.h"
#include "settings/ini_profile.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

std::string get(std::string_view text, std::string_view section, std::string_view key, std::size_t size = 64,
                std::string_view fallback = "DEF")
{
    return ini_profile_get(ini_parse(text), section, key, size, fallback);
}

std::string set(std::string_view text, std::string_view section, std::optional<std::string_view> key,
                std::optional<std::string_view> value)
{
    ini_profile p = ini_parse(text);
    ini_profile_set(p, section, key, value);
    return ini_serialize(p);
}

} // namespace

TEST(IniProfile, Reads)
{
    // ソ is 0x83 0x5C, ン 0x83 0x93, ア 0x83 0x41 and ッ 0x83 0x62: trail bytes '\\', '|',
    // 'A' and 'b' that a byte-wise scan would mistake for ASCII.
    const std::string text = "top=1\n"
                             "  [ Sec ]  \n"
                             "  Key  =  \"quoted value\"  \n"
                             "single='x'\n"
                             "lone=\"\n"
                             "both=\"\"\n"
                             "mixed='x\"\n"
                             "empty=\n"
                             "noequals\n"
                             "long=0123456789\n"
                             "eq=a=b\n"
                             "[sec]\n"
                             "key=second section\n"
                             "extra=only here\n"
                             "[\x83\x5C\x83\x7C]\n"
                             "k=\x83\x5C\x83\x7C\n"
                             "[\x83\x41]\n"
                             "k=a\n"
                             "[a]b]\n"
                             "k=ab\n"
                             "[x\rk=lone cr\r[y]\rk=y\r"
                             "[cut]\nk=\x82\xA0\x82\xA0\n"; // ああ
    struct {
        const char* section;
        const char* key;
        std::size_t size;
        const char* expected;
    } cases[] = {
        {"", "top", 64, "1"},
        {"sec", "key", 64, "quoted value"},      // case, blanks and one pair of quotes go
        {"  SEC ", " KEY ", 64, "quoted value"}, // the names asked for are trimmed too
        {"sec", "single", 64, "x"},
        {"sec", "lone", 64, "\""},
        {"sec", "both", 64, ""},
        {"sec", "mixed", 64, "'x\""},
        {"sec", "empty", 64, ""},
        {"sec", "noequals", 64, "DEF"},
        {"sec", "long", 5, "0123"},
        {"sec", "key", 5, "quot"}, // quotes go before the cut
        {"sec", "key", 1, ""},
        {"sec", "key", 0, ""},
        {"sec", "eq", 64, "a=b"},
        {"sec", "extra", 64, "DEF"}, // only the first section of a name counts
        {"\x83\x5C\x83\x7C", "k", 64, "\x83\x5C\x83\x7C"},
        {"\x83\x62", "k", 64, "DEF"}, // ッ is not ア in another case
        {"a]b", "k", 64, "ab"},       // the header runs to its last "]"
        {"a", "k", 64, "DEF"},
        {"y", "k", 64, "y"}, // a lone CR ends a line too
        {"x", "k", 64, "DEF"},
        {"missing", "k", 64, "DEF"},
        // A value is cut between characters, never inside one.
        {"cut", "k", 5, "\x82\xA0\x82\xA0"},
        {"cut", "k", 4, "\x82\xA0"},
        {"cut", "k", 3, "\x82\xA0"},
        {"cut", "k", 2, ""},
    };
    for (auto& c : cases)
        EXPECT_EQ(get(text, c.section, c.key, c.size), c.expected)
            << c.section << "/" << c.key << "/" << c.size;
}

TEST(IniProfile, Defaults)
{
    struct {
        const char* fallback;
        std::size_t size;
        const char* expected;
    } cases[] = {
        {"  d  ", 64, "  d"}, {"\"d\"", 64, "d"}, {"defg", 3, "de"}, {"", 64, ""}, {"   ", 64, " "},
    };
    for (auto& c : cases)
        EXPECT_EQ(get("", "s", "k", c.size, c.fallback), c.expected) << c.fallback;
}

TEST(IniProfile, Writes)
{
    struct {
        const char* text;
        const char* section;
        const char* key;   // null deletes the section
        const char* value; // null deletes the key
        const char* expected;
    } cases[] = {
        {"", "sec", "key", "val", "[sec]\r\nkey=val\r\n"},
        {"[sec]\nkey=val\n", "sec", "k2", "v2", "[sec]\r\nkey=val\r\nk2=v2\r\n"},
        {"[sec]\nkey=val\nk2=v2\n[b]\nx=1\n", "SEC", "KEY", "new",
         "[sec]\r\nkey=new\r\nk2=v2\r\n[b]\r\nx=1\r\n"},
        {"[sec]\nkey=val\n[b]\nx=1\n", "sec", "new", "n", "[sec]\r\nkey=val\r\nnew=n\r\n[b]\r\nx=1\r\n"},
        {"[a]\nk=1\n", "b", "k", "2", "[a]\r\nk=1\r\n[b]\r\nk=2\r\n"},
        {"[a]\nk=1\n[b]\nk=2\n", "A", nullptr, nullptr, "[b]\r\nk=2\r\n"},
        {"[s]\nk=1\n[t]\nj=2\n[s]\nk=3\n", "s", nullptr, nullptr, "[t]\r\nj=2\r\n[s]\r\nk=3\r\n"},
        {"[s]\nk=1\nj=2\n", "s", "K", nullptr, "[s]\r\nj=2\r\n"},
        {"[s]\nk=1\n[s]\nk3=3\n", "s", "k3", "x", "[s]\r\nk=1\r\nk3=x\r\n[s]\r\nk3=3\r\n"},
        {"[s]\nK=1\nk=2\n", "s", "k", "3", "[s]\r\nK=3\r\nk=2\r\n"},
        {"top=1\n[s]\nk=1\n", "", "top", "2", "top=2\r\n[s]\r\nk=1\r\n"},
        {"; comment\n\n  [ sec ]  \n  key  =  val  \n\n;c2\nother=1\n", "sec", "key", "v",
         "; comment\r\n[sec]\r\nkey=v\r\n;c2\r\nother=1\r\n"},
        {"[s]\nk=1", "s", "k2", "2", "[s]\r\nk=1\r\nk2=2\r\n"},
        {"[s]\nk=1\n\x1a", "s", "k", "2", "[s]\r\nk=2\r\n"},
        {"[s]\n", "s", "t", "\tv\t", "[s]\r\nt=v\t\r\n"},
        {"[s]\n", "s", "e", "", "[s]\r\ne=\r\n"},
        {"[s]\n", " s ", " k ", "1", "[s]\r\nk=1\r\n"},
        {"[\x83\x5C]\nk=1\n", "\x83\x5C", "k", "\x83\x7C", "[\x83\x5C]\r\nk=\x83\x7C\r\n"},
        {"[\x83\x41]\nk=1\n", "\x83\x61", "k", "2", "[\x83\x41]\r\nk=1\r\n[\x83\x61]\r\nk=2\r\n"},
    };
    for (auto& c : cases) {
        std::optional<std::string_view> key, value;
        if (c.key)
            key = c.key;
        if (c.value)
            value = c.value;
        EXPECT_EQ(set(c.text, c.section, key, value), c.expected) << c.text << " / " << c.section;
    }
}

TEST(IniProfile, UnchangedWritesReportNoChange)
{
    ini_profile p = ini_parse("[s]\nk=v\n");
    EXPECT_FALSE(ini_profile_set(p, "S", "K", "v"));
    EXPECT_FALSE(ini_profile_set(p, "s", "k", "  v"));
    EXPECT_FALSE(ini_profile_set(p, "t", std::nullopt, std::nullopt));
    EXPECT_FALSE(ini_profile_set(p, "s", "x", std::nullopt));
    EXPECT_TRUE(ini_profile_set(p, "s", "k", "V"));
}

TEST(IniText, SectionScansAreCaseSensitive)
{
    const std::string text = "[ABC]\nk=1\n[a]b]\n [x]\n[\x83\x5D]\n[open\n";
    EXPECT_FALSE(ini_text_has_section(text, "abc"));
    EXPECT_TRUE(ini_text_has_section(text, "ABC"));
    EXPECT_EQ(get(text, "abc", "k"), "1"); // the profile read ignores case
    EXPECT_TRUE(ini_text_has_section(text, "a]b"));
    EXPECT_FALSE(ini_text_has_section(text, "x"));       // a header begins the line
    EXPECT_TRUE(ini_text_has_section(text, "\x83\x5D")); // ン's trail byte is "]"
    const char* names[] = {"ABC", "a]b", "\x83\x5D", "open"};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(ini_text_section_name(text, i).value_or("-"), names[i]) << i;
    EXPECT_FALSE(ini_text_section_name(text, 4));
}

TEST(IniText, SortedInsertion)
{
    struct {
        const char* text;
        const char* name;
        const char* expected;
    } cases[] = {
        {"[a]\r\nk=1\r\n[b]\r\n[z]\r\nk=2\r\n", "m", "[a]\r\nk=1\r\n[b]\r\n[m]\r\n[z]\r\nk=2\r\n"},
        {"[a]\r\n[b]\r\n[z]\r\nk=2\r\n", "zz", "[a]\r\n[b]\r\n[z]\r\nk=2\r\n[zz]\r\n"},
        {"[a]\r\n[z]\r\nk=2", "zz", "[a]\r\n[z]\r\nk=2\r\n[zz]\r\n"},
        {"[b]\r\n", "a", "[a]\r\n[b]\r\n"},
        {"", "a", "[a]\r\n"},
        // "[ab" is cut at its first "]": "[a" is less than "[a]b"'s "[a", equal, so it goes after.
        {"[a]b]\r\n[c]\r\n", "a", "[a]b]\r\n[a]\r\n[c]\r\n"},
        // A double-byte character counts as one code: half-width ｱ (0xB1) sorts before ア.
        {"[\x83\x41]\r\n", "\xB1", "[\xB1]\r\n[\x83\x41]\r\n"},
        {"[\xB1]\r\n", "\x83\x41", "[\xB1]\r\n[\x83\x41]\r\n"},
    };
    for (auto& c : cases)
        EXPECT_EQ(ini_text_insert_section_sorted(c.text, c.name), c.expected) << c.name;
}

TEST(IniText, LongLinesStayWhole)
{
    // A value longer than a line buffer whose continuation starts with "[" is no header.
    std::string text = "[a]\r\nk=" + std::string(253, 'x') + "[zz]\r\n[z]\r\n";
    EXPECT_FALSE(ini_text_has_section(text, "zz"));
    EXPECT_EQ(ini_text_section_name(text, 1).value_or("-"), "z");
}

TEST(IniText, Atoi)
{
    struct {
        const char* text;
        int expected;
    } cases[] = {{"12", 12},
                 {" -7x", -7},
                 {"+3", 3},
                 {"x1", 0},
                 {"", 0},
                 {"99999999999", 2147483647},
                 {"-99999999999", -2147483647 - 1}};
    for (auto& c : cases)
        EXPECT_EQ(ini_atoi(c.text), c.expected) << c.text;
}

TEST(IniFile, MissingFileGivesDefaults)
{
    temp_dir dir;
    std::string path = dir.file("none.ini");
    EXPECT_EQ(ini_get_string(path, "s", "k", 256, "d"), "d");
    EXPECT_EQ(ini_get_int(path, "s", "k", -12), -12);
    EXPECT_TRUE(ini_get_bool(path, "s", "k", true));
    EXPECT_EQ(ini_get_char(path, "s", "k", 'D'), 'D');
    EXPECT_FALSE(ini_find_section(path, "s"));
    EXPECT_FALSE(ini_section_name(path, 0));
    EXPECT_TRUE(ini_delete_section(path, "s"));
    EXPECT_FALSE(os::path_exists(path));
}

TEST(IniFile, WriteAndReadBack)
{
    temp_dir dir;
    std::string path = dir.file("a.ini");
    ASSERT_TRUE(ini_put_string(path, "s", "k", "v"));
    ASSERT_TRUE(ini_put_int(path, "s", "n", -12));
    ASSERT_TRUE(ini_put_bool(path, "s", "b", false));
    ASSERT_TRUE(ini_put_char(path, "s", "c", 'Q'));
    ASSERT_TRUE(ini_put_char(path, "s", "z", '\0'));
    EXPECT_EQ(os::read_file(path).value_or(""), "[s]\r\nk=v\r\nn=-12\r\nb=-\r\nc=Q\r\nz=\r\n");
    EXPECT_EQ(ini_get_int(path, "S", "N", 0), -12);
    EXPECT_FALSE(ini_get_bool(path, "s", "b", true));
    EXPECT_EQ(ini_get_char(path, "s", "c", 'x'), 'Q');
    EXPECT_EQ(ini_get_char(path, "s", "z", 'x'), '\0');
    ASSERT_TRUE(ini_delete_section(path, "S"));
    EXPECT_EQ(os::read_file(path).value_or("-"), "");
}

TEST(IniFile, Switches)
{
    temp_dir dir;
    std::string path = dir.file("b.ini");
    struct {
        const char* value;
        bool expected;
    } cases[] = {{"on", true}, {"OFF", false}, {"yes", false}, {"+x", true}, {"-", false},
                 {"+", true},  {"On", true},   {"onx", false}, {"", false}};
    for (auto& c : cases) {
        ASSERT_TRUE(ini_put_string(path, "switch", "x", c.value));
        EXPECT_EQ(ini_get_bool(path, "switch", "x", !c.expected), c.expected) << c.value;
    }
}

TEST(IniFile, SortedWrites)
{
    temp_dir dir;
    std::string path = dir.file("p.ini");
    ASSERT_TRUE(ini_put_string(path, "m", "program", "1", true));
    ASSERT_TRUE(ini_put_string(path, "b", "program", "2", true));
    ASSERT_TRUE(ini_put_string(path, "z", "program", "3", true));
    ASSERT_TRUE(ini_put_string(path, "a", "program", "4", true));
    ASSERT_TRUE(ini_put_string(path, "m", "parameter", "5", true));
    EXPECT_EQ(
        os::read_file(path).value_or(""),
        "[a]\r\nprogram=4\r\n[b]\r\nprogram=2\r\n[m]\r\nprogram=1\r\nparameter=5\r\n[z]\r\nprogram=3\r\n");
    // Unsorted writes append in the order of first write.
    ASSERT_TRUE(ini_put_string(path, "c", "program", "6"));
    EXPECT_EQ(ini_section_name(path, 4).value_or("-"), "c");
    EXPECT_TRUE(ini_find_section(path, "m"));
    EXPECT_FALSE(ini_find_section(path, "M"));
}

TEST(IniFile, FailedWriteLeavesTheOldFile)
{
    temp_dir dir;
    std::string path = dir.file("c.ini");
    ASSERT_TRUE(ini_put_string(path, "s", "k", "old"));
    // Files and directories named like a work file are the user's: kept as they are, and the
    // write takes a free name.
    ASSERT_TRUE(os::make_directory(path + ".kv~"));
    ASSERT_TRUE(write_text_file(path + ".kv~1", "mine"));
    EXPECT_TRUE(ini_put_string(path, "s", "k", "new"));
    EXPECT_EQ(ini_get_string(path, "s", "k", 256, ""), "new");
    EXPECT_EQ(os::read_file(path + ".kv~1").value_or(""), "mine");
    EXPECT_TRUE(os::is_directory(path + ".kv~"));
    EXPECT_FALSE(os::path_exists(path + ".kv~2"));

    // The target itself is a directory: nothing is written, and the directory stays.
    std::string folder = dir.file("d.ini");
    ASSERT_TRUE(os::make_directory(folder));
    EXPECT_FALSE(ini_put_string(folder, "s", "k", "v"));
    EXPECT_TRUE(os::is_directory(folder));

    // A folder that does not exist.
    EXPECT_FALSE(ini_put_string(dir.file("no/e.ini"), "s", "k", "v"));
}

TEST(IniFile, UnchangedValueDoesNotRewrite)
{
    temp_dir dir;
    std::string path = dir.file("e.ini");
    ASSERT_TRUE(write_text_file(path, "; hand-made\n\n[s]\nk = v\n"));
    EXPECT_TRUE(ini_put_string(path, "s", "k", "v"));
    EXPECT_EQ(os::read_file(path).value_or(""), "; hand-made\n\n[s]\nk = v\n");
}
