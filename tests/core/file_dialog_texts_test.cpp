// The file dialogs' rules: names, attribute ticks, rows a stamp skips, stamp fields, years, help lines.
#include "base/stamp_text.h"
#include "fileops/file_dialog_rules.h"
#include "fileops/help_text.h"
#include "toolkit/edit_rules.h"

#include <gtest/gtest.h>

#include <string>

// OK of the name edit: a new, non-empty name; a change of letter case alone is no new name, and
// a rename that changes only the case looks for no other entry.
TEST(DialogRules, NamesAndRequiredFields)
{
    struct {
        const char *initial, *typed;
        bool ok;
    } names[] = {
        {"a.txt", "a.txt", false}, {"a.txt", "A.TXT", false},
        {"a.txt", "", false},      {"a.txt", "b.txt", true},
        {"a.txt", "a.txt ", true}, {"\x83\x41", "\x83\x61", true}, // no case in a trail byte
    };
    for (const auto& n : names) {
        EXPECT_EQ(name_edit_ok(n.typed, n.initial), n.ok) << n.initial << " / " << n.typed;
        EXPECT_EQ(rename_meets_others(n.initial, n.typed), n.ok || !*n.typed)
            << n.initial << " / " << n.typed;
    }
    EXPECT_TRUE(required_fields_ok({3, 13, 5}));
    EXPECT_FALSE(required_fields_ok({3, 0, 5}));
}

TEST(DialogRules, AttributeTicks)
{
    struct {
        const char* row; // the row's attribute text; nullptr: several rows
        int box;         // -1: no tick
        bool ticked;
        const char* after;
        bool ok;
        bool hidden_row; // while system and hidden entries are hidden
    } cases[] = {
        {"--ra", -1, false, "--ra", false, false}, {"--ra", 3, false, "--r-", true, false},
        {"--ra", 3, true, "--ra", false, false},   {"----", 1, true, "-h--", true, true},
        {"--", 0, true, "s---", true, true},       {nullptr, -1, false, "----", true, false},
        {nullptr, 2, true, "--r-", true, false},
    };
    for (const auto& c : cases) {
        std::string start = attributes_at_start(c.row ? c.row : "x", !c.row);
        std::string now = start;
        tick_attribute(now, c.box, c.ticked);
        EXPECT_EQ(now, c.after) << (c.row ? c.row : "several") << " " << c.box;
        EXPECT_EQ(attributes_ok(start, now, !c.row), c.ok) << now;
        EXPECT_EQ(attributes_hide_row(now, true), c.hidden_row) << now;
        EXPECT_FALSE(attributes_hide_row(now, false)) << now;
    }
}

TEST(DialogRules, StampSkipsDirectoriesAndProtectedFiles)
{
    struct {
        const char *size, *attr;
        bool skipped;
    } cases[] = {
        {"1", "---a", false}, {"1", "", false},    {"<dir>", "----", true},
        {"1", "--r-", true},  {"1", "-h--", true}, {"1", "s---", true},
    };
    for (const auto& c : cases) {
        FileEntry e;
        e.name = "f";
        e.set_size_text(c.size);
        e.set_attr_text(c.attr);
        EXPECT_EQ(stamp_skips(e), c.skipped) << c.size << " " << c.attr;
    }
}

// The month lengths and the leap-year rule (by 4, not by 100, by 400) are also ConvertZoneTime's.
TEST(StampText, fields_are_written_in_place_and_the_day_clamped)
{
    struct edit_case {
        const char* before;
        std::size_t at;
        const char* value;
        const char* after; // after the day is clamped
    };
    const edit_case cases[] = {
        {"2010. 1.31 12:00.00", stamp_month_at, " 2", "2010. 2.28 12:00.00"},
        {"2000. 1.31 12:00.00", stamp_month_at, " 2", "2000. 2.29 12:00.00"},
        {"2010. 3.31 12:00.00", stamp_month_at, " 4", "2010. 4.30 12:00.00"},
        {"2010. 1. 5  9:05.07", stamp_second_at, "58", "2010. 1. 5  9:05.58"},
    };
    for (const edit_case& c : cases) {
        std::string text = c.before;
        put_stamp_field(text, c.at, c.value);
        clamp_stamp_day(text);
        EXPECT_EQ(text, c.after) << c.before;
    }
}

TEST(StampText, a_short_year_is_a_small_number_and_never_cuts_the_text)
{
    const char* old_text = "2010. 1. 5  9:05.07";
    struct year_case {
        const char *typed, *text;
        bool acceptable;
    };
    const year_case cases[] = {
        {"2010", "2010. 1. 5  9:05.07", false}, // unchanged
        {"1980", "1980. 1. 5  9:05.07", true},    {"2099", "2099. 1. 5  9:05.07", true},
        {"1979", "1979. 1. 5  9:05.07", false},   {"2100", "2100. 1. 5  9:05.07", false},
        {"19", "  19. 1. 5  9:05.07", false},     {"", "    . 1. 5  9:05.07", false},
        {"201012", "2010. 1. 5  9:05.07", false}, // the first four characters count
    };
    for (const year_case& c : cases) {
        std::string text = old_text;
        put_stamp_year(text, c.typed);
        EXPECT_EQ(text, c.text) << c.typed;
        EXPECT_EQ(stamp_acceptable(text, old_text), c.acceptable) << c.typed;
    }
}

TEST(StampText, the_present_time_gets_even_seconds)
{
    EXPECT_EQ(stamp_from_clock(2024, 2, 9, 8, 7, 59), "2024. 2. 9  8:07.58");
    EXPECT_EQ(stamp_from_clock(2024, 12, 31, 23, 59, 0), "2024.12.31 23:59.00");
}

TEST(HelpText, a_range_of_lines_is_shown_only_when_it_is_all_there)
{
    const std::string file = "title\none\r\ntwo\nthree";
    struct range_case {
        int first, count;
        const char* shown; // null: nothing
    };
    const range_case cases[] = {
        {2, 2, "one\r\ntwo\r\n"}, {2, 3, "one\r\ntwo\r\nthree\r\n"}, // the last line needs no line break
        {4, 1, "three\r\n"},      {3, 3, nullptr},                   // the file ends first
        {1, 1, nullptr},                                             // the first line is never shown
        {9, 1, nullptr},
    };
    for (const range_case& c : cases) {
        auto shown = help_lines(file, c.first, c.count);
        ASSERT_EQ(shown.has_value(), c.shown != nullptr) << c.first << "+" << c.count;
        if (c.shown) {
            EXPECT_EQ(*shown, c.shown);
        }
    }
}

TEST(HelpText, lines_that_would_overflow_the_buffer_show_nothing)
{
    std::string line(1000, 'x');
    std::string file = "title\n" + line + "\n" + line + "\n" + line + "\n" + line + "\n" + line + "\n";
    EXPECT_TRUE(help_lines(file, 2, 4).has_value()); // 4 x 1002 bytes and the terminator fit
    EXPECT_FALSE(help_lines(file, 2, 5).has_value());
}
