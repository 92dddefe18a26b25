// The texts of a row: name and type, grouped sizes, time and attribute texts, the wildcard match.
#include "pane/entry_text.h"

#include "base/cp932.h"
#include "base/paths.h"
#include "pane/listing.h"

#include <charconv>

namespace {

constexpr std::size_t max_name = path_size - 1; // names and wildcards are cut to 255 bytes

// One part (base or extension) of a name against the same part of the wildcard.
bool match_part(std::string_view p, std::string_view t)
{
    std::size_t i = 0, j = 0;
    for (;;) {
        if (i >= p.size())
            return j >= t.size();
        if (p[i] == '*') {
            ++i;
            if (i >= p.size()) { // a '*' at the end looks for the terminator: the end of t
                j = t.size();
                continue;
            }
            // The first occurrence of the character after the '*', exactly; no second try later.
            std::string_view c = p.substr(i, char_length(p, i));
            while (j < t.size() && t.compare(j, c.size(), c) != 0)
                j += char_length(t, j);
            if (j >= t.size())
                return false;
            continue;
        }
        if (p[i] == '?') {
            if (j >= t.size())
                return false;
            j += char_length(t, j);
            ++i;
            continue;
        }
        if (char_length(p, i) == 2) {
            if (t.compare(j, 2, p.substr(i, 2)) != 0)
                return false;
            i += 2;
            j += 2;
            continue;
        }
        if (j >= t.size() || ascii_lower(t[j]) != ascii_lower(p[i]))
            return false;
        ++i;
        ++j;
    }
}

struct base_and_extension {
    std::string_view base, extension;
};

base_and_extension split_at_last_dot(std::string_view s)
{
    std::size_t dot = mbs_rfind(s, '.');
    if (dot == std::string_view::npos)
        return {s, {}};
    return {s.substr(0, dot), s.substr(dot + 1)};
}

bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

entry_name_parts split_entry_name(std::string_view file_name, bool is_dir)
{
    std::string_view s = file_name.substr(0, std::min(file_name.size(), max_name));
    std::size_t dot = mbs_rfind(s, '.');
    if (is_dir || s == ".." || dot == std::string_view::npos || dot == 0)
        return {std::string(s), {}};
    return {std::string(s.substr(0, dot)), std::string(s.substr(dot + 1))};
}

std::string join_entry_name(const FileEntry& row)
{
    std::string name = bounded(row.name, path_size);
    if (!row.type.empty()) {
        append_bounded(name, path_size, ".");
        append_bounded(name, path_size, row.type);
    }
    return name;
}

bool match_wildcard(std::string_view file_name, std::string_view pattern)
{
    auto name = split_at_last_dot(file_name.substr(0, std::min(file_name.size(), max_name)));
    auto wild = split_at_last_dot(pattern.substr(0, std::min(pattern.size(), max_name)));
    return match_part(wild.base, name.base) && match_part(wild.extension, name.extension);
}

std::size_t group_digits_into(char* out, std::uint64_t value)
{
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    std::size_t n = static_cast<std::size_t>(end - digits);
    std::size_t k = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out[k++] = ',';
        out[k++] = digits[i];
    }
    return k;
}

std::string group_digits(std::uint64_t value)
{
    char out[32];
    return std::string(out, group_digits_into(out, value));
}

std::uint64_t parse_size_text(std::string_view text)
{
    std::uint64_t value = 0;
    bool any_digit = false;
    for (char c : text) {
        if (c == ',')
            continue;
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        any_digit = true;
    }
    return any_digit ? value : 0;
}

std::size_t format_time_text_into(char* out, const time_fields& t)
{
    std::size_t k = 0;
    auto put = [&](int value, std::size_t width, char fill, char after) {
        char digits[16];
        auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        for (auto n = static_cast<std::size_t>(end - digits); n < width; --width)
            out[k++] = fill;
        for (const char* d = digits; d != end; ++d)
            out[k++] = *d;
        if (after)
            out[k++] = after;
    };
    put(t.year, 0, ' ', '.');
    put(t.month, 2, ' ', '.');
    put(t.day, 2, ' ', ' ');
    put(t.hour, 2, ' ', ':');
    put(t.minute, 2, '0', '.');
    put(t.second, 2, '0', 0);
    return k;
}

std::string format_time_text(const time_fields& t)
{
    char out[80];
    return std::string(out, format_time_text_into(out, t));
}

std::optional<time_fields> parse_time_text(std::string_view text)
{
    static constexpr char separators[] = {'.', '.', ' ', ':', '.'};
    int values[6] = {};
    std::size_t pos = 0;
    for (int k = 0; k < 6; ++k) {
        while (pos < text.size() && is_blank(text[pos]))
            ++pos;
        bool negative = false;
        if (pos < text.size() && (text[pos] == '-' || text[pos] == '+'))
            negative = text[pos++] == '-';
        std::size_t first = pos;
        long long v = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            if (pos - first >= 9) // more digits than an int takes for sure
                return std::nullopt;
            v = v * 10 + (text[pos++] - '0');
        }
        if (pos == first)
            return std::nullopt;
        values[k] = static_cast<int>(negative ? -v : v);
        if (k == 5)
            break;
        if (separators[k] == ' ') {
            while (pos < text.size() && is_blank(text[pos]))
                ++pos;
        } else if (pos < text.size() && text[pos] == separators[k]) {
            ++pos;
        } else {
            return std::nullopt;
        }
    }
    return time_fields{values[0], values[1], values[2], values[3], values[4], values[5]};
}

std::string ftp_time_text(std::string_view time14)
{
    std::string out(unknown_ftp_time);
    if (time14.size() < 14)
        return out;
    for (std::size_t i = 0; i < 14; ++i)
        if (time14[i] < '0' || time14[i] > '9')
            return out;
    static constexpr std::size_t places[] = {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18};
    for (std::size_t i = 0; i < 14; ++i)
        out[places[i]] = time14[i];
    for (std::size_t p : {5, 8, 11})
        if (out[p] == '0')
            out[p] = ' ';
    return out;
}

void attr_text_into(char* out, std::uint32_t bits)
{
    out[0] = bits & 0x4 ? 's' : '-';
    out[1] = bits & 0x2 ? 'h' : '-';
    out[2] = bits & 0x1 ? 'r' : '-';
    out[3] = bits & 0x20 ? 'a' : '-';
}

std::string attr_text_from_bits(std::uint32_t bits)
{
    std::string out(4, '-');
    attr_text_into(out.data(), bits);
    return out;
}

std::uint32_t attr_bits_from_text(std::string_view text)
{
    static constexpr struct {
        char letter;
        std::uint32_t bit;
    } places[] = {{'s', 0x4}, {'h', 0x2}, {'r', 0x1}, {'a', 0x20}};
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4 && i < text.size(); ++i)
        if (text[i] == places[i].letter)
            bits |= places[i].bit;
    return bits ? bits : 0x80;
}

FileEntry make_ftp_entry(bool is_dir, std::string_view file_name, std::optional<std::uint64_t> size,
                         std::optional<std::string_view> time14, int folder_icon, int file_icon)
{
    FileEntry row;
    auto parts = split_entry_name(file_name, is_dir);
    row.name = std::move(parts.name);
    row.type = std::move(parts.type);
    if (is_dir)
        row.set_dir();
    else if (size)
        row.set_size(*size);
    else
        row.set_size_text("?");
    if (row.name != "..") {
        row.set_time_text(time14 ? ftp_time_text(*time14) : std::string(unknown_ftp_time));
        row.set_attr_text(unknown_attributes);
    }
    row.icon = is_dir ? folder_icon : file_icon;
    return row;
}
