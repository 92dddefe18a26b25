// The dialogs of the one-entry file commands (rename, make, copy under a new name), of the
// attribute and time-stamp commands, the extension input and the help window. They do their
// work on the main thread and update the pane rows themselves.
#include "fileops/file_dialogs_win.h"

#include "platform/process_paths.h"
#include "base/cp932.h"
#include "base/paths.h"
#include "toolkit/shell_icons_win.h"
#include "dialogs.h"
#include "fileops/file_dialog_rules.h"
#include "fileops/file_primitives_win.h"
#include "fileops/fileops_host_win.h"
#include "fileops/help_text.h"
#include "base/name_rules.h"
#include "base/stamp_text.h"
#include "pane/dir_scan_win.h"
#include "pane/entry_text.h"
#include "pane/local_listing_win.h"
#include "pane/pane_view_win.h"
#include "platform/os.h"
#include "resource.h"
#include "toolkit/row_store.h"


#include <cstdio>
#include <vector>

namespace {

dialog_timestamp* timestamp_open = nullptr;

// ---- panes ----

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
    if (rows.size() == 1 && p.rows.marked_count() == 0 && p.rows.row(static_cast<std::size_t>(rows[0])).name == "..")
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

// ---- file system ----

// A file or a directory of that path exists.
bool entry_exists(const std::string& path) { return path_exists(path) || dir_exists(path + "/"); }

// Enter presses the default button even while it is greyed: OK counts only when it is enabled.
bool ok_enabled(HWND dialog)
{
    return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
}

} // namespace

// ---- the name dialog ----

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
    bool copied =
        is_dir_ ? copy_dir(from + "/", to + "/") : copy_file(from, to);
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

// ---- attributes ----

namespace {
constexpr int attribute_boxes[4] = {ID_ATTR_SYSTEM, ID_ATTR_HIDDEN, ID_ATTR_READ_ONLY, ID_ATTR_ARCHIVE};
constexpr char attribute_letters[5] = "shra";
} // namespace

void dialog_attribute::on_init()
{
    suspend_watchers(true);
    center_on_parent();
    for (int i = 0; i < 4; ++i) {
        boxes_[i] = std::make_unique<check>();
        boxes_[i]->bind(hwnd_, attribute_boxes[i]);
    }
    const Pane& p = active_pane();
    several_ = p.rows.marked_count() >= 2;
    int row = several_ ? -1 : target_row();
    if (!several_ && row < 0) {
        end(2);
        return;
    }
    old_ = attributes_at_start(several_ ? "" : p.rows.row(static_cast<std::size_t>(row)).attr_text, several_);
    new_ = old_;
    if (several_)
        return;
    for (int i = 0; i < 4; ++i)
        if (new_[static_cast<std::size_t>(i)] == attribute_letters[i])
            boxes_[i]->set_check();
    EnableWindow(GetDlgItem(hwnd_, IDOK), FALSE);
}

void dialog_attribute::on_destroy()
{
    resume_watchers(true);
    for (auto& b : boxes_)
        b.reset();
}

void dialog_attribute::on_command(int id, HWND)
{
    for (int i = 0; i < 4; ++i) {
        if (id != attribute_boxes[i] || !boxes_[i])
            continue;
        tick_attribute(new_, i, boxes_[i]->get_check());
        EnableWindow(GetDlgItem(hwnd_, IDOK), attributes_ok(old_, new_, several_));
        return;
    }
    if (id == IDOK && ok_enabled(hwnd_))
        apply();
    else if (id == IDCANCEL)
        end(2);
}

void dialog_attribute::apply()
{
    int a = panes().active;
    int twin = twin_pane();
    Pane& p = pane_at(a);
    Pane* q = twin ? &pane_at(twin) : nullptr;
    hold_list(a);
    if (twin)
        hold_list(twin);
    bool hides = attributes_hide_row(new_, hide_system_files());
    int removed = 0;
    for (int chosen : chosen_rows(p)) {
        auto row = static_cast<std::size_t>(chosen - removed);
        if (!set_attributes_from_text(p.path + join_entry_name(p.rows.row(row)), new_)) {
            warn(IDS_CAPTION_ERROR, IDS_FILE_RW_ERROR);
            break;
        }
        bool twin_row = q && row < q->rows.size();
        if (hides) {
            p.rows.remove(row);
            if (twin_row)
                q->rows.remove(row);
            ++removed;
        } else {
            p.rows.row(row).attr_text = new_;
            if (twin_row)
                q->rows.row(row).attr_text = new_;
        }
    }
    unmark_all(a);
    sort_listing(p, -1);
    show_cursor_row(a);
    release_list(a);
    update_pane_info(p);
    if (q) {
        sort_listing(*q, -1);
        release_list(twin);
        update_pane_info(*q);
    }
    update_command_states();
    end(1);
}

