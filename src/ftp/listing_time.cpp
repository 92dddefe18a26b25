// Server zone to local time for listing cache times.
#include "ftp/listing_time.h"

#include "base/stamp_text.h"

#include <cstdio>
#include <ctime>

int local_zone()
{
#ifdef _WIN32
    _tzset();
    long west = _timezone;
#else
    tzset();
    long west = timezone;
#endif
    long east_minutes = -west / 60;
    long sign = east_minutes < 0 ? -1 : 1;
    long a = east_minutes * sign;
    return static_cast<int>(sign * ((a / 60) * 100 + a % 60));
}

void local_year_month(int& year, int& month)
{
    std::time_t now = std::time(nullptr);
    std::tm t{};
#ifdef _WIN32
    localtime_s(&t, &now);
#else
    localtime_r(&now, &t);
#endif
    year = t.tm_year + 1900;
    month = t.tm_mon + 1;
}

// ±HHMM as signed minutes (the sign belongs to the whole value: -930 is -9 h 30 min).
static int zone_minutes(int zone)
{
    int sign = zone < 0 ? -1 : 1;
    int a = zone * sign;
    return sign * ((a / 100) * 60 + a % 100);
}

static int read_digits(const char* p, int n)
{
    int v = 0;
    for (int i = 0; i < n; ++i)
        v = v * 10 + (p[i] - '0');
    return v;
}

bool convert_zone_time(int from_zone, int to_zone, std::span<char> time)
{
    // Zones lie within a day of UTC; anything else is not a zone setting.
    if (time.size() < 14 || from_zone < -2400 || from_zone > 2400 || to_zone < -2400 || to_zone > 2400)
        return false;
    for (std::size_t i = 0; i < 14; ++i)
        if (time[i] < '0' || time[i] > '9')
            return false;
    const char* p = time.data();
    int year = read_digits(p, 4), month = read_digits(p + 4, 2), day = read_digits(p + 6, 2);
    int hour = read_digits(p + 8, 2), minute = read_digits(p + 10, 2), second = read_digits(p + 12, 2);
    if (month < 1 || month > 12 || day < 1 || day > days_in_month(year, month) || hour > 23 || minute > 59 ||
        second > 60)
        return false;

    int minutes = hour * 60 + minute + zone_minutes(to_zone) - zone_minutes(from_zone);
    int carry = 0;
    while (minutes < 0) {
        minutes += 24 * 60;
        --carry;
    }
    while (minutes >= 24 * 60) {
        minutes -= 24 * 60;
        ++carry;
    }
    for (; carry > 0; --carry) {
        if (++day > days_in_month(year, month)) {
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
    }
    for (; carry < 0; ++carry) {
        if (--day < 1) {
            if (--month < 1) {
                month = 12;
                --year;
            }
            day = days_in_month(year, month);
        }
    }
    // Four digits must stay four digits: the character after the 14th is never touched.
    if (year < 0 || year > 9999)
        return false;
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", year, month, day, minutes / 60, minutes % 60,
                  second);
    for (std::size_t i = 0; i < 14; ++i)
        time[i] = text[i];
    return true;
}

bool convert_server_time(int server_zone, std::span<char> time)
{
    return convert_zone_time(server_zone, local_zone(), time);
}

bool convert_server_time(int server_zone, std::string& time)
{
    return convert_server_time(server_zone, std::span<char>(time.data(), time.size()));
}
