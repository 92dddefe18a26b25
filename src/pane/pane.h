// A pane's model: its path, wildcard, listing and information line, and the path forms it knows.
#pragma once

#include "pane/listing.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What the pane's view does when the model changes. Every operation may be left as it is: the
// model is complete without a window.
class pane_hooks {
public:
    virtual ~pane_hooks() = default;
    // The pane climbed to an ancestor of its directory: show the new path in the selected entry
    // of the current-directory box.
    virtual void path_replaced() {}
    virtual void suspend_redraw() {}
    virtual void resume_redraw() {}
    // The rows were sorted: scroll the given row into view (-1: none) and redraw the visible rows.
    virtual void rows_sorted(int followed_row) { (void)followed_row; }
    // The information line and the status-bar text are new.
    virtual void info_changed() {}
    // A listing was read: the active pane's view updates the main window's command states.
    virtual void listing_read() {}
    // Rows were added or removed, or the cursor moved, outside a read (the file operations): the
    // view takes the new row count, marks and cursor.
    virtual void rows_changed() {}
    // Scroll the row into view.
    virtual void show_row(int row) { (void)row; }
};

// One pane: 1 the left, 2 the right.
struct Pane {
    int index = 1;
    std::string path;        // pane path: forward slashes, ends in '/', at most 255 bytes
    std::string return_path; // where going to the same directory mark twice returns
    std::string wildcard = "*.*";
    listing rows;
    std::string info_text;   // the information line above the list
    std::string status_text; // the volume label in the pane's section of the status bar
    pane_hooks* hooks = nullptr;
};

enum class path_kind { drive, network, ftp, other };

// Drive 'C:/x/' (second character ':'), network '//server/share/x/' (first character '/'),
// FTP ("ftp:" at the start).
path_kind kind_of_path(std::string_view path);
// A pane path is local when its second character is ':' or its first is '/'.
bool is_local_path(std::string_view path);
// 'C:/' of a drive path, '//server/share/' of a network path; the path itself otherwise.
std::string volume_root(std::string_view path);
// True when nothing follows the volume root.
bool is_at_root(std::string_view path);

// The local listing's filter for one entry the scan yields.
struct scan_facts {
    std::string_view name;
    bool is_dir = false;
    bool system = false;
    bool hidden = false;
};
bool keep_local_entry(const scan_facts& entry, std::string_view pane_path, std::string_view wildcard,
                      bool hide_system);

// The sum over marked file rows of their sizes, each rounded up to a whole allocation unit.
std::uint64_t marked_total(const listing& rows, std::uint64_t unit);
// "%10d %s %22s %s(%s)": count, label A, amount, label B, file system name.
std::string info_line_text(std::uint64_t count, std::string_view label_a, std::string_view amount,
                           std::string_view label_b, std::string_view file_system);

// The rows an action takes: the marked rows in ascending order, or the cursor row when none is
// marked.
std::vector<int> rows_to_process(const Pane& pane);

// The pane forms of the listing operations (the view is told through the pane's hooks).
// -1 sorts by the current SortState; a column first updates it.
void sort_listing(Pane& pane, int column);
int find_entry(const Pane& pane, bool is_dir, std::string_view file_name);
bool is_dir_entry(const Pane& pane, int row);

// Where the root of a pane path ends: after 'C:/', after '//server/share/', after the first '/'
// behind "ftp://"; the whole length when the path has no such root.
std::size_t root_length(std::string_view path);
// The first entry a path belongs to: the entry of its drive letter, the entry agreeing with it on
// '//server/share', the entry agreeing with it up to the first '/' after "ftp://"; -1 for none.
int entry_for_path(const std::vector<std::string>& entries, std::string_view path);
// The pane path of an FTP directory: "ftp://", the server text (at most 250 bytes) and the
// directory, cut to a path buffer.
std::string ftp_pane_path(std::string_view server, std::string_view directory);
// The remote directory of an FTP pane path: from the first '/' after "ftp://" ("/" for none).
std::string ftp_directory_of(std::string_view path);
// Both paths are FTP paths of one server: they agree up to the first '/' after "ftp://".
bool same_ftp_server(std::string_view a, std::string_view b);
// An FTP path of the server `old_server` (compared with ASCII case ignored) gets `new_server` in
// its place; false (path unchanged) for any other path.
bool replace_ftp_server(std::string& path, std::string_view old_server, std::string_view new_server);
// The network folders of the "netdrive" setting ('//srv/a/://srv/b/'): elements separated by
// ':', taken from the front as long as they begin with '/'.
std::vector<std::string> netdrive_folders(std::string_view setting);
// Whether a file of time text `mine` is newer than the other pane's file of time text `theirs`:
// later to the minute, or the same minute and at least two seconds later (FAT keeps times to two
// seconds).
bool is_newer_time(std::string_view mine, std::string_view theirs);
// The target of a copy or move lies inside the directory `name` of `source`: `target` begins with
// source + name + '/' or '\', compared as file names are (ASCII case ignored).
bool target_inside(std::string_view source, std::string_view name, std::string_view target);
