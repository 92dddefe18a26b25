// The rules the file operation worker decides by, without touching the file system.
#pragma once

#include <string>
#include <string_view>

// What copy (1, 0), move (1, 1) and delete (0, 1) do.
struct FileOpMode {
    int to_target = 1;
    int remove_source = 0;
};
constexpr FileOpMode copy_mode{1, 0};
constexpr FileOpMode move_mode{1, 1};
constexpr FileOpMode delete_mode{0, 1};

// Whether a copy, move or delete asks first: a deletion and anything with an FTP side always; a
// copy or move between local directories only while its confirm switch is on.
bool asks_first(FileOpMode mode, bool both_local, bool confirm_copy, bool confirm_move);

// System ('s' at 0) and hidden ('h' at 1) rows are never copied, moved or deleted at the top.
bool is_protected_row(std::string_view attr_text);

// The target directory lies inside (or is) the directory source_dir + name: it begins with
// that path and the next character is '/' or '\\'. Compared without regard to ASCII case, as
// the file system compares names.
bool lies_inside(std::string_view target_dir, std::string_view source_dir, std::string_view name);

// File names equal without regard to ASCII case (a double-byte character compares exactly).
bool same_name(std::string_view a, std::string_view b);
