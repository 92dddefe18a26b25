// Pure path and text operations: separators, bounded copies, parent paths, swap names.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Buffer sizes whose limits the user can see: paths and names are cut to fit them.
constexpr std::size_t path_size = 256;
constexpr std::size_t name_size = 128;

// Every '\\' becomes '/'; trail bytes of double-byte characters are never changed.
void to_slashes(std::string& text);
void to_slashes(char* text);
// Every '/' becomes '\\' (no double-byte check: '/' is never a trail byte).
void to_backslashes(std::string& text);
void to_backslashes(char* text);

// Copies the source if it fits in n bytes with the terminator, otherwise its first n - 1 bytes.
void copy_bounded(char* destination, std::size_t n, std::string_view source);
// Appends as much of the source as fits in n bytes with the terminator.
void append_bounded(char* destination, std::size_t n, std::string_view source);
// The std::string forms: the text a buffer of n bytes would hold.
std::string bounded(std::string_view source, std::size_t n);
void append_bounded(std::string& destination, std::size_t n, std::string_view source);

// C:/a/b/ and C:/a/b give C:/a/; C:/ gives C:; a path without a separator is left alone.
void parent_path(std::string& path);

// The work file name of a rewrite: C:/a/list.txt gives C:/a/list.$$$, C:/a/README gives
// C:/a/README.$$$.
std::string make_swap_name(std::string_view path);

// The TZ text for a time-zone bias in minutes (UTC = local time + bias): -540 gives "TZ=JST-9:0".
std::string tz_text(long bias);

// The directory part of a file path with forward slashes, ending with "/" (bounded to a path
// buffer): the program directory from the executable's own path.
std::string directory_of(std::string_view file_path);
