// Panes on FTP servers: their state, entering and leaving, the box entries, the listing read.
#include "ftp/ftp_panes_win.h"

#include "base/paths.h"
#include "ftp/ftp_log_window_win.h"
#include "ftp/listing_cache.h"
#include "ftp/server_dialogs_win.h"
#include "pane/entry_text.h"
#include "pane/local_listing_win.h"
#include "pane/pane_view_win.h"
#include "platform/os.h"
#include "platform/process_paths.h"
#include "resource.h"
#include "toolkit/module_win.h"
#include "toolkit/shell_icons_win.h"

#include <array>
#include <cstdint>

namespace {

int message(HWND owner, unsigned caption_id, unsigned text_id, UINT kind)
{
    return MessageBoxA(owner, resource_string(text_id, 256).c_str(), resource_string(caption_id, 128).c_str(),
                       kind);
}

void file_error(HWND owner)
{
    message(owner, IDS_CAPTION_ERROR, IDS_FILE_RW_ERROR, MB_OK | MB_ICONWARNING);
}

Pane& pane_at(int pane)
{
    return panes().panes[static_cast<std::size_t>(pane == 2 ? 2 : 1)];
}

// The other pane while two are shown, when it is on the same server as `pane`.
int twin_on_server(int pane)
{
    if (!panes().dual)
        return 0;
    int other = 3 - pane;
    const Pane& a = pane_at(pane);
    const Pane& b = pane_at(other);
    return !is_local_path(b.path) && same_ftp_server(a.path, b.path) ? other : 0;
}

bool make_directory_if_missing(std::string dir)
{
    if (!dir.empty() && dir.back() == '/')
        dir.pop_back();
    return os::is_directory(dir) || os::make_directory(dir);
}

} // namespace

pane_ftp_state& pane_ftp(int pane)
{
    static std::array<pane_ftp_state, 3> states;
    return states[static_cast<std::size_t>(pane == 2 ? 2 : 1)];
}

std::optional<std::string> entry_server_title(int entry)
{
    const pane_area& a = panes();
    int index = entry - a.drive_count - a.network_count;
    if (entry < 0 || index < 0)
        return std::nullopt;
    return server_title(ftp_ini_path(), static_cast<std::size_t>(index));
}

std::optional<std::string> pane_server_title(int pane)
{
    const pane_view* v = panes().views[static_cast<std::size_t>(pane == 2 ? 2 : 1)].get();
    if (!v)
        return std::nullopt;
    return entry_server_title(v->box.selection());
}

std::optional<ftp_operation_params> pane_operation_params(HWND owner, int pane)
{
    std::optional<std::string> title = pane_server_title(pane);
    std::optional<ftp_operation_params> params;
    if (title)
        params = server_operation_params(ftp_ini_path(), dirs().program_dir, *title, pane_at(pane).path,
                                         pane_ftp(pane).password);
    if (!params)
        file_error(owner);
    return params;
}

bool pane_open_server(HWND owner, int pane, int entry)
{
    pane_ftp_state& state = pane_ftp(pane);
    // Two panes on one server: one password prompt, one set of flags.
    if (int twin = twin_on_server(pane); twin && pane_ftp(twin).open) {
        state = pane_ftp(twin);
        return true;
    }
    std::optional<std::string> title = entry_server_title(entry);
    if (!title)
        return false;
    const std::string& program_dir = dirs().program_dir;
    std::string cache = server_cache_dir(program_dir, *title);
    if (cache.empty() || !make_directory_if_missing(program_dir + "ftp_dir") ||
        !make_directory_if_missing(cache))
        return false;
    read_support(support_ini_path(program_dir, *title), state.flags);
    // A protected password this user cannot read is no stored password: the prompt asks.
    state.password = server_password(ftp_ini_path(), *title);
    if (state.password.empty()) {
        dialog_password prompt;
        if (prompt.show(TEMPLATE_PASSWORD, owner) != 1)
            return false;
        state.password = prompt.typed();
    }
    state.open = true;
    return true;
}

