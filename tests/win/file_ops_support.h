// For the file operation tests: trees, held files, panes on folders, the worker run as its dialog does.
#pragma once

#include "fileops/file_rw_win.h"
#include "pane/entry_text.h"
#include "pane/local_listing_win.h"
#include "platform/os.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>
#include <tuple>
#include <utility>

namespace fops {

// Makes entries below `base` ('/'-ended) in order: "d/" a directory, "f=text" a file of text, "f" one of "x".
inline bool make_tree(const std::string& base, std::initializer_list<std::string> entries)
{
    for (const std::string& e : entries) {
        std::size_t eq = e.find('=');
        bool ok = e.back() == '/' ? CreateDirectoryA((base + e.substr(0, e.size() - 1)).c_str(), nullptr) != 0
                  : eq == std::string::npos ? write_text_file(base + e, "x")
                                            : write_text_file(base + e.substr(0, eq), e.substr(eq + 1));
        if (!ok)
            return false;
    }
    return true;
}

// Records what the view would be told.
struct recording_hooks : pane_hooks {
    int replaced = 0, info = 0, read = 0, rows = 0;
    void path_replaced() override { ++replaced; }
    void info_changed() override { ++info; }
    void listing_read() override { ++read; }
    void rows_changed() override { ++rows; }
};

// Opened for reading and writing with no sharing: nobody else may open, replace or delete it.
class held_file {
public:
    explicit held_file(const std::string& path, DWORD access = GENERIC_READ | GENERIC_WRITE, DWORD share = 0)
        : handle_(CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr))
    {
    }
    ~held_file()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

// The file names of a directory (no "." or ".."), to compare whole directories.
inline std::set<std::string> names_in(const std::string& dir)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((dir + "/*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string n = data.cFileName;
        if (n != "." && n != "..")
            names.insert(n);
    } while (FindNextFileA(h, &data));
    FindClose(h);
    return names;
}

inline std::set<std::string> row_names(const Pane& pane)
{
    std::set<std::string> out;
    for (std::size_t i = 0; i < pane.rows.size(); ++i)
        out.insert(join_entry_name(pane.rows.row(i)));
    return out;
}

inline int row_of(const Pane& pane, const std::string& file_name)
{
    for (std::size_t i = 0; i < pane.rows.size(); ++i)
        if (join_entry_name(pane.rows.row(i)) == file_name)
            return static_cast<int>(i);
    return -1;
}

inline void mark(Pane& pane, std::initializer_list<const char*> names)
{
    for (const char* n : names) {
        int r = row_of(pane, n);
        if (r >= 0)
            pane.rows.set_marked(static_cast<std::size_t>(r), true);
    }
}

inline Pane open_pane(int index, const std::string& dir)
{
    Pane pane;
    pane.index = index;
    pane.path = dir.back() == '/' ? dir : dir + "/";
    read_listing(pane, false);
    return pane;
}

// A source folder src/ and a target folder dst/ in a temporary directory; the process's current
// directory (the worker moves it into the source) and the hidden-entry switch are given back.
class file_ops_test : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(make_tree(dir.path() + "/", {"src/", "dst/"})); }
    void TearDown() override
    {
        os::set_current_directory(saved_cwd); // a current directory cannot be removed
        hide_system_files() = saved_hide;
    }
    std::string s(const std::string& name = "") const { return dir.path() + "/src/" + name; }
    std::string t(const std::string& name = "") const { return dir.path() + "/dst/" + name; }
    // Runs the worker on the job of the panes as the notice dialog would, then applies its pane
    // changes; returns the worker's code. Without `temp` the job has no temporary directory.
    int run(FileOpMode mode, Pane& from, Pane* to, bool use_trash = false, bool* batch = nullptr,
            bool temp = true)
    {
        file_rw_job job = make_file_rw_job(mode, from, to);
        job.use_trash = use_trash;
        job.temp_dir = temp ? dir.path() + "/" : "";
        os::set_current_directory(from.path);
        thread_file_rw worker(job);
        if (!worker.begin())
            return -1;
        worker.join();
        int code = worker.release();
        apply_pane_changes(worker.changes(), from, to);
        if (batch)
            *batch = worker.batch();
        return code;
    }
    // The active pane on src/ and the other on `target`, read as a pane shows them.
    std::pair<Pane, Pane> open_panes(const std::string& target) const
    {
        return {open_pane(1, s()), open_pane(2, target)};
    }

    temp_dir dir;
    std::string saved_cwd = os::current_directory();
    bool saved_hide = hide_system_files();
};

} // namespace fops
