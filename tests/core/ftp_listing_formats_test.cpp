// NLST -aFL and long-listing lines as servers send them, and the zone correction of times.
#include "ftp/listing_cache.h"
#include "ftp/listing_formats.h"
#include "ftp/listing_time.h"
#include "platform/os.h"

#include <gtest/gtest.h>

#include <optional>

TEST(NlstParseLine, TypeSuffixes)
{
    struct {
        const char* line;
        nlst_kind kind;
        const char* name;
    } cases[] = {
        {"docs/", nlst_kind::directory, "docs"},
        {"run.sh*", nlst_kind::file, "run.sh"},
        {"link@", nlst_kind::none, ""},
        {"plain.txt", nlst_kind::file, "plain.txt"},
        {"plain.txt\r\n", nlst_kind::file, "plain.txt"},
        {"with blank/", nlst_kind::directory, "with blank"},
        {"../", nlst_kind::none, ""},
        {"/", nlst_kind::none, ""},
        {"", nlst_kind::none, ""},
        // Paths and names outside the FTP name rule never reach the cache.
        {"sub/file", nlst_kind::none, ""},
        {"../../etc/", nlst_kind::none, ""},
        {"a\\b", nlst_kind::none, ""},
        {"\x93\xFA\x96/", nlst_kind::none, ""},
        {"tab\there", nlst_kind::none, ""},
        {"aux/", nlst_kind::none, ""},
    };
    for (auto& c : cases) {
        nlst_entry e = nlst_parse_line(c.line);
        EXPECT_EQ(e.kind, c.kind) << c.line;
        if (c.kind != nlst_kind::none) {
            EXPECT_EQ(e.name, c.name) << c.line;
        }
    }
    // Over-long lines are skipped, not cut; a name too long for a cache line is still an entry to report.
    EXPECT_EQ(nlst_parse_line(std::string(listing_line_limit + 1, 'a')).kind, nlst_kind::none);
    EXPECT_EQ(nlst_parse_line(std::string(cache_name_limit + 1, 'a')).kind, nlst_kind::file);
}

TEST(LongListingParseLine, CommonFormats)
{
    struct {
        const char* line;
        bool is_entry, is_directory;
        const char* name;
        std::int64_t size;
        const char* time;
    } cases[] = {
        // vsftpd: numeric or named owners, two blanks before a one-digit day.
        {"-rw-r--r--    1 1000     1000         1234 Mar 03 14:05 a.txt", true, false, "a.txt", 1234,
         "20100303140500"},
        {"drwxr-xr-x    2 ftp      ftp          4096 Jan  5 09:30 pub", true, true, "pub", -1,
         "20110105093000"},
        // An entry older than six months shows its year: that year at 00:00.
        {"-rw-r--r--    1 ftp      ftp            10 Dec 24  2008 old.txt", true, false, "old.txt", 10,
         "20081224000000"},
        // Sizes of 2 GiB and more.
        {"-rw-r--r--    1 ftp      ftp    4294967296 Feb  1 00:00 big.iso", true, false, "big.iso",
         4294967296LL, "20110201000000"},
        // Names with blanks keep them; a name that looks like a date does not shift the fields.
        {"-rw-r--r--    1 ftp      ftp             3 Feb  1 12:00 my file.txt", true, false, "my file.txt", 3,
         "20110201120000"},
        {"-rw-r--r--    1 ftp      ftp             7 Feb  1 12:00 5 Jan 5 2010 x", true, false,
         "5 Jan 5 2010 x", 7, "20110201120000"},
        {"-rw-r--r--    1 ftp      ftp             7 Feb  1 12:00  lead", true, false, " lead", 7,
         "20110201120000"},
        // No group column (some servers), upper-case month, one-digit hour.
        {"-rw-r--r-- 1 owner 99 FEB 1 9:05 nogroup", true, false, "nogroup", 99, "20110201090500"},
        // ISO dates are not this format; links, devices, totals and "." entries are not entries.
        {"-rw-r--r--    1 ftp ftp 7 2011-02-01 12:00 iso", false, false, "", 0, ""},
        {"lrwxrwxrwx    1 ftp      ftp             4 Feb  1 12:00 a -> b", false, false, "", 0, ""},
        {"crw-rw-rw-    1 root     root       1,   3 Feb  1 12:00 null", false, false, "", 0, ""},
        {"total 12", false, false, "", 0, ""},
        {"drwxr-xr-x    2 ftp      ftp          4096 Feb  1 12:00 ..", false, false, "", 0, ""},
        {"drwxr-xr-x    2 ftp      ftp          4096 Feb  1 12:00 ../../etc", false, false, "", 0, ""},
        {"-rw-r--r--    1 ftp      ftp          4096 Feb  1 12:00 ", false, false, "", 0, ""},
        {"-rw-r--r--    1 ftp      ftp          4096 Feb 32 12:00 bad", false, false, "", 0, ""},
        {"-rw-r--r--    1 ftp      ftp          4096 Feb  1 24:00 bad", false, false, "", 0, ""},
        {"-rw-r--r--    1 ftp      ftp          -1 Feb  1 12:00 bad", false, false, "", 0, ""},
        {"-rw-r--r--    1 ftp      ftp    99999999999999999999 Feb  1 12:00 bad", false, false, "", 0, ""},
        {"-rw-r--r--    1 ftp      ftp             3 Feb  1 12:00 \x93\xFA\x96", false, false, "", 0, ""},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.line);
        long_listing_entry e = long_listing_parse_line(c.line, 2011, 2);
        EXPECT_EQ(e.is_entry, c.is_entry);
        if (!c.is_entry || !e.is_entry)
            continue;
        EXPECT_EQ(e.is_directory, c.is_directory);
        EXPECT_EQ(e.name, c.name);
        EXPECT_EQ(e.size, c.size);
        EXPECT_EQ(e.time, c.time);
        // What the listing gives is what the cache can hold.
        cache_entry back = cache_parse_line(cache_format_entry(e.time, e.name, e.size));
        EXPECT_TRUE(back.is_entry);
        EXPECT_EQ(back.name, e.name);
    }
}

