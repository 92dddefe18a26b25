// Process-wide path operations: separators, bounded copies, parents, swap and temporary names.
#include "base/cp932.h"
#include "base/paths.h"
#include "platform/os.h"
#include "platform/process_paths.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

TEST(Paths, ParentPath)
{
    struct {
        const char *in, *out;
    } cases[] = {
        {"C:/a/b/", "C:/a/"},
        {"C:/a/b", "C:/a/"},
        {"C:/", "C:"},
        {"C:/a/", "C:/"},
        {"name", "name"},
        {"//server/share/dir/", "//server/share/"},
        // A trail byte 0x5C ('ソ' is 0x83 0x5C) is not a separator.
        {"C:/\x83\x5C/x", "C:/\x83\x5C/"},
        {"C:/a/\x83\x5C", "C:/a/"},
    };
    for (auto& c : cases) {
        std::string p = c.in;
        parent_path(p);
        EXPECT_EQ(p, c.out) << c.in;
    }
}

TEST(Paths, SlashesKeepTrailBytes)
{
    std::string p = "C:\\\x83\x5C\\x\\";
    to_slashes(p);
    EXPECT_EQ(p, "C:/\x83\x5C/x/");
    char buf[] = "C:\\\x83\x5C\\y";
    to_slashes(buf);
    EXPECT_STREQ(buf, "C:/\x83\x5C/y");
    to_backslashes(p);
    EXPECT_EQ(p, "C:\\\x83\x5C\\x\\");
}

TEST(Paths, BoundedCopies)
{
    char buf[6];
    copy_bounded(buf, sizeof buf, "abcde");
    EXPECT_STREQ(buf, "abcde");
    copy_bounded(buf, sizeof buf, "abcdefgh");
    EXPECT_STREQ(buf, "abcde");
    copy_bounded(buf, sizeof buf, "ab");
    append_bounded(buf, sizeof buf, "cdefg");
    EXPECT_STREQ(buf, "abcde");
    append_bounded(buf, sizeof buf, "x");
    EXPECT_STREQ(buf, "abcde");
    EXPECT_EQ(bounded("abcdefgh", 6), "abcde");
    std::string s = "ab";
    append_bounded(s, 6, "cdefg");
    EXPECT_EQ(s, "abcde");
}

TEST(Paths, SwapName)
{
    EXPECT_EQ(make_swap_name("C:/a/list.txt"), "C:/a/list.$$$");
    EXPECT_EQ(make_swap_name("C:/a/x.tar.gz"), "C:/a/x.$$$");
    EXPECT_EQ(make_swap_name("C:/a/README"), "C:/a/README.$$$");
    EXPECT_EQ(make_swap_name("C:/a.b/README"), "C:/a.b/README.$$$");
}

TEST(Paths, DirectoryOfModule)
{
    EXPECT_EQ(directory_of("C:\\Program Files\\K\\k.exe"), "C:/Program Files/K/");
    EXPECT_EQ(directory_of("k.exe"), "");
}

TEST(Paths, TimeZoneText)
{
    EXPECT_EQ(tz_text(-540), "TZ=JST-9:0");
    EXPECT_EQ(tz_text(-330), "TZ=JST-5:30");
    EXPECT_EQ(tz_text(0), "TZ=JST+0:0");
}

TEST(Cp932, UpperCaseSkipsDoubleByte)
{
    // 0x82 0x61 is a full-width letter whose trail byte is 'a': it must stay as it is.
    std::string s = "c:/tmp/\x82\x61x";
    mbs_upper(s);
    EXPECT_EQ(s, "C:/TMP/\x82\x61X");
    EXPECT_TRUE(is_trail_byte_at("\x83\x5C", 1));
    EXPECT_FALSE(mbs_contains_any("\x83\x5C", "\\"));
    EXPECT_TRUE(mbs_contains_any("a\\", "\\"));
}

class TempFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* v : {"TMP_RAM", "TMP", "TEMP"})
            saved_[v] = os::get_env(v);
        os::set_env("TMP_RAM", nullptr);
        os::set_env("TEMP", nullptr);
        os::set_env("TMP", dir_.path().c_str());
    }
    void TearDown() override
    {
        for (auto& [k, v] : saved_)
            os::set_env(k.c_str(), v ? v->c_str() : nullptr);
    }
    // Upper-case relative names: the environment-directory rule upper-cases; native names are case-sensitive.
    temp_dir dir_{true};
    std::map<std::string, std::optional<std::string>> saved_;
};

TEST_F(TempFiles, NumbersTheRunAndSkipsTakenNames)
{
    std::string upper = read_env_dir("TMP", true);
    std::string a, b;
    ASSERT_TRUE(make_temp_file(a, "LIB_$$$$.TMP"));
    EXPECT_EQ(a, upper + "LIB_0000.TMP");
    ASSERT_TRUE(make_temp_file(b, "LIB_$$$$.TMP"));
    EXPECT_EQ(b, upper + "LIB_0001.TMP");
    EXPECT_TRUE(os::path_exists(b));
    std::string none;
    EXPECT_FALSE(make_temp_file(none, "NOTEMPLATE.TMP"));
}

TEST_F(TempFiles, OneDollarRunsOutAfterTen)
{
    std::string p;
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(make_temp_file(p, "X$.TMP")) << i;
    EXPECT_FALSE(make_temp_file(p, "X$.TMP"));
}

TEST_F(TempFiles, TmpRamWinsOverTmp)
{
    temp_dir ram{true};
    os::set_env("TMP_RAM", ram.path().c_str());
    std::string p;
    ASSERT_TRUE(make_temp_file(p, "LIB_$$$$.TMP"));
    EXPECT_EQ(p, read_env_dir("TMP_RAM", true) + "LIB_0000.TMP");
}