void pane_leave_server(int pane, int entry)
{
    pane_ftp_state& state = pane_ftp(pane);
    state.password.assign(state.password.size(), '*');
    state.open = false;
    // Flags that were never probed say nothing about the server: kept, they would stand for it.
    if (!state.flags[flag_probed])
        return;
    if (std::optional<std::string> title = entry_server_title(entry))
        keep_support(support_ini_path(dirs().program_dir, *title), state.flags);
}

int server_list_build(combo& box, HMENU server_menu)
{
    if (server_menu)
        while (GetMenuItemCount(server_menu) > 1)
            DeleteMenu(server_menu, 1, MF_BYPOSITION);
    std::string path = ftp_ini_path();
    int icon = system_icons() ? system_icons()->network_icon() : -1;
    int count = 0;
    for (std::size_t i = 0; i < max_servers; ++i) {
        std::optional<std::string> title = server_title(path, i);
        if (!title)
            break;
        std::string server = server_value(path, *title, "server", server_text_size, "");
        std::string start = server_value(path, *title, "start directory", path_size, "/");
        box.add(ftp_pane_path(server.empty() ? "???" : server, start).c_str(), icon);
        if (server_menu) {
            if (i == 0)
                AppendMenuA(server_menu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(server_menu, MF_STRING, static_cast<UINT_PTR>(IDM_EDIT_FTP_SERVER_FIRST + i),
                        title->c_str());
        }
        ++count;
    }
    return count;
}

void registry_exit_cleanup()
{
    pane_area& a = panes();
    for (int i = 1; i <= (a.dual ? 2 : 1); ++i) {
        const pane_view* v = a.views[static_cast<std::size_t>(i)].get();
        if (v && !is_local_path(pane_at(i).path))
            pane_leave_server(i, v->box.selection());
    }
    os::set_current_directory(dirs().program_dir);
    remove_dropped_caches(ftp_ini_path(), dirs().program_dir);
}

bool read_ftp_listing(Pane& pane, bool make_current)
{
    HWND owner = panes().main;
    int index = pane.index;
    std::optional<std::string> title = pane_server_title(index);
    if (!title)
        return false;
    const std::string& program_dir = dirs().program_dir;
    std::string directory = ftp_directory_of(pane.path);
    if (!cache_make_directories(program_dir, *title, directory))
        return false;
    std::string cache = cache_file_path(program_dir, *title, directory);
    if (!os::path_exists(cache)) {
        if (message(owner, IDS_CAPTION_QUESTION, IDS_ASK_FTP_ACCESS, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
            return false;
        // A pane that came to the server without entering it (the start, the drives re-read)
        // enters it now.
        pane_ftp_state& state = pane_ftp(index);
        const pane_view* v = panes().views[static_cast<std::size_t>(index)].get();
        if (!state.open && (!v || !pane_open_server(owner, index, v->box.selection())))
            return false;
        std::optional<ftp_operation_params> params = pane_operation_params(owner, index);
        if (!params || !ftp_run_listing(owner, *params, state.flags))
            return false;
        if (int twin = twin_on_server(index))
            pane_ftp(twin).flags = state.flags;
    }
    if (make_current && panes().dual) {
        const Pane& other = pane_at(3 - index);
        if (is_local_path(other.path))
            os::set_current_directory(other.path);
    }
    if (pane.hooks)
        pane.hooks->suspend_redraw();
    pane.rows.clear();
    std::string wildcard = bounded(pane.wildcard, path_size);
    for (const cache_entry& e : cache_read_entries(cache, directory == "/")) {
        if (!e.is_directory && !match_wildcard(e.name, wildcard))
            continue;
        std::optional<std::uint64_t> size;
        if (!e.is_directory && e.has_size)
            if (std::int64_t value = cache_size_value(e.size_text); value >= 0)
                size = static_cast<std::uint64_t>(value);
        std::optional<std::string_view> time;
        if (e.has_time)
            time = std::string_view(e.time_text).substr(0, 14);
        add_ftp_entry(pane, e.is_directory, e.name, size, time);
    }
    finish_listing(pane);
    return true;
}
