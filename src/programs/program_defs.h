// Program definitions: program.ini (manual programs) and programe.ini (extension programs).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class program_file { manual, extension };

// At most this many entries per file (commands 301-399, 401-499, 501-599).
constexpr std::size_t max_program_entries = 99;

// program_dir + "program.ini" or "programe.ini".
std::string program_file_path(program_file which);

// Writes the default entries, in table order, when the file does not exist; false at the first
// failed write. An existing file, even an empty one, is left alone.
bool ensure_default_programs(const std::string& path, program_file which);
bool ensure_default_programs(program_file which);

// The section name of entry `index` (the index-th header line), cut to `size` bytes.
std::optional<std::string> program_title_at(const std::string& path, std::size_t index,
                                            std::size_t size = 128);
// True when a header with exactly this name exists (case matters).
bool program_exists(const std::string& path, std::string_view title);
// One key of an entry, or the default when it is missing.
std::string read_program_key(const std::string& path, std::string_view title, std::string_view key,
                             std::size_t size, std::string_view default_text);

// One definition as a run needs it.
struct program_entry {
    std::string title;
    std::string program;   // forward slashes
    std::string parameter; // the template; "\"?F1\"" when the key is missing
    bool confirm = true;   // only a first character "+" asks (a missing key asks)
};

// The number of entries (header lines) in the file; 0 for a missing file.
std::size_t count_programs(const std::string& path);
// The entry of that section, with the defaults of missing keys.
program_entry read_program_entry(const std::string& path, std::string_view title);
// The text written for a parameter: one that begins with a quote of either kind goes inside
// single quotes, since the reader strips one pair of enclosing quotes ('?F1' would lose its own).
std::string stored_parameter(std::string_view parameter);
// Writes the three keys, inserting a new section in sorted place; the program with forward
// slashes. One write: when it fails, the file stays as it was.
bool save_program(const std::string& path, std::string_view title, std::string program,
                  std::string_view parameter, bool confirm);
// The same for an edited entry, whose old section goes in that same write: an edit that cannot
// be written leaves the old entry where it was.
bool replace_program(const std::string& path, std::string_view old_title, std::string_view title,
                     std::string program, std::string_view parameter, bool confirm);
// Removes the entry's whole section; false only when the file could not be rewritten.
bool delete_program(const std::string& path, std::string_view title);
// True when an entry other than `own` (the title being edited, empty for a new entry) has this
// title. Titles that differ only in ASCII case count as one: the reads and writes find a section
// that way, so the second would write into the first.
bool program_title_taken(const std::string& path, std::string_view title, std::string_view own);
// The titles the menus show, in file order: no more than max_program_entries, whose command ids
// the ranges hold (a file edited by hand may have more).
std::vector<std::string> program_titles(const std::string& path);

// True when an extension section names the file's extension: "/"-separated extensions up to
// the first "(", ignoring ASCII case; a section with "(SHIFT)" only while Shift is down, one
// without it only while Shift is up. A name without extension (or only a leading dot) matches
// nothing.
bool extension_matches(std::string_view title, std::string_view file_name, bool shift);
// The first section of the file, in file order, that matches.
std::optional<program_entry> find_extension_program(const std::string& path, std::string_view file_name,
                                                    bool shift);
