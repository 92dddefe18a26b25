// The name dialog and the one-entry commands it serves: rename, make, copy under a new name.
// They do their work on the main thread and update the pane rows themselves.
#include "fileops/file_dialogs_win.h"

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

using namespace file_dialogs;

void name_dialog::open(unsigned caption_id, const std::string& old_name)
{
    set_title_from_string(caption_id);
    center_on_parent();
    name_ = std::make_unique<edit_filename>();
    name_->bind(hwnd_, ID_NAME);
    name_->set_initial(old_name.c_str());
    EnableWindow(GetDlgItem(hwnd_, IDOK), FALSE);
    name_->set_focus();
    SendMessageA(name_->handle(), EM_SETSEL, 0, -1);
}

void name_dialog::on_destroy()
{
    closing();
    name_.reset();
}

void name_dialog::on_command(int id, HWND)
{
    if (id == IDOK && name_ && ok_enabled(hwnd_)) {
        std::string name = name_->get_text(path_size);
        if (!name.empty())
            accept(name);
    } else if (id == IDCANCEL) {
        end(2);
    }
}

bool name_dialog::taken(const std::string& name)
{
    const Pane& p = active_pane();
    if (local_)
        return entry_exists(p.path + name);
    return find_entry(p, false, name) >= 0 || find_entry(p, true, name) >= 0;
}

bool name_dialog::name_usable(const std::string& name, bool check_taken)
{
    unsigned message = 0;
    if (local_ ? !local_name_rule(name) : !ascii_name_rule(name))
        message = local_ ? local_name_rule_message : ascii_name_rule_message;
    else if (check_taken && taken(name))
        message = IDS_NAME_EXISTS;
    if (!message)
        return true;
    inform(IDS_CAPTION_INFORMATION, message);
    if (name_)
        name_->set_focus();
    return false;
}

// ---- rename ----

void dialog_rename::on_init()
{
    suspend_watchers(true);
    const Pane& p = active_pane();
    local_ = is_local_path(p.path);
    row_ = target_row();
    if (row_ < 0) {
        end(2);
        return;
    }
    const FileEntry& e = p.rows.row(static_cast<std::size_t>(row_));
    is_dir_ = is_dir_entry(e);
    old_name_ = join_entry_name(e);
    open(is_dir_ ? IDS_ASK_NEW_DIRECTORY_NAME : IDS_ASK_NEW_FILE_NAME, old_name_);
}

void dialog_rename::closing()
{
    resume_watchers(true);
}

void dialog_rename::accept(const std::string& name)
{
    Pane& p = active_pane();
    // Only a change beyond letter case can meet another entry of that name.
    if (!name_usable(name, rename_meets_others(old_name_, name)))
        return;
    if (local_) {
        if (std::rename((p.path + old_name_).c_str(), (p.path + name).c_str()) != 0) {
            warn(IDS_CAPTION_ERROR, IDS_FILE_RW_ERROR);
            return;
        }
    } else if (!fileops_up().ftp_rename(hwnd_, old_name_, name)) {
        return;
    }
    rename_rows(name);
    end(1);
}

void dialog_rename::rename_rows(const std::string& name)
{
    int a = panes().active;
    int twin = twin_pane();
    Pane& p = pane_at(a);
    entry_name_parts parts = split_entry_name(name, is_dir_);
    auto change = [&](Pane& q, int row) {
        if (row < 0 || static_cast<std::size_t>(row) >= q.rows.size())
            return;
        FileEntry& e = q.rows.row(static_cast<std::size_t>(row));
        bool type_changed = e.type != parts.type;
        e.name = parts.name;
        e.type = parts.type;
        if (local_ && type_changed && system_icons())
            e.icon = system_icons()->icon_of(q.path + name);
    };
    hold_list(a);
    change(p, row_);
    sort_listing(p, -1);
    put_cursor(a, find_entry(p, is_dir_, name));
    release_list(a);
    if (twin) {
        Pane& q = pane_at(twin);
        hold_list(twin);
        change(q, row_);
        sort_listing(q, -1);
        release_list(twin);
    }
    // The other pane shows the renamed directory: it follows the new name without reading it.
    if (Pane* other = other_pane(); other && is_dir_ && other->path == p.path + old_name_ + "/") {
        other->path = bounded(p.path + name + "/", path_size);
        show_path_in_box(3 - a);
    }
    update_command_states();
}

int run_rename(HWND owner)
{
    dialog_rename d;
    return d.show(TEMPLATE_NAME, owner);
}

// ---- make ----

void dialog_make::on_init()
{
    suspend_watchers(true);
    local_ = is_local_path(active_pane().path);
    is_dir_ = directory_;
    open(directory_ ? IDS_ASK_NEW_DIRECTORY_NAME : IDS_ASK_NEW_FILE_NAME, "");
}

void dialog_make::closing()
{
    resume_watchers(true);
}

void dialog_make::accept(const std::string& name)
{
    Pane& p = active_pane();
    if (!name_usable(name, true))
        return;
    if (!local_) {
        // Only directories are made on a server.
        if (!directory_) {
            end(2);
            return;
        }
        if (!fileops_up().ftp_make_dir(hwnd_, name))
            return;
        read_listing(p, false);
        if (int twin = twin_pane())
            read_listing(pane_at(twin), false);
        end(1);
        return;
    }
    std::string path = p.path + name;
    bool made = directory_ ? make_dir(path) : os::create_new_file(path);
    if (!made) {
        warn(IDS_CAPTION_ERROR, IDS_FILE_RW_ERROR);
        return;
    }
    add_new_row(directory_, name);
    end(1);
}

int run_make(HWND owner, bool directory)
{
    dialog_make d(directory);
    return d.show(TEMPLATE_NAME, owner);
}

// ---- copy under a new name ----

void dialog_backup::on_init()
{
    suspend_watchers(false);
    const Pane& p = active_pane();
    local_ = is_local_path(p.path);
    int row = target_row();
    if (row < 0 || !local_) {
        end(2);
        return;
    }
    const FileEntry& e = p.rows.row(static_cast<std::size_t>(row));
    is_dir_ = is_dir_entry(e);
    old_name_ = join_entry_name(e);
    open(is_dir_ ? IDS_ASK_NEW_DIRECTORY_NAME : IDS_ASK_NEW_FILE_NAME, old_name_);
}

void dialog_backup::closing()
{
    resume_watchers(false);
}

void dialog_backup::accept(const std::string& name)
{
    if (!name_usable(name, true))
        return;
    name_->disable();
    EnableWindow(GetDlgItem(hwnd_, IDOK), FALSE);
    EnableWindow(GetDlgItem(hwnd_, IDCANCEL), FALSE);
    const std::string& dir = active_pane().path;
    std::string from = dir + old_name_, to = dir + name;
    bool copied = is_dir_ ? copy_dir(from + "/", to + "/") : copy_file(from, to);
    // Whatever a failed copy left behind is shown too, so the pane matches the disk.
    if (copied || entry_exists(to))
        add_new_row(is_dir_, name);
    if (!copied) {
        warn(IDS_CAPTION_ERROR, IDS_FILE_RW_ERROR);
        end(3);
        return;
    }
    end(1);
}

int run_backup(HWND owner)
{
    dialog_backup d;
    return d.show(TEMPLATE_NAME, owner);
}
