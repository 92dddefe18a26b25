// Copy, move and delete of the marked rows: the worker, its notice dialog and the commands.
#include "fileops/file_rw_win.h"

#include "base/cp932.h"
#include "dialogs.h"
#include "fileops/batch_list.h"
#include "fileops/file_primitives_win.h"
#include "pane/dir_scan_win.h"
#include "pane/dnotify_win.h"
#include "pane/entry_text.h"
#include "pane/local_listing_win.h"
#include "pane/pane_view_win.h"
#include "platform/os.h"
#include "platform/process_paths.h"
#include "resource.h"
#include "settings/settings.h"
#include "toolkit/module_win.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

namespace {

// The entries of the target directory, read once when the operation starts: asking the file
// system about every name that is not there costs a whole directory search on some file
// systems. An entry that appears later is still safe: a new directory is made only where none
// stands, and a file never takes a directory's place.
class target_entries {
public:
    explicit target_entries(const std::string& dir)
    {
        dir_scan scan(dir);
        for (bool more = scan.found(); more; more = scan.next())
            kinds_[folded(scan.name())] = scan.is_dir();
    }
    // 0 nothing of that name, 1 a file, 2 a directory (names compared without ASCII case).
    int kind_of(const std::string& name) const
    {
        auto it = kinds_.find(folded(name));
        return it == kinds_.end() ? 0 : it->second ? 2 : 1;
    }

private:
    static std::string folded(std::string name)
    {
        for (std::size_t i = 0; i < name.size(); i += char_length(name, i))
            name[i] = ascii_lower(name[i]);
        return name;
    }
    std::unordered_map<std::string, bool> kinds_;
};

// A directory is never merged into what exists, nor copied into itself; a file never replaces a
// directory. A file replaces a file.
bool skipped_for_target(const file_rw_job& job, const file_rw_row& row, const target_entries& target)
{
    if (row.is_dir)
        return lies_inside(job.target_dir, job.source_dir, row.file_name) ||
               target.kind_of(row.file_name) != 0;
    return target.kind_of(row.file_name) == 2;
}

} // namespace

file_rw_job make_file_rw_job(FileOpMode mode, const Pane& active, const Pane* other)
{
    file_rw_job job;
    job.mode = mode;
    job.source_dir = active.path;
    job.target_dir = other ? other->path : std::string();
    job.use_trash = settings().use_trash;
    job.temp_dir = dirs().temp_dir;
    job.same_directory = other && other->path == active.path;
    for (int i : rows_to_process(active)) {
        const FileEntry& entry = active.rows.row(static_cast<std::size_t>(i));
        if (entry.name == "..")
            continue;
        job.rows.push_back({i, join_entry_name(entry), is_dir_entry(entry), entry.attr_text()});
    }
    return job;
}

int thread_file_rw::run()
{
    drive_type_cache drive_types; // the drives keep their kind for one operation
    batch_ = job_.use_trash || is_removable_drive(job_.source_dir) ||
             (job_.mode.to_target && is_removable_drive(job_.target_dir));
    int code = batch_ ? run_batch() : run_direct();
    finish(code);
    return code;
}

int thread_file_rw::run_direct()
{
    const file_rw_job& j = job_;
    bool to_target = j.mode.to_target != 0, remove_source = j.mode.remove_source != 0;
    int removed = 0;
    int code = file_rw_done;
    std::string last_added;
    bool last_is_dir = false;
    const target_entries existing(to_target ? j.target_dir : std::string());
    for (const auto& row : j.rows) {
        if (is_protected_row(row.attr_text))
            continue;
        std::string source = j.source_dir + row.file_name;
        std::string target = j.target_dir + row.file_name;
        if (to_target && skipped_for_target(j, row, existing))
            continue;
        bool ok;
        if (!to_target)
            ok = row.is_dir ? delete_dir(source + "/") : delete_file(source);
        else if (!remove_source)
            ok = row.is_dir ? copy_dir(source + "/", target + "/") : copy_file(source, target);
        else
            ok = row.is_dir ? move_dir(source + "/", target + "/") : move_file(source, target);
        if (!ok) {
            // What did arrive (a directory copied in part, a file whose source could not be
            // deleted) is shown, so the pane says what the disk holds.
            if (to_target &&
                (row.is_dir ? dir_exists(target) : !same_path(source, target) && path_exists(target)))
                changes_.push_back({pane_change::add_other_row, 0, row.is_dir, row.file_name});
            code = file_rw_entry_failed;
            break; // what is done stays done; the rest is left alone
        }
        if (to_target) {
            changes_.push_back({pane_change::add_other_row, 0, row.is_dir, row.file_name});
            last_added = row.file_name;
            last_is_dir = row.is_dir;
        }
        if (remove_source) {
            int position = row.row - removed;
            changes_.push_back({pane_change::remove_active_row, position, row.is_dir, row.file_name});
            if (j.same_directory)
                changes_.push_back({pane_change::remove_other_row, position, row.is_dir, row.file_name});
            ++removed;
        }
    }
    if (to_target)
        changes_.push_back({pane_change::sort_other, 0, last_is_dir, last_added});
    if (remove_source)
        changes_.push_back(pane_change{pane_change::info_active, 0, false, {}});
    if (to_target || j.same_directory)
        changes_.push_back(pane_change{pane_change::info_other, 0, false, {}});
    return code;
}

