// The INI engine: profile reads and writes, section scans, sorted insertion, atomic replacement.
#include "platform/os.h"
#include "settings/ini.h"
#include "settings/ini_profile.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

std::string set(std::string_view text, std::string_view section, std::optional<std::string_view> key,
                std::optional<std::string_view> value)
{
    ini_profile p = ini_parse(text);
    ini_profile_set(p, section, key, value);
    return ini_serialize(p);
}

} // namespace

// The reads and writes the profile service gives the same way are compared with it under Wine
// (ini_differential_test); these are the rows where the engine keeps to its own rule.
TEST(IniProfile, Reads)
{
    const std::string text = "[sec]\n"
                             "key=\"quoted value\"\n"
                             "eq=a=b\n"
                             "[cut]\nk=\x82\xA0\x82\xA0\n"; // ああ
    struct {
        const char *section, *key;
        std::size_t size;
        const char* expected;
    } cases[] = {
        {"sec", "key", 64, "quoted value"},
        {"sec", "key", 5, "quot"}, // quotes go before the cut
        {"sec", "key", 0, ""},
        {"sec", "eq", 64, "a=b"},
        // A value is cut between characters, never inside one.
        {"cut", "k", 5, "\x82\xA0\x82\xA0"},
        {"cut", "k", 3, "\x82\xA0"},
        {"cut", "k", 2, ""},
    };
    for (auto& c : cases)
        EXPECT_EQ(ini_profile_get(ini_parse(text), c.section, c.key, c.size, "DEF"), c.expected)
            << c.section << "/" << c.key << "/" << c.size;
}

TEST(IniProfile, Writes)
{
    // A key is deleted in any case; names asked for are written without their blanks.
    EXPECT_EQ(set("[s]\nk=1\nj=2\n", "s", "K", std::nullopt), "[s]\r\nj=2\r\n");
    EXPECT_EQ(set("[s]\n", " s ", " k ", "1"), "[s]\r\nk=1\r\n");
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
        const char *text, *name, *expected;
    } cases[] = {
        {"[a]\r\nk=1\r\n[b]\r\n[z]\r\nk=2\r\n", "m", "[a]\r\nk=1\r\n[b]\r\n[m]\r\n[z]\r\nk=2\r\n"},
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
    } cases[] = {
        {" -7x", -7}, {"+3", 3}, {"x1", 0}, {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1}};
    for (auto& c : cases)
        EXPECT_EQ(ini_atoi(c.text), c.expected) << c.text;
}

class IniFile : public ::testing::Test {
protected:
    temp_dir dir;
    std::string path = dir.file("a.ini");
};

// Plain strings, their defaults and section deletion are compared with the profile service under
// Wine; the typed values are the engine's own.
TEST_F(IniFile, TypedValuesAndTheirDefaults)
{
    EXPECT_EQ(ini_get_int(path, "s", "k", -12), -12);
    EXPECT_TRUE(ini_get_bool(path, "s", "k", true));
    EXPECT_EQ(ini_get_char(path, "s", "k", 'D'), 'D');
    EXPECT_FALSE(ini_find_section(path, "s") || ini_section_name(path, 0));
    ASSERT_TRUE(ini_put_int(path, "s", "n", -12));
    ASSERT_TRUE(ini_put_bool(path, "s", "b", false));
    ASSERT_TRUE(ini_put_char(path, "s", "c", 'Q'));
    ASSERT_TRUE(ini_put_char(path, "s", "z", '\0'));
    EXPECT_EQ(os::read_file(path).value_or(""), "[s]\r\nn=-12\r\nb=-\r\nc=Q\r\nz=\r\n");
    EXPECT_EQ(ini_get_int(path, "S", "N", 0), -12);
    EXPECT_FALSE(ini_get_bool(path, "s", "b", true));
    EXPECT_EQ(ini_get_char(path, "s", "c", 'x'), 'Q');
    EXPECT_EQ(ini_get_char(path, "s", "z", 'x'), '\0');
}

TEST_F(IniFile, Switches)
{
    struct {
        const char* value;
        bool expected;
    } cases[] = {{"On", true}, {"yes", false}, {"+x", true}, {"-", false}, {"onx", false}, {"", false}};
    for (auto& c : cases) {
        ASSERT_TRUE(ini_put_string(path, "switch", "x", c.value));
        EXPECT_EQ(ini_get_bool(path, "switch", "x", !c.expected), c.expected) << c.value;
    }
}

TEST_F(IniFile, SortedWrites)
{
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
}

TEST_F(IniFile, FailedWriteLeavesTheOldFile)
{
    ASSERT_TRUE(ini_put_string(path, "s", "k", "old"));
    // Files and directories named like a work file are the user's: kept, the write takes a free name.
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
