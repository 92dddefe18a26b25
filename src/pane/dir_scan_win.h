// The enumeration of one directory (or one entry) with FindFirstFileA / FindNextFileA.
#pragma once

#include "pane/entry_text.h"

#include <windows.h>

#include <cstdint>
#include <string>

class dir_scan {
public:
    // A path ending in '/' or '\\' gets "*.*"; any other path yields that entry alone.
    explicit dir_scan(const std::string& path);
    ~dir_scan();
    dir_scan(const dir_scan&) = delete;
    dir_scan& operator=(const dir_scan&) = delete;

    // True while the scan stands on an entry; false at once when the pattern matched nothing.
    bool found() const { return found_; }
    // Moves to the next entry; false at the end.
    bool next();

    const char* name() const { return data_.cFileName; }
    std::uint32_t attributes() const { return data_.dwFileAttributes; }
    bool is_dir() const { return data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY; }
    bool is_system() const { return data_.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM; }
    bool is_hidden() const { return data_.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN; }
    std::uint64_t size() const
    {
        return (static_cast<std::uint64_t>(data_.nFileSizeHigh) << 32) | data_.nFileSizeLow;
    }
    const FILETIME& write_time() const { return data_.ftLastWriteTime; }
    // The last-write time in local time as a time text; false when it cannot be converted.
    bool time_text(std::string& text) const;
    // The same as time fields.
    bool local_time(time_fields& fields) const;

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA data_{};
    bool found_ = false;
};

// A file time (UTC) in local time as a time text or as time fields; false when it cannot be
// converted.
bool file_time_to_text(const FILETIME& utc, std::string& text);
bool file_time_to_fields(const FILETIME& utc, time_fields& fields);