int thread_file_rw::run_batch()
{
    const file_rw_job& j = job_;
    bool to_target = j.mode.to_target != 0, remove_source = j.mode.remove_source != 0;
    bool trash_targets = to_target && j.use_trash;
    batch_list_file sources, old_targets;
    std::string sources_path = list_file_path(j.temp_dir, batch_list_name_1);
    std::string targets_path = list_file_path(j.temp_dir, batch_list_name_2);
    auto fail = [&](int code) {
        sources.discard();
        if (trash_targets)
            old_targets.discard();
        return code;
    };
    if (!sources.create(sources_path))
        return fail(file_rw_list_failed);
    if (trash_targets && !old_targets.create(targets_path))
        return fail(file_rw_list_failed);

    const target_entries existing(to_target ? j.target_dir : std::string());
    for (const auto& row : j.rows) {
        if (is_protected_row(row.attr_text))
            continue;
        // The recycle bin takes full paths only; the shell reads bare names in the current
        // directory, which is S.
        std::string source = (!to_target && j.use_trash) ? j.source_dir + row.file_name : row.file_name;
        std::string target = j.target_dir + row.file_name;
        if (to_target && skipped_for_target(j, row, existing))
            continue;
        if (trash_targets) {
            bool exists = existing.kind_of(row.file_name) == (row.is_dir ? 2 : 1);
            if (exists && !old_targets.add(target))
                return fail(file_rw_list_failed);
        }
        if (!sources.add(source))
            return fail(file_rw_list_failed);
    }

    if (!sources.finish())
        return fail(file_rw_list_failed);
    if (trash_targets) {
        if (!old_targets.finish())
            return fail(file_rw_list_failed);
        if (old_targets.count() > 0 && !shell_delete("@" + targets_path, true))
            return fail(file_rw_shell_failed);
        old_targets.discard();
    }
    if (sources.count() == 0) {
        sources.discard(); // everything was skipped: nothing for the shell, nothing changed
        return file_rw_done;
    }
    bool ok;
    if (!to_target)
        ok = shell_delete("@" + sources_path, j.use_trash);
    else if (!remove_source)
        ok = shell_copy("@" + sources_path, j.target_dir);
    else
        ok = shell_move("@" + sources_path, j.target_dir);
    sources.discard();
    if (!ok)
        return file_rw_shell_failed;
    if (remove_source)
        changes_.push_back(pane_change{pane_change::reread_active, 0, false, {}});
    if (to_target || j.same_directory)
        changes_.push_back(pane_change{pane_change::reread_other, 0, false, {}});
    if (remove_source)
        changes_.push_back(pane_change{pane_change::info_active, 0, false, {}});
    if (to_target || j.same_directory)
        changes_.push_back(pane_change{pane_change::info_other, 0, false, {}});
    return file_rw_done;
}

