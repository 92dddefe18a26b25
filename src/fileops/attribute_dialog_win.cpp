// The attribute dialog: ticks for the chosen rows, written on OK.
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
    old_ =
        attributes_at_start(several_ ? "" : p.rows.row(static_cast<std::size_t>(row)).attr_text(), several_);
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
            p.rows.row(row).set_attr_text(new_);
            if (twin_row)
                q->rows.row(row).set_attr_text(new_);
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
