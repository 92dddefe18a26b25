// The date text the time-stamp dialog edits: fields at fixed places, the day count of a month,
// and the range the dialog accepts.
#pragma once

#include <string>
#include <string_view>

// Places of the fields in a time text "2010. 1. 5  9:05.07" (two characters each, the year four).
constexpr std::size_t stamp_year_at = 0;
constexpr std::size_t stamp_month_at = 5;
constexpr std::size_t stamp_day_at = 8;
constexpr std::size_t stamp_hour_at = 11;
constexpr std::size_t stamp_minute_at = 14;
constexpr std::size_t stamp_second_at = 17;
constexpr std::size_t stamp_length = 19;
constexpr int stamp_first_year = 1980;
constexpr int stamp_last_year = 2099;

// 31, 30 for April, June, September and November, 29 or 28 for February.
int days_in_month(int year, int month);
// The number written at `at` (blanks before it skipped); -1 when there is none.
int stamp_number(std::string_view text, std::size_t at, std::size_t width);
// Writes `value` into the field at `at`, padded to the field's width; the text grows to
// stamp_length if it is shorter.
void put_stamp_field(std::string& text, std::size_t at, std::string_view value);
// The first four characters typed into the year field, right-aligned in its four places, so a
// short year is a small number and never cuts the text.
void put_stamp_year(std::string& text, std::string_view typed);
// The day of the text clamped to the month's day count (written back); returns that day.
int clamp_stamp_day(std::string& text);
// OK of the dialog: the year lies in 1980 to 2099 and the text differs from the old one.
bool stamp_acceptable(std::string_view text, std::string_view old_text);
// "%4d.%2d.%2d %2d:%02d.%02d" with an odd second lowered to the even one below.
std::string stamp_from_clock(int year, int month, int day, int hour, int minute, int second);