void apply_pane_changes(const std::vector<pane_change>& changes, Pane& active, Pane* other)
{
    bool active_touched = false, other_touched = false;
    // The view takes the new row count before anything sorts, reads or redraws it.
    auto flush = [](Pane& pane, bool& touched) {
        if (touched && pane.hooks)
            pane.hooks->rows_changed();
        touched = false;
    };
    for (const auto& c : changes) {
        switch (c.kind) {
        case pane_change::remove_active_row:
            if (c.row >= 0 && static_cast<std::size_t>(c.row) < active.rows.size()) {
                active.rows.remove(static_cast<std::size_t>(c.row));
                active_touched = true;
            }
            break;
        case pane_change::remove_other_row: {
            if (!other)
                break;
            // The same position when it holds the same entry; otherwise the entry wherever it is
            // (the other pane may filter or hold its rows differently).
            int at = c.row;
            bool same = at >= 0 && static_cast<std::size_t>(at) < other->rows.size() &&
                        join_entry_name(other->rows.row(static_cast<std::size_t>(at))) == c.file_name;
            if (!same)
                at = find_entry(*other, c.is_dir, c.file_name);
            if (at >= 0) {
                other->rows.remove(static_cast<std::size_t>(at));
                other_touched = true;
            }
            break;
        }
        case pane_change::add_other_row: {
            if (!other)
                break;
            for (std::size_t i = other->rows.size(); i-- > 0;) {
                if (same_name(join_entry_name(other->rows.row(i)), c.file_name)) {
                    other->rows.remove(i);
                    break;
                }
            }
            add_local_entry(*other, c.is_dir, c.file_name);
            other->rows.set_cursor(find_entry(*other, c.is_dir, c.file_name));
            other_touched = true;
            break;
        }
        case pane_change::sort_other:
            if (!other)
                break;
            flush(*other, other_touched);
            if (other->hooks)
                other->hooks->suspend_redraw();
            sort_listing(*other, -1);
            // The cursor goes with the last entry that arrived, wherever the sort put it.
            if (!c.file_name.empty()) {
                int at = find_entry(*other, c.is_dir, c.file_name);
                if (at >= 0)
                    other->rows.set_cursor(at);
            }
            if (other->hooks) {
                other->hooks->resume_redraw();
                other->hooks->rows_changed();
                if (other->rows.cursor() >= 0)
                    other->hooks->show_row(other->rows.cursor());
            }
            break;
        case pane_change::reread_active: {
            flush(active, active_touched);
            int cursor = active.rows.cursor();
            std::string name;
            bool is_dir = false;
            if (cursor >= 0) {
                name = join_entry_name(active.rows.row(static_cast<std::size_t>(cursor)));
                is_dir = is_dir_entry(active, cursor);
            }
            read_listing(active, false);
            int at = cursor >= 0 ? find_entry(active, is_dir, name) : -1;
            if (at >= 0) {
                active.rows.set_cursor(at);
                if (active.hooks) {
                    active.hooks->rows_changed();
                    active.hooks->show_row(at);
                }
            }
            break;
        }
        case pane_change::reread_other:
            if (other) {
                flush(*other, other_touched);
                read_listing(*other, false);
            }
            break;
        case pane_change::info_active:
            flush(active, active_touched);
            update_pane_info(active);
            break;
        case pane_change::info_other:
            if (other) {
                flush(*other, other_touched);
                update_pane_info(*other);
            }
            break;
        }
    }
    flush(active, active_touched);
    if (other)
        flush(*other, other_touched);
}

file_op_outcome dialog_file_rw::run(HWND owner)
{
    // The dialog ends with an outcome (end(op_done) or end(op_failed)), or 0 when it could not show.
    return static_cast<file_op_outcome>(show(TEMPLATE_FILE_RW, owner));
}

void dialog_file_rw::on_init()
{
    suspend_watcher(1);
    suspend_watcher(2);
    center_on_parent();
    worker_ = std::make_unique<thread_file_rw>(job_);
    if (!worker_->begin()) {
        worker_.reset();
        warn(IDS_CAPTION_ERROR, IDS_SYSTEM_ERROR);
        end(op_failed);
        return;
    }
    timer_.start(hwnd_, 10);
}

void dialog_file_rw::on_destroy()
{
    timer_.stop();
    if (worker_) {
        // Only reached when the dialog is torn down from outside: the worker is waited for, so
        // nothing it started is left half-done in the background.
        worker_->join();
        worker_->release();
        worker_.reset();
    }
    resume_watcher(1);
    resume_watcher(2);
}

void dialog_file_rw::on_command(int, HWND)
{
    // No buttons, and Esc or the close command must not end the dialog while files change.
}

void dialog_file_rw::on_timer(UINT_PTR id)
{
    if (id != timer_.id() || !worker_ || !worker_->is_finished())
        return;
    timer_.stop();
    worker_->join();
    worker_result_ = worker_->release();
    apply_pane_changes(worker_->changes(), active_, other_);
    worker_.reset();
    file_op_outcome code = op_done;
    if (worker_result_ == file_rw_entry_failed || worker_result_ == file_rw_list_failed) {
        // A refused entry or list file is not a success: the user is told.
        warn(IDS_CAPTION_ERROR, IDS_FILE_RW_ERROR);
        code = op_failed;
    } else if (worker_result_ == file_rw_shell_failed) {
        code = op_failed; // the shell has shown its own error window
    }
    end(code);
}

