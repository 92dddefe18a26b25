// Program definitions: program.ini (manual programs) and programe.ini (extension programs).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

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