// A month after the current one lies in the year before.
TEST(LongListingParseLine, YearFromTheCurrentMonth)
{
    const char* line = "-rw-r--r-- 1 ftp ftp 5 Mar  3 14:05 f";
    EXPECT_EQ(long_listing_parse_line(line, 2011, 1).time, "20100303140500");
    EXPECT_EQ(long_listing_parse_line(line, 2011, 3).time, "20110303140500");
    EXPECT_EQ(long_listing_parse_line(line, 2011, 12).time, "20110303140500");
    EXPECT_FALSE(long_listing_parse_line(std::string(listing_line_limit + 1, '-'), 2011, 1).is_entry);
}

TEST(ConvertZoneTime, CarriesAcrossDaysMonthsAndYears)
{
    struct {
        int from, to;
        const char *in, *out;
    } cases[] = {
        {900, 900, "20101231200000", "20101231200000"},
        {0, 900, "20101231200000", "20110101050000"},
        {900, 0, "20100301050000", "20100228200000"},
        {900, 0, "20120301050000", "20120229200000"},
        {900, 0, "20000301050000", "20000229200000"},    // divisible by 400
        {900, 0, "19000301050000", "19000228200000"},    // by 100 only
        {-930, 900, "20100430133059", "20100501080059"}, // -09:30 is minus nine and a half hours
        {530, 0, "20100101000012", "20091231183012"},
        {-1200, 1200, "20100115120000", "20100116120000"},
        {0, 900, "20100131200000.123;", "20100201050000.123;"},
    };
    for (auto& c : cases) {
        std::string t = c.in;
        EXPECT_TRUE(convert_zone_time(c.from, c.to, std::span<char>(t.data(), t.size()))) << c.in;
        EXPECT_EQ(t, c.out) << c.in << " " << c.from << " -> " << c.to;
    }
}

TEST(ConvertZoneTime, InvalidTimesStayAsTheyAre)
{
    const char* texts[] = {"2010123120000",
                           "2010123120000x",
                           "20101331200000",
                           "20101200200000",
                           "20101231240000",
                           "20101231206000",
                           "20100431000000",
                           "20110229000000",
                           "99991231230000",
                           "00000101000000",
                           ""};
    for (const char* in : texts) {
        std::string t = in;
        convert_zone_time(in[0] == '9' ? 0 : 900, in[0] == '9' ? 900 : 0,
                          std::span<char>(t.data(), t.size()));
        EXPECT_EQ(t, in);
    }
    std::string t = "20100101000000";
    EXPECT_FALSE(convert_zone_time(90000, 0, std::span<char>(t.data(), t.size())));
    EXPECT_EQ(t, "20100101000000");
}

TEST(ConvertServerTime, UsesTheLocalStandardOffset)
{
    std::optional<std::string> saved = os::get_env("TZ");
    ASSERT_TRUE(os::set_env("TZ", "JST-9"));
    EXPECT_EQ(local_zone(), 900);
    std::string t = "20101231200000";
    EXPECT_TRUE(convert_server_time(0, t));
    EXPECT_EQ(t, "20110101050000");
    ASSERT_TRUE(os::set_env("TZ", "XYZ+9:30"));
    EXPECT_EQ(local_zone(), -930);
    os::set_env("TZ", saved ? saved->c_str() : nullptr);
    local_zone(); // the runtime reads TZ again
}