namespace {

file_op_outcome run_local(HWND owner, FileOpMode mode, Pane& active, Pane* other)
{
    file_rw_job job = make_file_rw_job(mode, active, other);
    if (job.rows.empty())
        return op_not_started;
    // Bare names in the shell's list are read in the current directory: the active pane's.
    os::set_current_directory(active.path);
    dialog_file_rw notice(std::move(job), active, other);
    return notice.run(owner);
}

file_op_outcome run_ftp(HWND owner, FileOpMode mode, Pane& active, Pane* other)
{
    std::string list_path;
    if (!write_marked_list(owner, active, list_path))
        return op_not_started;
    file_op_outcome code = fileops_up().ftp_file_op(owner, mode, active, other, list_path);
    std::remove(list_path.c_str());
    return code;
}

// The question box: question icon, OK and Cancel under "確認"; only OK goes on.
bool ask(HWND owner, unsigned text_id)
{
    return MessageBoxA(owner, resource_string(text_id).c_str(),
                       resource_string(IDS_CAPTION_QUESTION, 128).c_str(),
                       MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

bool both_local(const Pane& active, const Pane* other)
{
    return is_local_path(active.path) && other && is_local_path(other->path);
}

} // namespace

namespace {

// Copy and move across the panes: the question when it is wanted, then the local or FTP side.
file_op_outcome transfer_marked(HWND owner, FileOpMode mode, unsigned question, Pane& active, Pane* other)
{
    if (!other)
        return op_not_started; // with one list, copying makes a copy in the same directory (the name dialog)
    bool local = both_local(active, other);
    const app_settings& s = settings();
    if (asks_first(mode, local, s.confirm_copy, s.confirm_move) && !ask(owner, question))
        return op_not_started;
    return local ? run_local(owner, mode, active, other) : run_ftp(owner, mode, active, other);
}

} // namespace

file_op_outcome copy_marked(HWND owner, Pane& active, Pane* other)
{
    return transfer_marked(owner, copy_mode, IDS_ASK_COPY, active, other);
}

file_op_outcome move_marked(HWND owner, Pane& active, Pane* other)
{
    return transfer_marked(owner, move_mode, IDS_ASK_MOVE, active, other);
}

file_op_outcome delete_marked(HWND owner, Pane& active, Pane* other)
{
    if (!ask(owner, IDS_ASK_DELETE))
        return op_not_started;
    if (is_local_path(active.path))
        return run_local(owner, delete_mode, active, other);
    return run_ftp(owner, delete_mode, active, other);
}

file_op_outcome delete_named_rows(HWND owner, Pane& active, Pane* other,
                                  const std::vector<std::string>& names)
{
    file_rw_job job;
    job.mode = delete_mode;
    job.source_dir = active.path;
    job.use_trash = settings().use_trash;
    job.temp_dir = dirs().temp_dir;
    job.same_directory = other && other->path == active.path;
    for (std::size_t i = 0; i < active.rows.size(); ++i) {
        const FileEntry& entry = active.rows.row(i);
        std::string name = join_entry_name(entry);
        if (entry.name != ".." && std::find(names.begin(), names.end(), name) != names.end())
            job.rows.push_back({static_cast<int>(i), name, is_dir_entry(entry), entry.attr_text()});
    }
    if (job.rows.empty())
        return op_not_started;
    os::set_current_directory(active.path);
    dialog_file_rw notice(std::move(job), active, other);
    file_op_outcome code = notice.run(owner);
    update_command_states();
    return code;
}

bool write_marked_list(HWND owner, const Pane& active, std::string& list_path)
{
    list_path = list_file_path(dirs().temp_dir, batch_list_name_1);
    std::string text;
    for (int i : rows_to_process(active)) {
        const FileEntry& entry = active.rows.row(static_cast<std::size_t>(i));
        if (entry.name == ".." || is_protected_row(entry.attr_text()))
            continue;
        text += transfer_list_line(is_dir_entry(entry), join_entry_name(entry), entry.time_text());
    }
    if (text.empty()) {
        std::remove(list_path.c_str());
        return false;
    }
    std::FILE* file = std::fopen(list_path.c_str(), "wb");
    bool ok = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (file)
        ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        std::remove(list_path.c_str());
        MessageBoxA(owner, resource_string(IDS_FILE_RW_ERROR).c_str(),
                    resource_string(IDS_CAPTION_ERROR, 128).c_str(), MB_OK | MB_ICONWARNING);
    }
    return ok;
}

namespace {

fileops_host* host_set = nullptr;

} // namespace

fileops_host& fileops_up()
{
    static fileops_host nothing_above;
    return host_set ? *host_set : nothing_above;
}

void set_fileops_host(fileops_host* host)
{
    host_set = host;
}

void copy_marked(HWND owner)
{
    copy_marked(owner, active_pane(), other_pane());
    update_command_states();
}

void move_marked(HWND owner)
{
    move_marked(owner, active_pane(), other_pane());
    update_command_states();
}

void delete_marked(HWND owner)
{
    delete_marked(owner, active_pane(), other_pane());
    update_command_states();
}
