// The texts of a row: name and type, grouped sizes, time and attribute texts, the wildcard match.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct FileEntry;

// Time texts that stand for a time that is not known.
constexpr std::string_view unknown_local_time = "????. ?. ?  ?:??.??";
constexpr std::string_view unknown_ftp_time = "????. ?. ? ??:??.??";
constexpr std::string_view unknown_attributes = "????";
constexpr std::string_view dir_size_text = "<dir>";

struct entry_name_parts {
    std::string name;
    std::string type;
};

// 'a.tar.gz' gives 'a.tar' and 'gz'; directories, "..", names without a '.' and names whose only
// '.' is the first byte stay whole; 'a.' gives 'a' and an empty type.
entry_name_parts split_entry_name(std::string_view file_name, bool is_dir);
// name, then '.' and type when type is not empty; at most 255 bytes.
std::string join_entry_name(const FileEntry& row);

// The file name against a wildcard such as "*.txt": base and extension are matched separately,
// '*' takes the first occurrence of the character after it and never backtracks.
bool match_wildcard(std::string_view file_name, std::string_view pattern);

// 1234567 gives "1,234,567".
std::string group_digits(std::uint64_t value);
// The same written into `out` (at least 27 bytes); returns its length.
std::size_t group_digits_into(char* out, std::uint64_t value);
// The value of a grouped size text; 0 for anything that is not a number ("?", "<dir>").
std::uint64_t parse_size_text(std::string_view text);

struct time_fields {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
// "%d.%2d.%2d %2d:%02d.%02d": '2010. 1. 5  9:05.07'.
std::string format_time_text(const time_fields& t);
// The same written into `out` (at least 72 bytes, 32 for fields that fit in 16 and 8 bits);
// returns its length.
std::size_t format_time_text_into(char* out, const time_fields& t);
// Reads year, month, day, hour, minute and second as "%d.%d.%d %d:%d.%d" would (blanks before a
// number are skipped); nothing when fewer than six numbers are there.
std::optional<time_fields> parse_time_text(std::string_view text);
// The time text of an FTP row from its 14-digit time ("20100105090507"), or the unknown FTP time.
std::string ftp_time_text(std::string_view time14);

// Attribute bits (system 0x4, hidden 0x2, read-only 0x1, archive 0x20) as 's', 'h', 'r', 'a'.
std::string attr_text_from_bits(std::uint32_t bits);
// The same written into `out` (4 bytes).
void attr_text_into(char* out, std::uint32_t bits);
// The bits an attribute text asks for; FILE_ATTRIBUTE_NORMAL (0x80) when it asks for none.
std::uint32_t attr_bits_from_text(std::string_view text);

// The row an FTP listing line gives (icons chosen by the caller).
FileEntry make_ftp_entry(bool is_dir, std::string_view file_name, std::optional<std::uint64_t> size,
                         std::optional<std::string_view> time14, int folder_icon, int file_icon);
