// The list files of the file operations: kv_rsp1.tmp / kv_rsp2.tmp handed to the shell, and the
// transfer list the FTP operations read.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

constexpr char batch_list_name_1[] = "kv_rsp1.tmp";
constexpr char batch_list_name_2[] = "kv_rsp2.tmp";

// The path of a list file in the temporary directory (directory form, or empty: then the bare
// name, which lands in the current directory).
std::string list_file_path(const std::string& temp_dir, const char* name);

// A path as the shell's list takes it: a trailing separator removed (a trail byte 0x5C of a
// double-byte character is not a separator).
std::string batch_list_entry(std::string_view path);

// The bytes of a whole list: each path and one zero byte, then one more zero byte.
std::string batch_list_bytes(const std::vector<std::string>& paths);

// The shell's source text of a list file's bytes: every entry with '/' turned into '\\', each
// ended by a zero byte, the whole ended by a second zero byte. Bytes after the list's end are
// ignored; a list without its end still gets one. Empty entries end the list.
std::string shell_source_text(std::string_view list_bytes);

// A list file written entry by entry, byte for byte.
class batch_list_file {
public:
    batch_list_file() = default;
    ~batch_list_file();
    batch_list_file(const batch_list_file&) = delete;
    batch_list_file& operator=(const batch_list_file&) = delete;

    // Creates (or empties) the file; false when it cannot be made.
    bool create(const std::string& path);
    // One entry and its zero byte; false when the write failed.
    bool add(std::string_view path);
    // The final zero byte, then close; false when writing or closing failed.
    bool finish();
    // Closes (if open) and deletes the file.
    void discard();

    std::size_t count() const { return count_; }
    const std::string& path() const { return path_; }

private:
    std::FILE* file_ = nullptr;
    std::string path_;
    std::size_t count_ = 0;
};

// The 14-digit time of a time text ('2010. 1. 5  9:05.07' gives "20100105090507"): year,
// month, day, hour, minute and second taken from their places, blanks turned into '0'.
std::string time14_of_text(std::string_view time_text);

// One line of the transfer list, ended by carriage return and line feed:
// "Type=dir name" or "Type=file;Modify=YYYYMMDDhhmmss name".
std::string transfer_list_line(bool is_dir, std::string_view file_name, std::string_view time_text);
