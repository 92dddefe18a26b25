// The file-system primitives of copy, move and delete.
#include "fileops/file_primitives_win.h"

#include "base/cp932.h"
#include "base/paths.h"
#include "fileops/batch_list.h"
#include "pane/dir_scan_win.h"
#include "pane/local_listing_win.h"
#include "platform/os.h"

#include <windows.h>

#include <shellapi.h>

#include <direct.h>
#include <io.h>

#include <cstdio>
#include <vector>

namespace {

// The path without its trailing '/' or '\\' (a drive root "C:/" keeps it).
std::string without_separator(const std::string& path)
{
    std::string p = path;
    if (p.size() > 1 && (p.back() == '/' || p.back() == '\\') && !is_trail_byte_at(p, p.size() - 1) &&
        !(p.size() == 3 && p[1] == ':'))
        p.pop_back();
    return p;
}

std::string with_separator(const std::string& path)
{
    if (!path.empty() &&
        (path.back() == '/' || (path.back() == '\\' && !is_trail_byte_at(path, path.size() - 1))))
        return path;
    return path + '/';
}

// Neither system nor hidden: such an entry may be made normal to delete it.
bool may_normalise(const std::string& attr)
{
    return attr.size() >= 2 && attr[0] != 's' && attr[1] != 'h';
}

bool is_read_only(const std::string& path)
{
    std::string attr;
    return attribute_text(without_separator(path), attr) && attr.size() >= 3 && attr[2] == 'r';
}

// The entries of a directory other than "." and "..", read before anything in it changes.
struct scanned_entry {
    std::string name;
    bool is_dir;
};
bool scan_entries(const std::string& dir, std::vector<scanned_entry>& entries)
{
    dir_scan scan(with_separator(dir));
    if (!scan.found())
        return false;
    for (bool more = true; more; more = scan.next()) {
        std::string name = scan.name();
        if (scan.is_dir() && (name == "." || name == ".."))
            continue;
        entries.push_back({std::move(name), scan.is_dir()});
    }
    return true;
}

bool shell_operation(UINT function, const std::string& from, const std::string* to, FILEOP_FLAGS flags)
{
    std::string source;
    if (!from.empty() && from[0] == '@') {
        auto bytes = os::read_file(from.substr(1));
        if (!bytes)
            return false;
        source = shell_source_text(*bytes);
    } else {
        source = from;
        to_backslashes(source);
        source.append(2, '\0');
    }
    std::string target;
    if (to) {
        target = *to;
        to_backslashes(target);
        target.append(2, '\0');
    }
    SHFILEOPSTRUCTA op{};
    op.hwnd = nullptr;
    op.wFunc = function;
    op.pFrom = source.c_str();
    op.pTo = to ? target.c_str() : nullptr;
    op.fFlags = flags;
    int code = SHFileOperationA(&op);
    return code == 0 && !op.fAnyOperationsAborted;
}

// A free name beside dst for the copy in progress (short, so a long dst still fits).
std::string work_name(const std::string& dst, int n)
{
    std::string dir = dst;
    std::size_t sep = mbs_rfind_separator(dir);
    dir = sep == std::string::npos ? std::string() : dir.substr(0, sep + 1);
    char name[32];
    std::snprintf(name, sizeof name, "kv$%d.tmp", n);
    return dir + name;
}

// A file this copy made and could not finish.
void discard_partial(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return; // a directory is never a copy's half-written file
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

} // namespace

bool path_exists(const std::string& path)
{
    return _access(without_separator(path).c_str(), 0) == 0;
}

bool dir_exists(const std::string& path)
{
    dir_scan scan(with_separator(path));
    return scan.found();
}

namespace {
thread_local drive_type_cache* current_drive_types = nullptr;
}

drive_type_cache::drive_type_cache() : outer_(current_drive_types)
{
    types_.fill(-1);
    current_drive_types = this;
}

drive_type_cache::~drive_type_cache()
{
    current_drive_types = outer_;
}

bool is_removable_drive(const std::string& path)
{
    if (path.size() < 2 || path[1] != ':')
        return false;
    char letter = ascii_upper(path[0]);
    int* known = nullptr;
    if (current_drive_types && letter >= 'A' && letter <= 'Z') {
        known = &current_drive_types->types_[static_cast<std::size_t>(letter - 'A')];
        if (*known >= 0)
            return *known == DRIVE_REMOVABLE || *known == DRIVE_CDROM;
    }
    char root[4] = {letter, ':', '\\', '\0'};
    UINT type = GetDriveTypeA(root);
    if (known)
        *known = static_cast<int>(type);
    return type == DRIVE_REMOVABLE || type == DRIVE_CDROM;
}

bool make_dir(const std::string& path)
{
    return _mkdir(without_separator(path).c_str()) == 0;
}

bool remove_dir(const std::string& path)
{
    std::string p = without_separator(path);
    if (_rmdir(p.c_str()) == 0)
        return true;
    std::string attr;
    if (!attribute_text(p, attr) || !may_normalise(attr))
        return false;
    if (!set_attributes_from_text(p, "----"))
        return false;
    if (_rmdir(p.c_str()) == 0)
        return true;
    set_attributes_from_text(p, attr); // it stays: as it was
    return false;
}

bool rename_path(const std::string& from, const std::string& to)
{
    return std::rename(without_separator(from).c_str(), without_separator(to).c_str()) == 0;
}

bool delete_file(const std::string& path)
{
    if (std::remove(path.c_str()) == 0)
        return true;
    std::string attr;
    if (!attribute_text(path, attr) || !may_normalise(attr))
        return false;
    if (!set_attributes_from_text(path, "----"))
        return false;
    if (std::remove(path.c_str()) == 0)
        return true;
    set_attributes_from_text(path, attr); // it stays: as it was
    return false;
}

bool same_path(const std::string& a, const std::string& b)
{
    std::string fa = os::full_path(without_separator(a)), fb = os::full_path(without_separator(b));
    to_slashes(fa);
    to_slashes(fb);
    mbs_upper(fa);
    mbs_upper(fb);
    return fa == fb;
}

bool copy_file(const std::string& src, const std::string& dst)
{
    if (is_removable_drive(src) || is_removable_drive(dst))
        return shell_copy(src, dst);
    if (same_path(src, dst))
        return false; // a file copied onto itself would be replaced by nothing
    // The source is opened first and held while CopyFileA runs: nobody can delete or rename it
    // meanwhile, so CopyFileA gets past the source and a failure other than "dst exists" leaves
    // at dst only what this copy made. Writers are shared with, as CopyFileA does: a log that a
    // program keeps open and appends to is copied as it stands. Asking whether dst exists
    // beforehand would cost a whole directory search per file on some file systems.
    HANDLE held = CreateFileA(src.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE)
        return false; // a missing or busy source: dst is not touched
    struct source_hold {
        HANDLE handle;
        ~source_hold() { CloseHandle(handle); }
    } hold{held};
    if (CopyFileA(src.c_str(), dst.c_str(), TRUE))
        return true;
    DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
        discard_partial(dst); // nothing stood there: what is there now is this copy's
        return false;
    }
    // Written beside dst under a free name, then renamed into place: a copy that fails half-way
    // (full disk, unreadable source) never stands where a good file stood.
    for (int n = 0; n < 1000; ++n) {
        std::string work = work_name(dst, n);
        if (path_exists(work))
            continue; // someone's file: never touched, not even after a failure
        if (CopyFileA(src.c_str(), work.c_str(), TRUE)) {
            if (MoveFileExA(work.c_str(), dst.c_str(), MOVEFILE_REPLACE_EXISTING))
                return true;
            discard_partial(work);
            return false;
        }
        DWORD work_error = GetLastError();
        if (work_error != ERROR_FILE_EXISTS && work_error != ERROR_ALREADY_EXISTS) {
            discard_partial(work); // whatever CopyFileA left under the work name is ours alone
            return false;
        }
    }
    return false;
}

