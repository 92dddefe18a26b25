// Code page 932 scans over byte strings.
#include "app/cp932.h"

std::size_t mbs_find(std::string_view s, char c, std::size_t from)
{
    for (std::size_t i = 0; i < s.size();) {
        if (i >= from && s[i] == c)
            return i;
        i += char_length(s, i);
    }
    return std::string_view::npos;
}

std::size_t mbs_rfind(std::string_view s, char c)
{
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < s.size(); i += char_length(s, i))
        if (s[i] == c)
            found = i;
    return found;
}

std::size_t mbs_rfind_separator(std::string_view s)
{
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < s.size(); i += char_length(s, i))
        if (s[i] == '/' || s[i] == '\\')
            found = i;
    return found;
}

bool mbs_contains_any(std::string_view s, std::string_view set)
{
    for (std::size_t i = 0; i < s.size(); i += char_length(s, i))
        if (char_length(s, i) == 1 && set.find(s[i]) != std::string_view::npos)
            return true;
    return false;
}

void mbs_upper(std::string& s)
{
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = char_length(s, i);
        if (n == 1 && s[i] >= 'a' && s[i] <= 'z')
            s[i] = static_cast<char>(s[i] - 'a' + 'A');
        i += n;
    }
}

bool mbs_equal_ignoring_case(std::string_view a, std::string_view b)
{
    // Called for every row of a pane per arriving entry: no copies.
    if (a.size() != b.size())
        return false;
    auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
    for (std::size_t i = 0; i < a.size();) {
        std::size_t n = char_length(a, i);
        if (n == 1) {
            if (upper(a[i]) != upper(b[i]))
                return false;
        } else if (a.substr(i, n) != b.substr(i, n)) {
            return false;
        }
        i += n;
    }
    return true;
}

bool path_lies_inside(std::string_view inner, std::string_view outer, std::string_view name)
{
    std::string joined(outer);
    joined += name;
    if (inner.size() <= joined.size() || !mbs_equal_ignoring_case(inner.substr(0, joined.size()), joined))
        return false;
    if (is_trail_byte_at(inner, joined.size()))
        return false;
    char next = inner[joined.size()];
    return next == '/' || next == '\\';
}

bool is_trail_byte_at(std::string_view s, std::size_t i)
{
    std::size_t p = 0;
    while (p < i)
        p += char_length(s, p);
    return p != i;
}
