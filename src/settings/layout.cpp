// The layout file layout.ini and the window-rectangle rules.
#include "settings/layout.h"

#include "base/paths.h"
#include "platform/os.h"
#include "platform/process_paths.h"
#include "settings/ini.h"

#include <cstdio>

namespace {

constexpr const char* column_keys[layout_column_count] = {"width name", "width type", "width size",
                                                          "width date", "width attribute"};
// A new file gets a narrow name column; a file without the key gets a wide one.
constexpr int created_column_widths[layout_column_count] = {160, 42, 71, 126, 36};
constexpr int missing_column_widths[layout_column_count] = {455, 42, 71, 126, 36};

std::string mark_key(std::size_t i)
{
    return "mark" + std::to_string(i + 1);
}

} // namespace

layout_state& layout()
{
    static layout_state state;
    return state;
}

std::string layout_file_path()
{
    return dirs().program_file("layout.ini");
}

bool ensure_layout_file(const std::string& path)
{
    if (os::path_exists(path))
        return true;
    bool ok = ini_put_int(path, "value", "position x", 0) && ini_put_int(path, "value", "position y", 0) &&
              ini_put_int(path, "value", "size x", 320) && ini_put_int(path, "value", "size y", 440);
    for (std::size_t i = 0; ok && i < layout_column_count; ++i)
        ok = ini_put_int(path, "value", column_keys[i], created_column_widths[i]);
    ok = ok && ini_put_int(path, "value", "sort column", 1) &&
         ini_put_bool(path, "switch", "mask systemfile", true) &&
         ini_put_bool(path, "switch", "dual window", false) &&
         ini_put_bool(path, "switch", "sort direction", true) &&
         ini_put_string(path, "directory", "current left", "") &&
         ini_put_string(path, "directory", "current right", "");
    for (std::size_t i = 0; ok && i < mark_count; ++i)
        ok = ini_put_string(path, "directory", mark_key(i), "");
    return ok;
}

void read_layout(const std::string& path)
{
    layout_state& l = layout();
    l.window_x = ini_get_int(path, "value", "position x", 0);
    l.window_y = ini_get_int(path, "value", "position y", 0);
    l.window_width = ini_get_int(path, "value", "size x", 320);
    l.window_height = ini_get_int(path, "value", "size y", 440);
    for (std::size_t i = 0; i < layout_column_count; ++i)
        l.column_widths[i] = ini_get_int(path, "value", column_keys[i], missing_column_widths[i]);
    l.sort_column = ini_get_int(path, "value", "sort column", 1);
    l.hide_system_files = ini_get_bool(path, "switch", "mask systemfile", true);
    l.dual_window = ini_get_bool(path, "switch", "dual window", false);
    l.sort_ascending = ini_get_bool(path, "switch", "sort direction", true);
    auto directory = [&](const std::string& key) {
        std::string dir = ini_get_string(path, "directory", key, path_size, "");
        to_slashes(dir);
        return dir;
    };
    l.pane_dirs[1] = directory("current left");
    l.pane_dirs[2] = directory("current right");
    for (std::size_t i = 0; i < mark_count; ++i)
        l.marks[i] = directory(mark_key(i));
    l.return_paths[1] = l.marks[0];
    l.return_paths[2] = l.marks[0];
}

void write_layout(const std::string& path, const layout_live& live)
{
    const layout_state& l = layout();
    ini_put_int(path, "value", "position x", l.window_x);
    ini_put_int(path, "value", "position y", l.window_y);
    ini_put_int(path, "value", "size x", l.window_width);
    ini_put_int(path, "value", "size y", l.window_height);
    for (std::size_t i = 0; i < layout_column_count; ++i)
        ini_put_int(path, "value", column_keys[i], live.column_widths[i]);
    ini_put_int(path, "value", "sort column", l.sort_column);
    ini_put_bool(path, "switch", "mask systemfile", l.hide_system_files);
    ini_put_bool(path, "switch", "dual window", live.dual_window);
    ini_put_bool(path, "switch", "sort direction", l.sort_ascending);
    ini_put_string(path, "directory", "current left", l.pane_dirs[1]);
    ini_put_string(path, "directory", "current right", l.pane_dirs[2]);
    for (std::size_t i = 0; i < mark_count; ++i)
        ini_put_string(path, "directory", mark_key(i), l.marks[i]);
}

bool keeps_window_position(int show_state)
{
    switch (show_state) {
    case 0: // hidden
    case 2: // minimised
    case 3: // maximised
    case 6:
    case 7:
        return false;
    default:
        return true;
    }
}

int single_pane_width(int outer_width, int client_width, int edge, bool dual)
{
    if (!dual)
        return outer_width;
    return outer_width - 2 * edge - (client_width - 2 * edge) / 2;
}

int dual_pane_width(int single_width, int client_width, int edge)
{
    return single_width + 2 * edge + client_width;
}

int max_track_width(int screen_width, int edge, bool dual)
{
    return dual ? screen_width + 2 * edge : screen_width / 2 + edge;
}

std::string mark_menu_text(std::size_t i, const std::string& path)
{
    char number[16];
    std::snprintf(number, sizeof number, "%2d ", static_cast<int>(i + 1));
    return number + path;
}
