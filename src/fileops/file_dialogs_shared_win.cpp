// What the file dialogs share: the panes they change, the watchers they hold, the rows they take.
#include "fileops/file_dialogs_shared_win.h"

#include "base/cp932.h"
#include "base/name_rules.h"
#include "base/paths.h"
#include "base/stamp_text.h"
#include "dialogs.h"
#include "fileops/file_dialog_rules.h"
#include "fileops/file_primitives_win.h"
#include "fileops/fileops_host_win.h"
#include "fileops/help_text.h"
#include "pane/dir_scan_win.h"
#include "pane/entry_text.h"
#include "pane/local_listing_win.h"
#include "pane/pane_view_win.h"
#include "platform/os.h"
#include "platform/process_paths.h"
#include "resource.h"
#include "toolkit/row_store.h"
#include "toolkit/shell_icons_win.h"

#include <cstdio>
#include <vector>

namespace file_dialogs {

Pane& pane_at(int index)
{
    return panes().panes[static_cast<std::size_t>(index)];
}

// The panes whose watchers a dialog stops: both panes, or the active one alone.
std::vector<int> watched_panes(bool both)
{
    if (both && panes().dual)
        return {1, 2};
    return {panes().active};
}

void suspend_watchers(bool both)
{
    for (int p : watched_panes(both))
        suspend_watcher(p);
}

void resume_watchers(bool both)
{
    for (int p : watched_panes(both))
        resume_watcher(p);
}

// The rows the attribute and time-stamp dialogs change: those an action takes, less "..".
std::vector<int> chosen_rows(const Pane& p)
{
    std::vector<int> rows = rows_to_process(p);
    if (rows.size() == 1 && p.rows.marked_count() == 0 &&
        p.rows.row(static_cast<std::size_t>(rows[0])).name == "..")
        rows.clear();
    return rows;
}

// The other pane when both show the same directory: its rows follow the active pane's.
int twin_pane()
{
    return same_directory() ? 3 - panes().active : 0;
}

// A new entry of the active pane's directory gets its row (the cursor on it), and so does the
// other pane when it shows the same directory.
void add_new_row(bool is_dir, const std::string& name)
{
    int a = panes().active;
    for (int p : {a, twin_pane()}) {
        if (!p)
            continue;
        Pane& q = pane_at(p);
        hold_list(p);
        add_local_entry(q, is_dir, name);
        sort_listing(q, -1);
        if (p == a)
            put_cursor(p, find_entry(q, is_dir, name));
        release_list(p);
        update_pane_info(q);
    }
    update_command_states();
}

// A file or a directory of that path exists.
bool entry_exists(const std::string& path)
{
    return path_exists(path) || dir_exists(path + "/");
}

// Enter presses the default button even while it is greyed: OK counts only when it is enabled.
bool ok_enabled(HWND dialog)
{
    return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
}

} // namespace file_dialogs
