// The OS seam on Windows: ANSI calls on code page 932 byte strings.
#include "platform/os.h"

#include <windows.h>

#include <cstdlib>

namespace os {

bool path_exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::uint64_t> file_size(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool is_directory(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool make_directory(const std::string& path)
{
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

std::optional<std::string> read_file(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string data;
    char block[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(h, block, sizeof block, &n, nullptr)) {
            CloseHandle(h);
            return std::nullopt;
        }
        if (n == 0)
            break;
        data.append(block, n);
    }
    CloseHandle(h);
    return data;
}

bool write_file_atomic(const std::string& path, std::string_view data)
{
    atomic_file f(path);
    return f.is_open() && f.write(data) && f.commit();
}

atomic_file::atomic_file(const std::string& path) : path_(path)
{
    // CREATE_NEW: a name that is taken, by a file or a directory, is never opened; the next is tried.
    for (int n = 0; n < 1000; ++n) {
        std::string work = path + ".kv~" + (n ? std::to_string(n) : std::string());
        HANDLE h =
            CreateFileA(work.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            work_ = work;
            handle_ = reinterpret_cast<std::intptr_t>(h);
            return;
        }
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED)
            return;
    }
}

atomic_file::~atomic_file()
{
    discard();
}

bool atomic_file::write(std::string_view data)
{
    HANDLE h = reinterpret_cast<HANDLE>(handle_);
    while (ok_ && is_open() && !data.empty()) {
        DWORD chunk = data.size() > 0x100000 ? 0x100000 : static_cast<DWORD>(data.size());
        DWORD written = 0;
        ok_ = WriteFile(h, data.data(), chunk, &written, nullptr) && written == chunk;
        data.remove_prefix(chunk);
    }
    return ok_ && is_open();
}

bool atomic_file::commit()
{
    if (!is_open())
        return false;
    HANDLE h = reinterpret_cast<HANDLE>(handle_);
    handle_ = -1;
    bool ok = ok_ && FlushFileBuffers(h);
    ok = CloseHandle(h) && ok;
    // Windows never replaces a read-only file; Wine would, where the user has the folder's
    // write permission. Both refuse it here.
    DWORD attributes = GetFileAttributesA(path_.c_str());
    ok = ok && (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY));
    if (ok && MoveFileExA(work_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(work_.c_str());
    return false;
}

void atomic_file::discard()
{
    if (!is_open())
        return;
    CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = -1;
    DeleteFileA(work_.c_str());
}

bool create_new_file(const std::string& path)
{
    HANDLE h =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    return CloseHandle(h) != 0;
}

bool remove_file(const std::string& path)
{
    return DeleteFileA(path.c_str()) != 0;
}

bool remove_directory_tree(const std::string& path)
{
    std::string dir = path;
    while (dir.size() > 3 && (dir.back() == '/' || dir.back() == '\\'))
        dir.pop_back();
    DWORD a = GetFileAttributesA(dir.c_str());
    if (a == INVALID_FILE_ATTRIBUTES)
        return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
    // A reparse point (a junction or a symbolic link; under Wine a Unix link to a directory) is
    // removed itself, never followed: its attributes are those of what it leads to, so they are
    // not touched either.
    bool link = (a & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    bool read_only = (a & FILE_ATTRIBUTE_READONLY) != 0 && !link;
    if (!(a & FILE_ATTRIBUTE_DIRECTORY)) {
        if (DeleteFileA(dir.c_str()))
            return true;
        return read_only && SetFileAttributesA(dir.c_str(), a & ~FILE_ATTRIBUTE_READONLY) &&
               DeleteFileA(dir.c_str());
    }
    if (read_only)
        SetFileAttributesA(dir.c_str(), a & ~FILE_ATTRIBUTE_READONLY);
    if (!link) {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((dir + "/*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string name = fd.cFileName;
                if (name != "." && name != "..")
                    remove_directory_tree(dir + "/" + name);
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
    }
    return RemoveDirectoryA(dir.c_str()) != 0;
}

bool rename_path(const std::string& from, const std::string& to)
{
    return MoveFileA(from.c_str(), to.c_str()) != 0;
}

bool replace_file(const std::string& from, const std::string& to)
{
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
}

std::optional<std::string> get_env(const char* name)
{
    char small[512];
    DWORD n = GetEnvironmentVariableA(name, small, sizeof small);
    if (n == 0) {
        if (GetLastError() == ERROR_ENVVAR_NOT_FOUND)
            return std::nullopt;
        return std::string();
    }
    if (n < sizeof small)
        return std::string(small, n);
    std::string big(n, '\0');
    DWORD m = GetEnvironmentVariableA(name, big.data(), n);
    big.resize(m < n ? m : 0);
    return big;
}

bool set_env(const char* name, const char* value)
{
    // Both the process block and the runtime's copy, so getenv and child processes agree.
    std::string text = std::string(name) + "=" + (value ? value : "");
    bool ok = SetEnvironmentVariableA(name, value) != 0;
    return _putenv(text.c_str()) == 0 && ok;
}

std::optional<std::vector<dir_item>> list_directory(const std::string& path)
{
    std::string pattern = path;
    if (!pattern.empty() && pattern.back() != '/' && pattern.back() != '\\')
        pattern += '/';
    pattern += "*.*";
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
    std::vector<dir_item> items;
    if (h == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND)
            return items;
        return std::nullopt;
    }
    do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..")
            continue;
        items.push_back({name, (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                         (fd.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0});
    } while (FindNextFileA(h, &fd));
    bool complete = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(h);
    if (!complete)
        return std::nullopt;
    return items;
}

bool set_file_local_time(const std::string& path, int year, int month, int day, int hour, int minute,
                         int second)
{
    for (int v : {year, month, day, hour, minute, second})
        if (v < 0 || v > 0xFFFF)
            return false;
    SYSTEMTIME local{};
    local.wYear = static_cast<WORD>(year);
    local.wMonth = static_cast<WORD>(month);
    local.wDay = static_cast<WORD>(day);
    local.wHour = static_cast<WORD>(hour);
    local.wMinute = static_cast<WORD>(minute);
    local.wSecond = static_cast<WORD>(second);
    FILETIME local_time, utc;
    if (!SystemTimeToFileTime(&local, &local_time) || !LocalFileTimeToFileTime(&local_time, &utc))
        return false;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    bool ok = SetFileTime(h, nullptr, nullptr, &utc) != 0;
    return CloseHandle(h) && ok;
}

std::string current_directory()
{
    char buf[MAX_PATH + 1];
    DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
    return (n > 0 && n < sizeof buf) ? std::string(buf, n) : std::string();
}

bool set_current_directory(const std::string& path)
{
    return SetCurrentDirectoryA(path.c_str()) != 0;
}

std::string full_path(const std::string& path)
{
    char buf[MAX_PATH + 1];
    if (!_fullpath(buf, path.c_str(), sizeof buf))
        return path;
    return buf;
}

void sleep_ms(int ms)
{
    Sleep(static_cast<DWORD>(ms));
}

std::uint64_t now_ms()
{
    return GetTickCount64();
}

} // namespace os