bool move_file(const std::string& src, const std::string& dst)
{
    return copy_file(src, dst) && delete_file(src);
}

bool copy_tree(const std::string& src_dir, const std::string& dst_dir)
{
    std::string src = with_separator(src_dir), dst = with_separator(dst_dir);
    std::vector<scanned_entry> entries;
    if (!scan_entries(src, entries))
        return false;
    for (const auto& e : entries) {
        if (!e.is_dir) {
            if (!copy_file(src + e.name, dst + e.name))
                return false;
            continue;
        }
        std::string from = src + e.name + "/", to = dst + e.name + "/";
        if (!make_dir(to) || !copy_tree(from, to))
            return false;
        if (is_read_only(from))
            set_attributes_from_text(without_separator(to), "--r-");
    }
    return true;
}

bool copy_dir(const std::string& src_dir, const std::string& dst_dir)
{
    if (is_removable_drive(src_dir) || is_removable_drive(dst_dir))
        return shell_copy(without_separator(src_dir), without_separator(dst_dir));
    if (!make_dir(dst_dir))
        return false;
    // Read-only only once the contents are in: where the flag is a permission, it would refuse them.
    bool ok = copy_tree(src_dir, dst_dir);
    if (is_read_only(src_dir))
        set_attributes_from_text(without_separator(dst_dir), "--r-");
    return ok;
}

bool delete_tree_contents(const std::string& dir)
{
    std::string d = with_separator(dir);
    std::vector<scanned_entry> entries;
    if (!scan_entries(d, entries))
        return false;
    for (const auto& e : entries) {
        if (e.is_dir) {
            if (!delete_tree_contents(d + e.name + "/") || !remove_dir(d + e.name + "/"))
                return false;
        } else if (!delete_file(d + e.name)) {
            return false;
        }
    }
    return true;
}

bool delete_dir(const std::string& dir)
{
    return delete_tree_contents(dir) && remove_dir(dir);
}

bool move_dir(const std::string& src_dir, const std::string& dst_dir)
{
    std::string src = without_separator(src_dir), dst = without_separator(dst_dir);
    if (MoveFileA(src.c_str(), dst.c_str()))
        return true;
    if (is_removable_drive(src_dir) || is_removable_drive(dst_dir))
        return shell_move(src, dst);
    // Never into something that is there: its contents are the user's.
    if (path_exists(dst))
        return false;
    if (!make_dir(dst_dir))
        return false;
    // The source goes only when all of it has arrived.
    if (!copy_tree(src_dir, dst_dir))
        return false;
    if (is_read_only(src_dir))
        set_attributes_from_text(dst, "--r-");
    return delete_tree_contents(src_dir) && remove_dir(src_dir);
}

bool shell_copy(const std::string& from, const std::string& to)
{
    return shell_operation(FO_COPY, from, &to, FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR);
}

bool shell_move(const std::string& from, const std::string& to)
{
    return shell_operation(FO_MOVE, from, &to, FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR);
}

bool shell_delete(const std::string& from, bool to_recycle_bin)
{
    return shell_operation(FO_DELETE, from, nullptr,
                           FOF_NOCONFIRMATION | (to_recycle_bin ? FOF_ALLOWUNDO : 0));
}
