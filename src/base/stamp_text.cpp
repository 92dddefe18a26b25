// The date text the time-stamp dialog edits.
#include "base/stamp_text.h"

#include <cstdio>

int days_in_month(int year, int month)
{
    switch (month) {
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 2: {
        bool leap = year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
        return leap ? 29 : 28;
    }
    default:
        return 31;
    }
}

int stamp_number(std::string_view text, std::size_t at, std::size_t width)
{
    int value = -1;
    for (std::size_t i = at; i < at + width && i < text.size(); ++i) {
        char c = text[i];
        if (c == ' ' && value < 0)
            continue;
        if (c < '0' || c > '9')
            return value;
        value = (value < 0 ? 0 : value * 10) + (c - '0');
    }
    return value;
}

void put_stamp_field(std::string& text, std::size_t at, std::string_view value)
{
    if (text.size() < stamp_length)
        text.resize(stamp_length, ' ');
    std::size_t width = at == stamp_year_at ? 4 : 2;
    std::string field(width, ' ');
    std::size_t n = value.size() < width ? value.size() : width;
    field.replace(width - n, n, value.substr(0, n));
    text.replace(at, width, field);
}

void put_stamp_year(std::string& text, std::string_view typed)
{
    put_stamp_field(text, stamp_year_at, typed.substr(0, 4));
}

int clamp_stamp_day(std::string& text)
{
    int days = days_in_month(stamp_number(text, stamp_year_at, 4), stamp_number(text, stamp_month_at, 2));
    int day = stamp_number(text, stamp_day_at, 2);
    if (day < 1)
        day = 1;
    if (day > days)
        day = days;
    char field[8];
    std::snprintf(field, sizeof field, "%2d", day);
    put_stamp_field(text, stamp_day_at, field);
    return day;
}

bool stamp_acceptable(std::string_view text, std::string_view old_text)
{
    int year = stamp_number(text, stamp_year_at, 4);
    return year >= stamp_first_year && year <= stamp_last_year && text != old_text;
}

std::string stamp_from_clock(int year, int month, int day, int hour, int minute, int second)
{
    char text[64];
    std::snprintf(text, sizeof text, "%4d.%2d.%2d %2d:%02d.%02d", year, month, day, hour, minute,
                  second & ~1);
    return text;
}
