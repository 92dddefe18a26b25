// The INI operations every configuration file goes through: profile reads and writes, the
// program's own section scans, and sorted insertion of new sections.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// True at the first header line whose text up to its last "]" equals the name byte for byte
// (case matters, unlike the profile reads); false when there is none or the file cannot be read.
bool ini_find_section(const std::string& path, std::string_view section);
// The name of the n-th header line (from 0) in file order, cut to a buffer of `size` bytes.
std::optional<std::string> ini_section_name(const std::string& path, std::size_t n, std::size_t size = 128);
// Removes the first section of that name with all its keys. False only when the file could not
// be rewritten (a missing section is no failure).
bool ini_delete_section(const std::string& path, std::string_view section);

// Profile reads: a missing file or key gives the default. The text is cut to a buffer of
// `size` bytes (at most size - 1 bytes come back).
std::string ini_get_string(const std::string& path, std::string_view section, std::string_view key,
                           std::size_t size, std::string_view default_text);
// The first byte of the value; 0 when the key exists with an empty value.
char ini_get_char(const std::string& path, std::string_view section, std::string_view key,
                  char default_letter);
// "+" is true, "-" false; "ON" and "OFF" in any case count as "+" and "-"; true exactly when
// the value begins with "+".
bool ini_get_bool(const std::string& path, std::string_view section, std::string_view key,
                  bool default_value);
// atoi of the value (0 for a value that is not a number).
int ini_get_int(const std::string& path, std::string_view section, std::string_view key, int default_value);

// Profile write of one key. With keep_sorted, a section that does not exist yet (by the
// case-sensitive scan) is inserted before the first header that compares greater. The new
// file replaces the old one in one step (work file, flush, rename): a failed write returns
// false and leaves the old file as it was. Writing the value a key already has does not touch
// the file.
bool ini_put_string(const std::string& path, std::string_view section, std::string_view key,
                    std::string_view value, bool keep_sorted = false);
// The one-letter text (empty for the byte 0).
bool ini_put_char(const std::string& path, std::string_view section, std::string_view key, char letter,
                  bool keep_sorted = false);
bool ini_put_bool(const std::string& path, std::string_view section, std::string_view key, bool value,
                  bool keep_sorted = false);
bool ini_put_int(const std::string& path, std::string_view section, std::string_view key, int value,
                 bool keep_sorted = false);

// Deletes the first key of that name in the first section of that name; false only when the
// file could not be rewritten.
bool ini_delete_key(const std::string& path, std::string_view section, std::string_view key);
