// Process-wide path and text operations: separators, bounded copies, temporary and swap names.
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
// The absolute form of a path relative to the current directory, with forward slashes.
std::string absolute_path(std::string_view relative);

// The work file name of a rewrite: C:/a/list.txt gives C:/a/list.$$$, C:/a/README gives
// C:/a/README.$$$.
std::string make_swap_name(std::string_view path);

// An environment variable as a directory ("C:/TEMP/", upper case) or as upper-case text;
// empty when it is not set or set to nothing.
std::string read_env_dir(const char* name, bool directory);

// The directory for temporary files: TMP_RAM, then TMP, then TEMP (read afresh each time).
std::string temp_directory();

// Makes a new empty file from a template such as "LIB_$$$$.TMP" in the temporary directory,
// numbering the run of '$' from 0; an existing name, even one made a moment ago by another
// process, is never reused. False when the template has no '$' or the numbers run out.
bool make_temp_file(std::string& path, std::string_view name_template);

// The TZ text for a time-zone bias in minutes (UTC = local time + bias): -540 gives "TZ=JST-9:0".
std::string tz_text(long bias);

// The directory part of a file path with forward slashes, ending with "/" (bounded to a path
// buffer): the program directory from the executable's own path.
std::string directory_of(std::string_view file_path);
