// Code page 932 scans over byte strings.
#include "base/cp932.h"

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
        if (n == 1)
            s[i] = ascii_upper(s[i]);
        i += n;
    }
}

int compare_text_nocase(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    bool trail = false; // the byte at i is the trail byte of a double-byte character
    while (i < a.size() && i < b.size()) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (!trail) {
            x = static_cast<unsigned char>(ascii_lower(static_cast<char>(x)));
            y = static_cast<unsigned char>(ascii_lower(static_cast<char>(y)));
        }
        if (x != y)
            return x < y ? -1 : 1;
        // Equal bytes: both texts are in the same lead/trail position.
        trail = !trail && is_lead_byte(static_cast<unsigned char>(a[i]));
        ++i;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool path_lies_inside(std::string_view inner, std::string_view outer, std::string_view name)
{
    std::string joined(outer);
    joined += name;
    if (inner.size() <= joined.size() || compare_text_nocase(inner.substr(0, joined.size()), joined) != 0)
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
