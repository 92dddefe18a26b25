// A pane's current-directory box: drives, network folders and servers, and choosing one.
#include "pane/pane_view_win.h"

#include "pane/pane_view_shared_win.h"

#include "pane/pane_choices.h"

#include "base/cp932.h"
#include "base/paths.h"
#include "pane/entry_text.h"
#include "pane/key_map.h"
#include "pane/local_listing_win.h"
#include "platform/process_paths.h"
#include "resource.h"
#include "settings/layout.h"
#include "settings/layout_win.h"
#include "settings/settings.h"
#include "toolkit/shell_icons_win.h"

#include <algorithm>

using namespace pane_internal;

// ---- combo_currentdir ----

void combo_currentdir::on_got_focus()
{
    if (pane_ != panes().active)
        activate_pane(false);
    panes().entry_before = selection();
    panes().ftp_before = !is_local_path(active_pane().path);
}

void combo_currentdir::on_lost_focus()
{
    int now = selection();
    if (now == remembered)
        return;
    remembered = now;
    post_command(IDM_CHOOSE_ENTRY, now);
}

void combo_currentdir::on_drop_down()
{
    panes().entry_before = selection();
    panes().ftp_before = !is_local_path(active_pane().path);
}

void combo_currentdir::on_close_up()
{
    focus_list();
}

// ---- drives and the current-directory box ----

bool drive_exists(char letter)
{
    char root[4] = {letter, ':', '/', '\0'};
    return GetDriveTypeA(root) > 1;
}

bool is_fixed_drive(char letter)
{
    char root[4] = {letter, ':', '/', '\0'};
    return GetDriveTypeA(root) == DRIVE_FIXED;
}

int entry_for_path(const combo& box, const std::string& path)
{
    return entry_for_path(box_entries(box), path);
}

void load_pane(int index)
{
    pane_area& a = panes();
    pane_view* v = view_of(index);
    if (!v)
        return;
    Pane& p = a.panes[static_cast<std::size_t>(index)];
    bool active = index == a.active;
    if (active)
        stop_watcher(index);
    v->box.suspend_redraw();
    v->box.clear();
    bool placed = false;
    if (index == 1) {
        a.drive_count = 0;
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
            if (!drive_exists(letter))
                continue;
            char root[4] = {letter, ':', '/', '\0'};
            v->box.add(root, system_icons() ? system_icons()->icon_of(root) : -1);
            ++a.drive_count;
        }
        auto folders = netdrive_folders(read_netdrive_list(settings_file_path()));
        a.network_count = static_cast<int>(folders.size());
        for (const std::string& folder : folders) {
            std::string text = bounded(folder, path_size);
            v->box.add(text.c_str(), system_icons() ? system_icons()->network_icon() : -1);
        }
        HMENU servers = nullptr;
        if (a.main_menu)
            servers = GetSubMenu(GetSubMenu(a.main_menu, MENU_POS_SETTINGS), MENU_POS_SETTINGS_FTP_SERVERS);
        host().add_server_entries(v->box, servers);
        if (p.path.empty()) {
            for (int i = 0; i < v->box.count(); ++i) {
                std::string text = v->box.item_text(i);
                if (text.size() >= 2 && text[1] == ':' && is_fixed_drive(text[0])) {
                    v->box.select(i);
                    v->box.remembered = i;
                    p.path = text;
                    break;
                }
            }
            placed = true;
        }
    } else {
        pane_view* left = view_of(1);
        if (left)
            for (const std::string& text : box_entries(left->box))
                v->box.add(text.c_str(), entry_icon(text));
        if (p.path.empty() && left) {
            int selected = left->box.selection();
            v->box.select(selected);
            v->box.remembered = selected;
            p.path = a.panes[1].path;
            placed = true;
        }
    }
    if (!placed) {
        int entry = entry_for_path(v->box, p.path);
        if (entry >= 0) {
            v->box.replace(entry, p.path.c_str());
            v->box.select(entry);
        }
        v->box.remembered = entry;
    }
    if (index == 1)
        fill_empty_marks();
    v->box.resume_redraw();
    read_listing(p, active);
    if (active && is_local_path(p.path))
        start_watcher(index);
}

void choose_entry(int entry)
{
    pane_area& a = panes();
    int index = a.active;
    pane_view* v = view_of(index);
    if (!v || entry < 0 || entry >= v->box.count())
        return;
    Pane& p = active_pane();
    int earlier = a.entry_before;
    stop_watcher(index);
    v->box.select(entry);
    v->box.remembered = entry;
    p.path = v->box.item_text(entry);
    if (a.ftp_before)
        host().leave_server(index, earlier);
    a.ftp_before = false;
    auto back_to_earlier = [&] {
        if (earlier < 0 || earlier >= v->box.count())
            return;
        v->box.select(earlier);
        v->box.remembered = earlier;
        p.path = v->box.item_text(earlier);
    };
    if (!is_local_path(p.path) && !host().open_server(index, entry)) {
        back_to_earlier();
        if (!is_local_path(p.path))
            host().open_server(index, earlier);
        return;
    }
    if (!read_listing(p, true))
        back_to_earlier();
    if (is_local_path(p.path))
        start_watcher(index);
}