int run_attribute(HWND owner)
{
    dialog_attribute d;
    return d.show(TEMPLATE_ATTRIBUTE, owner);
}

// ---- time stamp ----

dialog_timestamp* open_timestamp_dialog()
{
    return timestamp_open;
}

void dialog_timestamp::on_init()
{
    timestamp_open = this;
    suspend_watchers(true);
    center_on_parent();
    const Pane& p = active_pane();
    if (p.rows.marked_count() >= 2) {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        new_ = stamp_from_clock(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    } else {
        int row = target_row();
        if (row < 0) {
            end(2);
            return;
        }
        old_ = p.rows.row(static_cast<std::size_t>(row)).time_text;
        new_ = old_;
        // A time that could not be read is edited from the present time.
        if (stamp_number(new_, stamp_year_at, 4) < 0) {
            SYSTEMTIME now{};
            GetLocalTime(&now);
            new_ = stamp_from_clock(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
        }
    }
    if (new_.size() < stamp_length)
        new_.resize(stamp_length, ' ');

    year_ = std::make_unique<edit_year>();
    year_->bind(hwnd_, ID_TIME_YEAR);
    year_->set_limit(5);
    month_ = std::make_unique<combo_month>();
    month_->bind(hwnd_, ID_TIME_MONTH);
    day_ = std::make_unique<combo_day>();
    day_->bind(hwnd_, ID_TIME_DAY);
    hour_ = std::make_unique<combo_hour>();
    hour_->bind(hwnd_, ID_TIME_HOUR);
    minute_ = std::make_unique<combo_minute>();
    minute_->bind(hwnd_, ID_TIME_MINUTE);
    second_ = std::make_unique<combo_second>();
    second_->bind(hwnd_, ID_TIME_SECOND);

    month_->select(stamp_number(new_, stamp_month_at, 2) - 1);
    hour_->select(stamp_number(new_, stamp_hour_at, 2));
    minute_->select(stamp_number(new_, stamp_minute_at, 2));
    second_->select(stamp_number(new_, stamp_second_at, 2) / 2);
    int year = stamp_number(new_, stamp_year_at, 4);
    year_updown_ = std::make_unique<updown>();
    year_updown_->create(hwnd_, ID_TIME_YEAR_UPDOWN, year_->handle(), stamp_last_year, stamp_first_year,
                         year);
    // The field shows the year of the text even where the up-down range would clamp it.
    year_->set_text(new_.substr(stamp_year_at, 4).c_str());

    year_->changed = [this] { year_changed(); };
    month_->changed = [this] { field_chosen(*month_, stamp_month_at); };
    day_->changed = [this] { field_chosen(*day_, stamp_day_at); };
    hour_->changed = [this] { field_chosen(*hour_, stamp_hour_at); };
    minute_->changed = [this] { field_chosen(*minute_, stamp_minute_at); };
    second_->changed = [this] { field_chosen(*second_, stamp_second_at); };
    rebuild_days();
    check_ok();
}

void dialog_timestamp::on_destroy()
{
    resume_watchers(true);
    if (year_)
        year_->changed = nullptr;
    year_updown_.reset();
    year_.reset();
    month_.reset();
    day_.reset();
    hour_.reset();
    minute_.reset();
    second_.reset();
    timestamp_open = nullptr;
}

void dialog_timestamp::on_command(int id, HWND)
{
    if (id == IDOK && ok_enabled(hwnd_))
        apply();
    else if (id == IDCANCEL)
        end(2);
}

void dialog_timestamp::year_changed()
{
    std::string typed = year_->get_text(16);
    // The field holds digits only; blanks the up-down control might add do not count.
    std::string digits;
    for (char c : typed)
        if (c >= '0' && c <= '9')
            digits += c;
    put_stamp_year(new_, digits);
    rebuild_days();
    check_ok();
}

void dialog_timestamp::field_chosen(combo_fixed& list, std::size_t at)
{
    int chosen = list.selection();
    if (chosen < 0)
        return;
    put_stamp_field(new_, at, list.item_text(chosen));
    if (at == stamp_month_at)
        rebuild_days();
    check_ok();
}

void dialog_timestamp::rebuild_days()
{
    if (!day_)
        return;
    int days = days_in_month(stamp_number(new_, stamp_year_at, 4), stamp_number(new_, stamp_month_at, 2));
    while (day_->count() > 28)
        day_->remove(day_->count() - 1);
    for (int d = 29; d <= days; ++d)
        day_->add(std::to_string(d).c_str());
    int day = clamp_stamp_day(new_);
    day_->select(day - 1);
}

void dialog_timestamp::check_ok()
{
    EnableWindow(GetDlgItem(hwnd_, IDOK), stamp_acceptable(new_, old_));
}

void dialog_timestamp::apply()
{
    int a = panes().active;
    int twin = twin_pane();
    Pane& p = pane_at(a);
    Pane* q = twin ? &pane_at(twin) : nullptr;
    hold_list(a);
    if (twin)
        hold_list(twin);
    for (int chosen : chosen_rows(p)) {
        auto row = static_cast<std::size_t>(chosen);
        FileEntry& e = p.rows.row(row);
        // Directories and protected files keep their times.
        if (stamp_skips(e))
            continue;
        if (!set_file_time_from_text(p.path + join_entry_name(e), new_)) {
            warn(IDS_CAPTION_ERROR, IDS_FILE_RW_ERROR);
            break;
        }
        e.time_text = new_;
        if (q && row < q->rows.size())
            q->rows.row(row).time_text = new_;
    }
    unmark_all(a);
    sort_listing(p, -1);
    show_cursor_row(a);
    release_list(a);
    if (q) {
        sort_listing(*q, -1);
        release_list(twin);
    }
    update_command_states();
    end(1);
}

int run_timestamp(HWND owner)
{
    auto d = std::make_unique<dialog_timestamp>();
    return d->show(TEMPLATE_TIMESTAMP, owner);
}

// ---- extension input ----

std::string& extension_text()
{
    static std::string text;
    return text;
}

void dialog_extension::on_init()
{
    center_on_parent();
    text_ = std::make_unique<edit_filename>();
    text_->bind(hwnd_, ID_NAME);
    text_->set_initial("");
    EnableWindow(GetDlgItem(hwnd_, IDOK), FALSE);
    text_->set_focus();
}

void dialog_extension::on_destroy()
{
    text_.reset();
}

void dialog_extension::on_command(int id, HWND)
{
    if (id == IDCANCEL) {
        end(2);
        return;
    }
    if (id != IDOK || !text_ || !ok_enabled(hwnd_))
        return;
    std::string text = text_->get_text(path_size);
    if (text.empty())
        return;
    if (!no_dot_name_rule(text)) {
        inform(IDS_CAPTION_INFORMATION, no_dot_name_rule_message);
        text_->set_focus();
        return;
    }
    extension_text() = text;
    end(1);
}

// ---- help window ----

int& help_first_line()
{
    static int line = 2;
    return line;
}

int& help_line_count()
{
    static int count = 1;
    return count;
}

bool& help_closed()
{
    static bool closed = false;
    return closed;
}

void dialog_help::on_init()
{
    help_closed() = false;
    // The template is not visible by itself: a modeless window shows itself.
    center_on_parent();
    ShowWindow(hwnd_, SW_SHOW);
    text_ = std::make_unique<edit>();
    text_->bind(hwnd_, ID_TEXT);
    text_->make_read_only();
    auto content = os::read_file(dirs().program_dir + "kelvasto.txt");
    if (!content)
        return;
    if (auto lines = help_lines(*content, help_first_line(), help_line_count()))
        text_->set_text(lines->c_str());
}

void dialog_help::on_destroy()
{
    text_.reset();
}

void dialog_help::on_command(int id, HWND)
{
    if (id != ID_CLOSE && id != IDCANCEL)
        return;
    help_closed() = true;
    DestroyWindow(hwnd_);
}

std::unique_ptr<dialog_help> open_help(HWND owner, int first_line, int line_count)
{
    help_first_line() = first_line;
    help_line_count() = line_count;
    auto help = std::make_unique<dialog_help>();
    if (help->show(TEMPLATE_HELP, owner, true) != 1)
        return nullptr;
    return help;
}
