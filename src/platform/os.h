// The operating-system seam of the portable core: files, environment, directories, clock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Every path is a byte string in code page 932 (on Windows handed to the ANSI calls as it is).
namespace os {

// True when something (file or directory) exists at the path (_access mode 0).
bool path_exists(const std::string& path);
bool is_directory(const std::string& path);
bool make_directory(const std::string& path);
// The byte count of a file; nothing when there is no file at the path (or it is a directory).
std::optional<std::uint64_t> file_size(const std::string& path);

// The whole file, or nothing when it cannot be opened or read.
std::optional<std::string> read_file(const std::string& path);

// Writes the bytes to a sibling work file, flushes it to the disk and renames it over the path,
// so the path holds either the old or the new content, never a part. False leaves the old file.
bool write_file_atomic(const std::string& path, std::string_view data);

// A file written in pieces that takes the path's place only at commit (write_file_atomic in
// pieces). Its work file is made exclusively under the first free name of "<path>.kv~",
// "<path>.kv~1", ... beside the path, so a file of the user's is never overwritten; a work file
// that is not committed is removed again.
class atomic_file {
public:
    explicit atomic_file(const std::string& path);
    ~atomic_file();
    atomic_file(const atomic_file&) = delete;
    atomic_file& operator=(const atomic_file&) = delete;

    bool is_open() const { return handle_ != -1; }
    // False once any write failed (and for every write after it).
    bool write(std::string_view data);
    // Flushes, closes and renames the work file over the path; false leaves the old file.
    bool commit();

private:
    void discard();

    std::string path_;
    std::string work_;
    std::intptr_t handle_ = -1;
    bool ok_ = true;
};

// Creates an empty file that must not exist yet; false if it exists or cannot be made.
bool create_new_file(const std::string& path);

bool remove_file(const std::string& path);
// Removes a directory with everything in it (a trailing separator is allowed); true when
// nothing is left at the path, also when nothing was there.
bool remove_directory_tree(const std::string& path);
// Renames a file or a directory; fails when something exists at the target.
bool rename_path(const std::string& from, const std::string& to);
// Renames, replacing an existing target.
bool replace_file(const std::string& from, const std::string& to);

// One entry of a directory as listed ("." and ".." never).
struct dir_item {
    std::string name;
    bool is_directory = false;
    bool hidden_or_system = false; // Windows attributes; never set on POSIX
};
// The entries of a directory (a trailing separator is allowed); nothing when it cannot be read.
std::optional<std::vector<dir_item>> list_directory(const std::string& path);
// Sets the last-write time of a file to a local time; false when the time is not one or the file
// cannot be changed.
bool set_file_local_time(const std::string& path, int year, int month, int day, int hour, int minute,
                         int second);

// The value of an environment variable; nothing when it is not set.
std::optional<std::string> get_env(const char* name);
bool set_env(const char* name, const char* value);

std::string current_directory();
bool set_current_directory(const std::string& path);
// _fullpath: the absolute form of a path relative to the current directory (separators as the
// platform gives them); the input unchanged when it cannot be resolved.
std::string full_path(const std::string& path);

void sleep_ms(int ms);
// A monotonic clock in milliseconds.
std::uint64_t now_ms();

} // namespace os
