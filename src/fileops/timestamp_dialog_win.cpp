// The time-stamp dialog: one time for the chosen rows, and its number boxes.
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

namespace {

dialog_timestamp* timestamp_open = nullptr;

} // namespace

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
        old_ = p.rows.row(static_cast<std::size_t>(row)).time_text();
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
        e.set_time_text(new_);
        if (q && row < q->rows.size())
            q->rows.row(row).set_time_text(new_);
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
