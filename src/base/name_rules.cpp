// Name rules for local files, FTP names, extensions and titles.
#include "base/name_rules.h"

#include "base/cp932.h"

// ".", "..", the device names, com1-com4 and lpt1-lpt9 (ASCII case ignored).
static bool is_reserved_name(std::string_view name)
{
    if (name == "." || name == "..")
        return true;
    for (std::string_view r : {"nul", "con", "aux", "prn", "clock$", "config$"})
        if (equal_text_nocase(name, r))
            return true;
    if (name.size() == 4 && equal_text_nocase(name.substr(0, 3), "com") && name[3] >= '1' && name[3] <= '4')
        return true;
    if (name.size() == 4 && equal_text_nocase(name.substr(0, 3), "lpt") && name[3] >= '1' && name[3] <= '9')
        return true;
    return false;
}

bool local_name_rule(std::string_view name)
{
    return !mbs_contains_any(name, "\"*/:<>?\\|") && !is_reserved_name(name);
}

// The device names Windows opens whatever extension follows (and blanks before it).
static bool is_device_stem(std::string_view name)
{
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.remove_suffix(1);
    for (std::string_view d : {"nul", "con", "aux", "prn", "conin$", "conout$"})
        if (equal_text_nocase(stem, d))
            return true;
    return stem.size() == 4 &&
           (equal_text_nocase(stem.substr(0, 3), "com") || equal_text_nocase(stem.substr(0, 3), "lpt")) &&
           stem[3] >= '1' && stem[3] <= '9';
}

bool local_file_name_rule(std::string_view name)
{
    if (name.empty() || name.back() == '.' || name.back() == ' ' || !local_name_rule(name))
        return false;
    for (char c : name)
        if (static_cast<unsigned char>(c) < 0x20)
            return false;
    return !is_device_stem(name);
}

static bool is_ftp_name_byte(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return true;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
        return true;
    return std::string_view(" !#$%&'()+,-.;=@[]^_`{}~").find(static_cast<char>(c)) != std::string_view::npos;
}

bool ascii_name_rule(std::string_view name)
{
    if (is_reserved_name(name))
        return false;
    for (char c : name)
        if (!is_ftp_name_byte(static_cast<unsigned char>(c)))
            return false;
    return true;
}

bool ftp_name_rule(std::string_view name)
{
    if (is_reserved_name(name))
        return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        auto c = static_cast<unsigned char>(name[i]);
        if (is_lead_byte(c)) {
            auto t = i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0;
            if (t < 0x40 || t == 0x7F || t > 0xFC)
                return false;
            ++i;
        } else if (!is_ftp_name_byte(c) && (c < 0xA1 || c > 0xDF)) {
            return false;
        }
    }
    return true;
}

bool no_dot_name_rule(std::string_view name)
{
    return !mbs_contains_any(name, "\"*./:<>?\\|");
}

bool title_rule(std::string_view text)
{
    if (!text.empty() && (text.front() == ' ' || text.back() == ' '))
        return false;
    return !mbs_contains_any(text, "[]");
}
