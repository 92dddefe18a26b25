// File names between the server's encoding and code page 932.
#include "ftp/name_charset.h"

#include "base/cp932.h"
#include "base/paths.h"
#include "ftp/listing_cache.h"
#include "platform/code_page.h"

namespace {

bool is_ascii(std::string_view text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// The length of the UTF-8 sequence a byte begins (1 for a byte that begins none).
std::size_t utf8_length(unsigned char c)
{
    return c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 1;
}

constexpr std::string_view no_cp932_facts = "Type=x.kv.nocp932 ";

} // namespace

bool names_in_utf8(std::string_view name_charset, bool feat_utf8)
{
    if (equal_text_nocase(name_charset, "utf8"))
        return true;
    if (equal_text_nocase(name_charset, "sjis"))
        return false;
    return feat_utf8;
}

std::optional<std::string> name_from_server(std::string_view wire, bool utf8)
{
    if (is_ascii(wire))
        return std::string(wire);
    if (utf8)
        return os::utf8_to_cp932(wire);
    // A Shift_JIS name must stay itself through the local file system's characters: an
    // unassigned code or a second code of one character would name another file.
    if (!os::cp932_to_utf8(wire))
        return std::nullopt;
    return std::string(wire);
}

std::optional<std::string> name_to_server(std::string_view name, bool utf8)
{
    if (!utf8 || is_ascii(name))
        return std::string(name);
    return os::cp932_to_utf8(name);
}

std::string name_for_report(std::string_view wire, bool utf8)
{
    std::string shown;
    for (std::size_t i = 0; i < wire.size();) {
        auto c = static_cast<unsigned char>(wire[i]);
        std::size_t n = utf8 ? utf8_length(c) : char_length(wire, i);
        std::string_view one = wire.substr(i, n);
        i += one.size();
        if (c < 0x20 || c == 0x7F) {
            shown += '?';
        } else if (c < 0x80) {
            shown += one;
        } else if (utf8) {
            shown += os::utf8_to_cp932(one).value_or("?");
        } else {
            shown += os::cp932_to_utf8(one) ? std::string(one) : std::string("?");
        }
    }
    return shown;
}

std::string no_cp932_cache_line(std::string_view wire, bool utf8)
{
    std::string line(no_cp932_facts);
    // Cut so that the line fits a cache line; only a report shows it.
    append_bounded(line, cache_text_limit - 8, name_for_report(wire, utf8));
    if (!line.empty() && is_lead_byte(static_cast<unsigned char>(line.back())) &&
        !is_trail_byte_at(line, line.size() - 1))
        line.pop_back();
    return line + "\r\n";
}

std::optional<std::string> no_cp932_line_name(std::string_view line)
{
    if (line.substr(0, no_cp932_facts.size()) != no_cp932_facts)
        return std::nullopt;
    line.remove_prefix(no_cp932_facts.size());
    line = line.substr(0, line.find('\n'));
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return std::string(line);
}
