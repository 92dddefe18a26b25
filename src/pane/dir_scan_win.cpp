// The enumeration of one directory (or one entry) with FindFirstFileA / FindNextFileA.
#include "pane/dir_scan_win.h"

#include "base/cp932.h"
#include "pane/entry_text.h"

dir_scan::dir_scan(const std::string& path)
{
    std::string pattern = path;
    // A directory ends in a separator; a name ending in a trail byte 0x5C ('ソ') is one entry.
    if (!pattern.empty() &&
        (pattern.back() == '/' || (pattern.back() == '\\' && !is_trail_byte_at(pattern, pattern.size() - 1))))
        pattern += "*.*";
    handle_ = FindFirstFileA(pattern.c_str(), &data_);
    found_ = handle_ != INVALID_HANDLE_VALUE;
}

dir_scan::~dir_scan()
{
    if (handle_ != INVALID_HANDLE_VALUE)
        FindClose(handle_);
}

bool dir_scan::next()
{
    found_ = found_ && FindNextFileA(handle_, &data_);
    return found_;
}

bool dir_scan::time_text(std::string& text) const
{
    return file_time_to_text(data_.ftLastWriteTime, text);
}

bool dir_scan::local_time(time_fields& fields) const
{
    return file_time_to_fields(data_.ftLastWriteTime, fields);
}

bool file_time_to_fields(const FILETIME& utc, time_fields& fields)
{
    FILETIME local;
    SYSTEMTIME t;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &t))
        return false;
    fields = {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
    return true;
}

bool file_time_to_text(const FILETIME& utc, std::string& text)
{
    time_fields fields;
    if (!file_time_to_fields(utc, fields))
        return false;
    text = format_time_text(fields);
    return true;
}
