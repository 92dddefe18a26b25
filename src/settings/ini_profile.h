// The profile-file engine: parsing, reading and rewriting INI text (code page 932 bytes).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One line of a section: "name=value", or a line without "=" (a comment, say), which has no
// value, is written back as it stands and never gives a value to a read.
struct ini_key {
    std::string name;
    std::optional<std::string> value;
};

// The keys that come before the first header form a section with an empty name.
struct ini_section {
    std::string name;
    std::vector<ini_key> keys;
};

struct ini_profile {
    std::vector<ini_section> sections;
};

// Lines end at CR or LF; blanks around lines, names and values are dropped, blank lines too.
// A header is "[" up to the last "]" of the line; a "[" line without "]" is an ordinary line.
ini_profile ini_parse(std::string_view text);
// The whole file again: "[name]" before each named section, "name=value" per key, CR LF after
// every line. The unnamed section, if any, comes first and has no header.
std::string ini_serialize(const ini_profile& profile);

// The profile read of one key: names match with ASCII case ignored (double-byte characters
// exactly), the first matching section and key win; the value loses one pair of enclosing
// quotes (single or double) and is then cut to size - 1 bytes, never inside a double-byte
// character. A missing key gives the default text without its trailing blanks, treated alike.
std::string ini_profile_get(const ini_profile& profile, std::string_view section, std::string_view key,
                            std::size_t size, std::string_view default_text);

// The profile write: no key deletes the first matching section, no value deletes the key;
// otherwise the key's value is replaced in place or the key is added at the end of its section,
// and a missing section is added at the end. Leading blanks of the value are not written.
// True when the profile changed (writing the value a key already has changes nothing).
bool ini_profile_set(ini_profile& profile, std::string_view section, std::optional<std::string_view> key,
                     std::optional<std::string_view> value);

// The program's own line scans, over raw text (lines end at CR or LF, nothing is trimmed).
// True when a line "[" + name + "]" exists; the header is cut at its last "]" and compared
// byte for byte (case matters).
bool ini_text_has_section(std::string_view text, std::string_view name);
// The name of the n-th header line (from 0), cut at its last "]".
std::optional<std::string> ini_text_section_name(std::string_view text, std::size_t n);
// Inserts the header line of a new section before the first header whose text up to its first
// "]" compares greater than "[" + name (character by character, a double-byte character as
// one code), or after the last line.
std::string ini_text_insert_section_sorted(std::string_view text, std::string_view name);

// atoi: leading blanks, a sign, digits; 0 for anything else; clamped instead of overflowing.
int ini_atoi(std::string_view text);
