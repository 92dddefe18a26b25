// The lines of the help text that a help window shows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

constexpr std::size_t help_buffer_size = 4096;

// Lines first_line .. first_line + count - 1 (1-based) of the file's content, each ended with
// CR LF; nothing unless every line was there and they fit the 4096-byte buffer with its
// terminator. A first line below 2 gives nothing.
std::optional<std::string> help_lines(std::string_view content, int first_line, int count);
