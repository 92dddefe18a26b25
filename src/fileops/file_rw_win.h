// Copy, move and delete of the marked rows: the worker, its notice dialog and the commands.
#pragma once

#include "fileops/file_rw_rules.h"
#include "fileops/fileops_host_win.h"
#include "pane/pane.h"
#include "toolkit/control_win.h"
#include "toolkit/thread.h"
#include "toolkit/timer_win.h"

#include <memory>
#include <string>
#include <vector>

// One row the operation processes, taken from the active pane before the worker starts.
struct file_rw_row {
    int row = 0; // its position in the active pane when the operation started
    std::string file_name;
    bool is_dir = false;
    std::string attr_text;
};

// Everything the worker reads; filled in on the main thread before it starts.
struct file_rw_job {
    FileOpMode mode;
    std::string source_dir; // S: the active pane's path
    std::string target_dir; // T: the other pane's path (copy and move)
    bool use_trash = true;
    std::string temp_dir;        // where the list files go (directory form, or empty)
    bool same_directory = false; // two panes open on the same directory text
    std::vector<file_rw_row> rows;
};

// A change of the panes, made on the main thread in the order the worker recorded them.
struct pane_change {
    enum kind_t {
        remove_active_row, // the row at `row` of the active pane
        remove_other_row,  // the same entry in the other pane (same directory), at or near `row`
        add_other_row,     // a same-named row of the other pane goes; a new row is added, cursor on it
        sort_other,
        reread_active, // cursor kept on the same entry when it is still there
        reread_other,
        info_active,
        info_other,
    } kind;
    int row = 0;
    bool is_dir = false;
    std::string file_name;
};

// The worker's codes.
enum file_rw_result : int {
    file_rw_done = 0,
    file_rw_entry_failed = 1, // direct: an entry failed; the ones before it are done
    file_rw_list_failed = 2,  // batch: a list file could not be written; nothing was done
    file_rw_shell_failed = 3, // batch: the shell's operation failed or was cancelled
};

class thread_file_rw : public thread {
public:
    explicit thread_file_rw(file_rw_job job) : job_(std::move(job)) {}
    // The pane changes, complete once the worker has finished.
    const std::vector<pane_change>& changes() const { return changes_; }
    bool batch() const { return batch_; }

protected:
    int run() override;
    int thrown_result() const override { return file_rw_entry_failed; }

private:
    int run_direct();
    int run_batch();

    file_rw_job job_;
    std::vector<pane_change> changes_;
    bool batch_ = false;
};

// The job for the marked rows of the active pane (or its cursor row): the rows in ascending
// order, the directories, the "use trash" switch and the temporary directory.
file_rw_job make_file_rw_job(FileOpMode mode, const Pane& active, const Pane* other);
// Applies the recorded changes to the panes (main thread).
void apply_pane_changes(const std::vector<pane_change>& changes, Pane& active, Pane* other);

// The notice "ファイルの読み書きをしています." while the worker runs: no buttons, every command
// ignored. Ends with 1 when the operation went through, 3 when it failed (string 32 has then been
// shown unless the shell showed its own error, or string 30 when the worker could not start).
class dialog_file_rw : public dialog {
public:
    dialog_file_rw(file_rw_job job, Pane& active, Pane* other)
        : job_(std::move(job)), active_(active), other_(other)
    {
    }
    file_op_outcome run(HWND owner);
    // The worker's code once the dialog has ended (-1 when it never ran).
    int worker_result() const { return worker_result_; }

    void on_init() override;
    void on_destroy() override;
    void on_command(int id, HWND control_window) override;
    void on_timer(UINT_PTR id) override;

private:
    file_rw_job job_;
    Pane& active_;
    Pane* other_;
    std::unique_ptr<thread_file_rw> worker_;
    timer timer_;
    int worker_result_ = -1;
};

// The commands 202, 203 and 204 on the active pane, with `other` the second pane (null when only
// one list is open). Each asks its question (copy and move only when their "confirm" switch is on,
// delete always; every question when a pane is FTP), suspends the watchers of both panes while it
// works and leaves the panes updated. The result is the notice dialog's code (1 done, 3 failed)
// or 0 when nothing was started (cancelled, nothing to process, copy or move with one list open).
// The caller updates the main window's command states afterwards.
file_op_outcome copy_marked(HWND owner, Pane& active, Pane* other);
file_op_outcome move_marked(HWND owner, Pane& active, Pane* other);
file_op_outcome delete_marked(HWND owner, Pane& active, Pane* other);
// The commands as the main window calls them: on the pane area's active and target panes; the
// command states are updated afterwards.
void copy_marked(HWND owner);
void move_marked(HWND owner);
void delete_marked(HWND owner);
// Deletes, without asking, the entries of the active pane with these names (as the transfer list
// wrote them) and no others: after an upload that moves, the local entries that reached the
// server. Nothing is started when none of the names is a row of the pane.
file_op_outcome delete_named_rows(HWND owner, Pane& active, Pane* other,
                                  const std::vector<std::string>& names);

// Writes the FTP transfer list (kv_rsp1.tmp in the temporary directory, lines ended by CR LF) for
// the rows an operation processes; false when no line was written or it could not be written
// (the file is then gone; a failed write has shown string 32).
bool write_marked_list(HWND owner, const Pane& active, std::string& list_path);
