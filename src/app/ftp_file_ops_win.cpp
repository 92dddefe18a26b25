// The FTP side of copy, move, delete, rename and new directory: the file operations hand over
// the transfer list, the operation runs under the FTP log window, and the panes are brought up
// to date from the cache the operation left.
#include "app/ftp_file_ops_win.h"

#include "fileops/file_rw_win.h"
#include "ftp/ftp_log_window_win.h"
#include "ftp/ftp_panes_win.h"
#include "pane/local_listing_win.h"
#include "pane/pane_view_win.h"
#include "settings/settings.h"

namespace {

// Reads an FTP pane again from its cache, and the other pane too when it shows the same
// directory of the server.
void reread_ftp_pane(Pane& pane)
{
    read_listing(pane, false);
    Pane* other = other_pane();
    if (other && other != &pane && other->path == pane.path)
        read_listing(*other, false);
}

// A transfer writes files and times in the local pane's directory: its watcher withholds the
// re-read those changes would cause (it would drop the user's marks half a second later), as
// for the local file operations; the caller brings the pane up to date itself.
struct watchers_held {
    watchers_held()
    {
        suspend_watcher(1);
        suspend_watcher(2);
    }
    ~watchers_held()
    {
        resume_watcher(1);
        resume_watcher(2);
    }
    watchers_held(const watchers_held&) = delete;
    watchers_held& operator=(const watchers_held&) = delete;
};

file_op_outcome outcome_of(bool ok)
{
    return ok ? op_done : op_failed;
}

class ftp_file_ops : public fileops_host {
public:
    file_op_outcome ftp_file_op(HWND owner, FileOpMode mode, Pane& active, Pane* other,
                                const std::string& list_path) override
    {
        bool active_ftp = !is_local_path(active.path);
        Pane* server_pane = active_ftp ? &active : other;
        if (!server_pane || is_local_path(server_pane->path))
            return op_not_started;
        std::optional<ftp_operation_params> params = pane_operation_params(owner, server_pane->index);
        if (!params)
            return op_failed;
        ftp_capabilities& flags = pane_ftp(server_pane->index).flags;

        if (!mode.to_target) {
            ftp_op_report report = ftp_run_delete(owner, *params, flags, list_path);
            reread_ftp_pane(active);
            return outcome_of(report.ok);
        }
        // Copy and move go only between an FTP pane and a local one.
        if (!other || is_local_path(active.path) == is_local_path(other->path))
            return op_not_started;
        std::string extensions = read_text_extension_list(settings_file_path());
        bool moving = mode.remove_source != 0;
        if (active_ftp) {
            ftp_op_report report;
            {
                watchers_held held;
                report = ftp_run_get(owner, *params, flags, other->path, list_path, extensions, moving);
            }
            // What arrived shows in the local pane even when the walk stopped half way.
            refresh_pane(other->index);
            if (moving)
                reread_ftp_pane(active);
            return outcome_of(report.ok);
        }
        ftp_op_report report;
        {
            watchers_held held;
            report = ftp_run_put(owner, *params, flags, active.path, list_path, extensions, moving);
        }
        reread_ftp_pane(*other);
        if (moving) {
            // Only what reached the server goes: skipped entries and those after an error stay
            // on disk, still marked.
            if (!report.done.empty())
                delete_named_rows(owner, active, other, report.done);
        } else {
            refresh_pane(active.index); // the local files now carry the server's times
        }
        return outcome_of(report.ok);
    }

    bool ftp_rename(HWND owner, const std::string& from, const std::string& to) override
    {
        int pane = panes().active;
        std::optional<ftp_operation_params> params = pane_operation_params(owner, pane);
        return params && ftp_run_rename(owner, *params, pane_ftp(pane).flags, from, to);
    }

    bool ftp_make_dir(HWND owner, const std::string& name) override
    {
        int pane = panes().active;
        std::optional<ftp_operation_params> params = pane_operation_params(owner, pane);
        return params && ftp_run_make_dir(owner, *params, pane_ftp(pane).flags, name);
    }
};

} // namespace

fileops_host& ftp_file_operations()
{
    static ftp_file_ops host;
    return host;
}
