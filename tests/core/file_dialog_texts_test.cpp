// The texts behind the time-stamp dialog and the help window: day counts, field writes, the
// accepted year range, and the line ranges of the help text.
#include "fileops/help_text.h"
#include "base/stamp_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(StampText, days_of_a_month_follow_the_leap_year_rule)
{
    struct month_case {
        int year, month, days;
    };
    const month_case cases[] = {{2010, 1, 31}, {2010, 4, 30}, {2010, 11, 30}, {2010, 2, 28},
                                {2000, 2, 29}, {1900, 2, 28}, {2004, 2, 29},  {2100, 2, 28}};
    for (const month_case& c : cases)
        EXPECT_EQ(days_in_month(c.year, c.month), c.days) << c.year << "/" << c.month;
}

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
        {"2010. 1. 5  9:05.07", stamp_hour_at, "23", "2010. 1. 5 23:05.07"},
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
        const char* typed;
        const char* text;
        bool acceptable;
    };
    const year_case cases[] = {
        {"2010", "2010. 1. 5  9:05.07", false}, // unchanged
        {"2011", "2011. 1. 5  9:05.07", true},
        {"1980", "1980. 1. 5  9:05.07", true},
        {"2099", "2099. 1. 5  9:05.07", true},
        {"1979", "1979. 1. 5  9:05.07", false},
        {"2100", "2100. 1. 5  9:05.07", false},
        {"19", "  19. 1. 5  9:05.07", false},
        {"", "    . 1. 5  9:05.07", false},
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

} // namespace
