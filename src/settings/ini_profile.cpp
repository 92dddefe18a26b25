// The profile-file engine: INI text parsed into sections and keys, read, changed and rewritten.
#include "settings/ini_profile.h"

#include "base/cp932.h"

#include <climits>

namespace {

// The blanks the profile service trims: ASCII white space and the end-of-file mark 0x1A.
// None of them can be the trail byte of a double-byte character.
bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1a';
}

std::string_view trim_left(std::string_view s)
{
    while (!s.empty() && is_blank(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view trim_right(std::string_view s)
{
    while (!s.empty() && is_blank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view trim(std::string_view s)
{
    return trim_right(trim_left(s));
}

// Calls f(line) for every line; CR and LF both end a line (neither is ever a trail byte).
template <typename F> void for_each_line(std::string_view text, F&& f)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        if (!f(text.substr(start, end - start), start))
            return;
        start = end + 1;
    }
}

// The header text of a line that begins with "[": up to its last "]", or the rest of the line.
std::string_view header_text(std::string_view line)
{
    std::size_t close = mbs_rfind(line, ']');
    if (close == std::string_view::npos)
        return line.substr(1);
    return line.substr(1, close - 1);
}

ini_section* find_section(ini_profile& profile, std::string_view name)
{
    for (auto& s : profile.sections)
        if (equal_text_nocase(s.name, name))
            return &s;
    return nullptr;
}

std::vector<ini_key>::iterator find_key(ini_section& section, std::string_view name)
{
    for (auto it = section.keys.begin(); it != section.keys.end(); ++it)
        if (equal_text_nocase(it->name, name))
            return it;
    return section.keys.end();
}

// One pair of enclosing quotes goes, then the text is cut to size - 1 bytes at a character
// boundary: a half character would join whatever the caller appends next.
std::string copy_entry(std::string_view value, std::size_t size)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    if (size == 0)
        return std::string();
    std::size_t limit = size - 1;
    std::size_t end = 0;
    while (end < value.size()) {
        std::size_t n = char_length(value, end);
        if (end + n > limit)
            break;
        end += n;
    }
    return std::string(value.substr(0, end));
}

// Code of the character at i for ordering: a double-byte character is one 16-bit code.
unsigned char_code(std::string_view s, std::size_t i, std::size_t n)
{
    unsigned c = static_cast<unsigned char>(s[i]);
    return n == 2 ? (c << 8) | static_cast<unsigned char>(s[i + 1]) : c;
}

int mbs_compare(std::string_view a, std::string_view b)
{
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        std::size_t n = char_length(a, i), m = char_length(b, j);
        unsigned ca = char_code(a, i, n), cb = char_code(b, j, m);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        i += n;
        j += m;
    }
    if (i < a.size())
        return 1;
    return j < b.size() ? -1 : 0;
}

} // namespace

ini_profile ini_parse(std::string_view text)
{
    ini_profile profile;
    profile.sections.push_back({});
    const ini_key* previous = nullptr;
    for_each_line(text, [&](std::string_view line, std::size_t) {
        line = trim(line);
        if (line.empty())
            return true;
        if (line.front() == '[') {
            std::size_t close = mbs_rfind(line, ']');
            if (close != std::string_view::npos && close > 0) {
                profile.sections.push_back({std::string(trim(line.substr(1, close - 1))), {}});
                previous = nullptr;
                return true;
            }
        }
        ini_key key;
        std::size_t equals = line.find('='); // '=' is never a trail byte
        if (equals != std::string_view::npos) {
            key.name = trim_right(line.substr(0, equals));
            key.value = std::string(trim_left(line.substr(equals + 1)));
        } else {
            key.name = line;
        }
        // A run of lines with no name keeps only its first one, as the profile service does.
        if (!key.name.empty() || !previous || !previous->name.empty()) {
            auto& keys = profile.sections.back().keys;
            keys.push_back(std::move(key));
            previous = &keys.back();
        }
        return true;
    });
    return profile;
}

std::string ini_serialize(const ini_profile& profile)
{
    std::string text;
    for (const auto& s : profile.sections) {
        if (!s.name.empty())
            text += "[" + s.name + "]\r\n";
        for (const auto& k : s.keys) {
            text += k.name;
            if (k.value)
                text += "=" + *k.value;
            text += "\r\n";
        }
    }
    return text;
}

std::string ini_profile_get(const ini_profile& profile, std::string_view section, std::string_view key,
                            std::size_t size, std::string_view default_text)
{
    section = trim(section);
    key = trim(key);
    for (const auto& s : profile.sections) {
        if (!equal_text_nocase(s.name, section))
            continue;
        for (const auto& k : s.keys)
            if (equal_text_nocase(k.name, key)) {
                if (k.value)
                    return copy_entry(*k.value, size);
                break;
            }
        break; // only the first section of that name counts
    }
    // Trailing blanks of the default go, but never its first character.
    while (default_text.size() > 1 && default_text.back() == ' ')
        default_text.remove_suffix(1);
    return copy_entry(default_text, size);
}

bool ini_profile_set(ini_profile& profile, std::string_view section, std::optional<std::string_view> key,
                     std::optional<std::string_view> value)
{
    section = trim(section);
    ini_section* s = find_section(profile, section);
    if (!key) {
        if (!s)
            return false;
        profile.sections.erase(profile.sections.begin() + (s - profile.sections.data()));
        return true;
    }
    std::string_view name = trim(*key);
    if (!value) {
        if (!s)
            return false;
        auto it = find_key(*s, name);
        if (it == s->keys.end())
            return false;
        s->keys.erase(it);
        return true;
    }
    std::string text(trim_left(*value));
    if (!s) {
        profile.sections.push_back({std::string(section), {{std::string(name), std::move(text)}}});
        return true;
    }
    auto it = find_key(*s, name);
    if (it == s->keys.end()) {
        s->keys.push_back({std::string(name), std::move(text)});
        return true;
    }
    if (it->value && *it->value == text)
        return false;
    it->value = std::move(text);
    return true;
}

bool ini_text_has_section(std::string_view text, std::string_view name)
{
    bool found = false;
    for_each_line(text, [&](std::string_view line, std::size_t) {
        found = !line.empty() && line.front() == '[' && header_text(line) == name;
        return !found;
    });
    return found;
}

std::optional<std::string> ini_text_section_name(std::string_view text, std::size_t n)
{
    std::optional<std::string> name;
    std::size_t index = 0;
    for_each_line(text, [&](std::string_view line, std::size_t) {
        if (line.empty() || line.front() != '[')
            return true;
        if (index++ == n) {
            name = std::string(header_text(line));
            return false;
        }
        return true;
    });
    return name;
}

std::string ini_text_insert_section_sorted(std::string_view text, std::string_view name)
{
    std::string probe = "[" + std::string(name);
    std::string header = "[" + std::string(name) + "]\r\n";
    std::size_t at = std::string_view::npos;
    for_each_line(text, [&](std::string_view line, std::size_t start) {
        if (line.empty() || line.front() != '[')
            return true;
        std::size_t close = mbs_find(line, ']');
        if (mbs_compare(line.substr(0, close), probe) > 0) {
            at = start;
            return false;
        }
        return true;
    });
    std::string result(text);
    if (at != std::string_view::npos)
        return result.insert(at, header);
    if (!result.empty() && result.back() != '\n' && result.back() != '\r')
        result += "\r\n";
    return result + header;
}

int ini_atoi(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        n = n * 10 + (text[i] - '0');
        if (n > static_cast<long long>(INT_MAX) + 1)
            n = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        return static_cast<int>(-n);
    return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}
