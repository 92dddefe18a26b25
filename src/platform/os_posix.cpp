// The OS seam on POSIX systems: the native build of the portable core and its tests.
#include "platform/os.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace os {

bool path_exists(const std::string& path)
{
    return ::access(path.c_str(), F_OK) == 0;
}

std::optional<std::uint64_t> file_size(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

bool is_directory(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool make_directory(const std::string& path)
{
    return ::mkdir(path.c_str(), 0777) == 0;
}

std::optional<std::string> read_file(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return std::nullopt;
    std::string data;
    char block[65536];
    for (;;) {
        ssize_t n = ::read(fd, block, sizeof block);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        data.append(block, static_cast<size_t>(n));
    }
    ::close(fd);
    return data;
}

static bool write_all(int fd, std::string_view data)
{
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

bool write_file_atomic(const std::string& path, std::string_view data)
{
    atomic_file f(path);
    return f.is_open() && f.write(data) && f.commit();
}

atomic_file::atomic_file(const std::string& path) : path_(path)
{
    // O_EXCL: a name that is taken, by a file or a directory, is never opened; the next is tried.
    for (int n = 0; n < 1000; ++n) {
        std::string work = path + ".kv~" + (n ? std::to_string(n) : std::string());
        int fd = ::open(work.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd >= 0) {
            work_ = work;
            handle_ = fd;
            return;
        }
        if (errno != EEXIST)
            return;
    }
}

atomic_file::~atomic_file()
{
    discard();
}

bool atomic_file::write(std::string_view data)
{
    ok_ = ok_ && is_open() && write_all(static_cast<int>(handle_), data);
    return ok_;
}

bool atomic_file::commit()
{
    if (!is_open())
        return false;
    int fd = static_cast<int>(handle_);
    handle_ = -1;
    bool ok = ok_ && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(work_.c_str(), path_.c_str()) == 0)
        return true;
    ::unlink(work_.c_str());
    return false;
}

void atomic_file::discard()
{
    if (!is_open())
        return;
    ::close(static_cast<int>(handle_));
    handle_ = -1;
    ::unlink(work_.c_str());
}

bool create_new_file(const std::string& path)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd < 0)
        return false;
    return ::close(fd) == 0;
}

bool remove_file(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

bool remove_directory_tree(const std::string& path)
{
    std::string dir = path;
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(st.st_mode))
        return ::unlink(dir.c_str()) == 0;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d)) {
            std::string name = e->d_name;
            if (name == "." || name == "..")
                continue;
            remove_directory_tree(dir + "/" + name);
        }
        ::closedir(d);
    }
    return ::rmdir(dir.c_str()) == 0;
}

bool rename_path(const std::string& from, const std::string& to)
{
    // rename() would silently replace an empty directory or a file at the target.
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0)
        return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool replace_file(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0;
}

std::optional<std::string> get_env(const char* name)
{
    const char* v = ::getenv(name);
    if (!v)
        return std::nullopt;
    return std::string(v);
}

bool set_env(const char* name, const char* value)
{
    return value ? ::setenv(name, value, 1) == 0 : ::unsetenv(name) == 0;
}

std::optional<std::vector<dir_item>> list_directory(const std::string& path)
{
    DIR* d = ::opendir(path.c_str());
    if (!d)
        return std::nullopt;
    std::string dir = path;
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    std::vector<dir_item> items;
    while (dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        items.push_back({name, is_directory(dir + name), false});
    }
    ::closedir(d);
    return items;
}

bool set_file_local_time(const std::string& path, int year, int month, int day, int hour, int minute,
                         int second)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    std::time_t when = std::mktime(&t);
    if (when == static_cast<std::time_t>(-1) || t.tm_mon != month - 1 || t.tm_mday != day)
        return false;
    timespec times[2] = {{0, UTIME_OMIT}, {when, 0}};
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

std::string current_directory()
{
    char buf[PATH_MAX];
    return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

bool set_current_directory(const std::string& path)
{
    return ::chdir(path.c_str()) == 0;
}

std::string full_path(const std::string& path)
{
    if (!path.empty() && path[0] == '/')
        return path;
    std::string cwd = current_directory();
    if (cwd.empty())
        return path;
    if (cwd.back() != '/')
        cwd += '/';
    return cwd + path;
}

void sleep_ms(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::uint64_t now_ms()
{
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace os
