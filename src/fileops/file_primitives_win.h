// The file-system primitives of copy, move and delete, shared with the file dialogs and FTP.
#pragma once

#include <array>
#include <string>

// Paths are local paths in code page 932 with forward slashes; a directory argument ends in '/'.
// Every operation returns its success.

bool path_exists(const std::string& path);
// A scan of path + "*.*" finds at least one entry.
bool dir_exists(const std::string& path);
// The path is in drive form and its drive is removable (2) or a CD-ROM (5).
bool is_removable_drive(const std::string& path);

// While one lives on a thread, is_removable_drive asks the system once per drive letter: a copy
// of many files asks for every file, and each question costs as much as a small copy.
class drive_type_cache {
public:
    drive_type_cache();
    ~drive_type_cache();
    drive_type_cache(const drive_type_cache&) = delete;
    drive_type_cache& operator=(const drive_type_cache&) = delete;

private:
    friend bool is_removable_drive(const std::string& path);
    std::array<int, 26> types_;
    drive_type_cache* outer_;
};
bool make_dir(const std::string& path);
// A read-only directory is made normal and removed; a system or hidden one is not.
bool remove_dir(const std::string& path);
bool rename_path(const std::string& from, const std::string& to);
// A read-only file is made normal and removed; a system or hidden one is not. A file that could
// not be removed keeps its attributes.
bool delete_file(const std::string& path);
// An existing dst is replaced. The copy is written beside dst first and takes dst's place only
// when it is complete, so a failed copy leaves whatever was at dst untouched. Copying a file
// onto itself fails and changes nothing.
bool copy_file(const std::string& src, const std::string& dst);
// Always by copying, then deleting the source; a failed copy leaves the source alone.
bool move_file(const std::string& src, const std::string& dst);
// Copies the contents of src_dir into the existing dst_dir; stops at the first failure.
bool copy_tree(const std::string& src_dir, const std::string& dst_dir);
// Makes dst_dir (it must not exist) and copies src_dir's contents into it.
bool copy_dir(const std::string& src_dir, const std::string& dst_dir);
bool delete_tree_contents(const std::string& dir);
bool delete_dir(const std::string& dir);
// One rename when it can; otherwise a copy into a new dst_dir and, only when the whole copy
// succeeded, the deletion of src_dir. An existing dst_dir is never merged into or emptied.
bool move_dir(const std::string& src_dir, const std::string& dst_dir);

// The shell's file operation. A `from` beginning with '@' names a list file whose entries are
// the sources ('/' becomes '\\'); otherwise `from` is one path. Success is a return of 0 with
// nothing aborted by the user.
bool shell_copy(const std::string& from, const std::string& to);
bool shell_move(const std::string& from, const std::string& to);
bool shell_delete(const std::string& from, bool to_recycle_bin);

// The same file named twice (full paths compared without regard to ASCII case).
bool same_path(const std::string& a, const std::string& b);
