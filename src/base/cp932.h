// Code page 932 (Shift_JIS) byte rules: the one lead-byte helper every scan of a name uses.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Lead bytes of code page 932, fixed whatever the machine's code page is.
constexpr bool is_lead_byte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Length of the character that starts at byte i: 2 for a lead byte with a trail byte after it.
inline std::size_t char_length(std::string_view s, std::size_t i)
{
    return (is_lead_byte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() && s[i + 1] != '\0') ? 2 : 1;
}

// First single-byte character c at or after byte `from`, skipping trail bytes; npos if none.
std::size_t mbs_find(std::string_view s, char c, std::size_t from = 0);
// Last single-byte character c, skipping trail bytes; npos if none.
std::size_t mbs_rfind(std::string_view s, char c);
// Last '/' or '\\' that is not a trail byte; npos if none.
std::size_t mbs_rfind_separator(std::string_view s);
// True when one of the characters of `set` occurs as a single-byte character.
bool mbs_contains_any(std::string_view s, std::string_view set);
// ASCII letters to upper case; double-byte characters are left alone (_mbsupr).
void mbs_upper(std::string& s);
// ASCII letters to one case; every other byte (trail bytes included) as it stands.
constexpr char ascii_lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr char ascii_upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
// Byte-wise comparison ignoring ASCII case; the trail byte of a double-byte character is
// compared as it stands, so katakana keep their code order (and equal texts are the same file
// name to Windows in this code page).
int compare_text_nocase(std::string_view a, std::string_view b);
// Equal as compare_text_nocase compares; the lengths first, so a row scan stays cheap.
inline bool equal_text_nocase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && compare_text_nocase(a, b) == 0;
}
// True when `inner` (a directory path) begins with `outer` + `name` followed by '/' or '\',
// compared as compare_text_nocase does; a cut inside a double-byte character is no match.
bool path_lies_inside(std::string_view inner, std::string_view outer, std::string_view name);
// True when byte i is the trail byte of a double-byte character.
bool is_trail_byte_at(std::string_view s, std::size_t i);
