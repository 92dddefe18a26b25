// Parsers of NLST -aFL and long-listing lines.
#include "ftp/listing_formats.h"

#include "base/name_rules.h"
#include "ftp/listing_cache.h"

#include <cstdio>
#include <vector>

namespace {

std::string_view without_line_end(std::string_view line)
{
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

} // namespace

bool is_digits(std::string_view s)
{
    if (s.empty())
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

namespace {

// A name that can stand in the cache: "." and ".." never do. A name too long for a cache line
// is still one: its caller counts it as not stored.
bool listable_name(std::string_view name)
{
    return !name.empty() && ftp_name_rule(name);
}

int small_number(std::string_view digits)
{
    int v = 0;
    for (char c : digits)
        v = v * 10 + (c - '0');
    return v;
}

// 1-12 for "Jan" … "Dec" (ASCII case ignored), 0 for anything else.
int month_number(std::string_view word)
{
    static constexpr std::string_view months = "janfebmaraprmayjunjulaugsepoctnovdec";
    if (word.size() != 3)
        return 0;
    char w[3];
    for (int i = 0; i < 3; ++i)
        w[i] = static_cast<char>(word[i] >= 'A' && word[i] <= 'Z' ? word[i] + 32 : word[i]);
    for (int m = 0; m < 12; ++m)
        if (months.substr(static_cast<std::size_t>(m) * 3, 3) == std::string_view(w, 3))
            return m + 1;
    return 0;
}

// A whole token of digits as a 64-bit size; -1 when it is not one.
std::int64_t size_number(std::string_view digits)
{
    if (!is_digits(digits) || digits.size() > 18)
        return -1;
    std::int64_t v = 0;
    for (char c : digits)
        v = v * 10 + (c - '0');
    return v;
}

// "hh:mm" (hour of one or two digits) into hour and minute.
bool clock_time(std::string_view word, int& hour, int& minute)
{
    std::size_t colon = word.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2 || word.size() - colon - 1 != 2)
        return false;
    std::string_view h = word.substr(0, colon), m = word.substr(colon + 1);
    if (!is_digits(h) || !is_digits(m))
        return false;
    hour = small_number(h);
    minute = small_number(m);
    return hour <= 23 && minute <= 59;
}

struct token {
    std::string_view text;
    std::size_t end; // offset just after the token
};

std::vector<token> blank_separated(std::string_view line)
{
    std::vector<token> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ')
            ++i;
        std::size_t start = i;
        while (i < line.size() && line[i] != ' ')
            ++i;
        if (i > start)
            tokens.push_back({line.substr(start, i - start), i});
    }
    return tokens;
}

} // namespace

nlst_entry nlst_parse_line(std::string_view line)
{
    nlst_entry entry;
    line = without_line_end(line);
    if (line.empty() || line.size() > listing_line_limit)
        return entry;
    nlst_kind kind = nlst_kind::file;
    switch (line.back()) {
    case '/':
        kind = nlst_kind::directory;
        line.remove_suffix(1);
        break;
    case '*':
        line.remove_suffix(1);
        break;
    case '=':
    case '@':
    case '|':
        return entry; // socket, link, pipe
    default:
        break;
    }
    if (!listable_name(line))
        return entry;
    entry.kind = kind;
    entry.name = line;
    return entry;
}

long_listing_entry long_listing_parse_line(std::string_view line, int current_year, int current_month)
{
    long_listing_entry entry;
    line = without_line_end(line);
    if (line.empty() || line.size() > listing_line_limit)
        return entry;
    if (line.size() > 6 && line.substr(0, 6) == "total " && is_digits(line.substr(6))) {
        entry.is_listing_line = true;
        return entry;
    }
    // The first run "size month day hh:mm|year" after the mode field dates the entry; the
    // name is the rest of the line after one blank, so names with blanks keep them and a name
    // that looks like a date cannot shift the fields.
    std::vector<token> t = blank_separated(line);
    for (std::size_t i = 1; i + 3 < t.size(); ++i) {
        std::int64_t size = size_number(t[i].text);
        int month = month_number(t[i + 1].text);
        if (size < 0 || month == 0 || !is_digits(t[i + 2].text) || t[i + 2].text.size() > 2)
            continue;
        int day = small_number(t[i + 2].text);
        if (day < 1 || day > 31)
            continue;
        std::string_view when = t[i + 3].text;
        int year = 0, hour = 0, minute = 0;
        if (clock_time(when, hour, minute)) {
            year = current_month < month ? current_year - 1 : current_year;
        } else if (when.size() == 4 && is_digits(when)) {
            year = small_number(when); // older entries show their year instead of the time: 00:00
        } else {
            continue;
        }
        // Links, devices, ".", names outside the FTP name set: understood, not listed.
        entry.is_listing_line = true;
        if (line[0] != '-' && line[0] != 'd')
            return entry;
        std::size_t name_start = t[i + 3].end + 1;
        if (name_start >= line.size())
            return entry;
        std::string_view name = line.substr(name_start);
        if (!listable_name(name))
            return entry;
        char time[32];
        std::snprintf(time, sizeof time, "%04d%02d%02d%02d%02d00", year, month, day, hour, minute);
        entry.is_entry = true;
        entry.is_directory = line[0] == 'd';
        entry.name = name;
        entry.size = entry.is_directory ? -1 : size;
        entry.time = time;
        return entry;
    }
    return entry;
}
