// The settings file kelvasto.ini: its keys and defaults, the settings state, colours.
#include "settings/settings.h"

#include "base/paths.h"
#include "platform/os.h"
#include "platform/process_paths.h"
#include "settings/ini.h"
#include "settings/ini_profile.h"

const std::array<const char*, color_count> color_keys = {
    "back source",   "back target",    "text system",  "text hidden",
    "text readonly", "text directory", "text unknown", "text normal",
};
const std::array<const char*, color_count> color_defaults = {
    "0:0:64", "0:0:0", "255:0:0", "0:0:255", "0:255:0", "0:255:255", "255:255:0", "255:255:255",
};
const std::array<const char*, key_letter_count> key_names = {
    "select drive", "edit wildcard",    "open menu file",   "make directory", "make file",         "mark all",
    "compare",      "open dual window", "mask system file", "open menu sort", "open menu program",
};

app_settings& settings()
{
    static app_settings state;
    return state;
}

std::string settings_file_path()
{
    return dirs().program_file("kelvasto.ini");
}

namespace {

// The default file and the options dialog write the same keys in the same order.
bool write_all(const std::string& path, const settings_values& v)
{
    auto put = [&](const char* section, const char* key, std::string_view value) {
        return ini_put_string(path, section, key, value);
    };
    bool ok = ini_put_bool(path, "switch", "confirm copy", v.confirm_copy) &&
              ini_put_bool(path, "switch", "confirm move", v.confirm_move) &&
              ini_put_bool(path, "switch", "use trash", v.use_trash) &&
              put("string", "netdrive", v.netdrive) && put("string", "text viewer", v.text_viewer) &&
              put("string", "text extension", v.text_extension) && put("font", "name", v.font_name) &&
              ini_put_int(path, "font", "size", v.font_size) &&
              ini_put_int(path, "font", "point", v.font_point) &&
              ini_put_int(path, "font", "bold", v.font_weight) &&
              ini_put_bool(path, "font", "italic", v.font_italic) && put("font", "style", v.font_style);
    for (std::size_t i = 0; ok && i < color_count; ++i)
        ok = put("color", color_keys[i], v.colors[i]);
    for (std::size_t i = 0; ok && i < key_letter_count; ++i)
        ok = ini_put_char(path, "key", key_names[i], v.key_letters[i]);
    return ok;
}

} // namespace

bool ensure_settings_file(const std::string& path, std::string_view font_name, std::string_view font_style)
{
    if (os::path_exists(path))
        return true;
    settings_values v;
    v.text_viewer = default_text_viewer;
    v.text_extension = default_text_extensions;
    v.font_name = font_name;
    v.font_style = font_style;
    for (std::size_t i = 0; i < color_count; ++i)
        v.colors[i] = color_defaults[i];
    for (std::size_t i = 0; i < key_letter_count; ++i)
        v.key_letters[i] = default_key_letters[i];
    return write_all(path, v);
}

void load_settings(const std::string& path, std::string_view font_name, std::string_view font_style)
{
    app_settings& s = settings();
    s.confirm_copy = ini_get_bool(path, "switch", "confirm copy", true);
    s.confirm_move = ini_get_bool(path, "switch", "confirm move", true);
    s.use_trash = ini_get_bool(path, "switch", "use trash", true);
    s.text_viewer = ini_get_string(path, "string", "text viewer", path_size, default_text_viewer);
    to_slashes(s.text_viewer);
    s.font_name = ini_get_string(path, "font", "name", name_size, font_name);
    s.font_size = ini_get_int(path, "font", "size", -12);
    s.font_point = ini_get_int(path, "font", "point", 9);
    s.font_weight = ini_get_int(path, "font", "bold", 400);
    s.font_italic = ini_get_bool(path, "font", "italic", false);
    s.font_style = ini_get_string(path, "font", "style", name_size, font_style);
    for (std::size_t i = 0; i < color_count; ++i)
        s.colors[i] = parse_color(ini_get_string(path, "color", color_keys[i], 12, color_defaults[i]));
    for (std::size_t i = 0; i < key_letter_count; ++i)
        s.key_letters[i] = ini_get_char(path, "key", key_names[i], default_key_letters[i]);
}

bool save_settings(const std::string& path, const settings_values& values)
{
    settings_values v = values;
    to_slashes(v.text_viewer);
    return write_all(path, v);
}

std::string read_netdrive_list(const std::string& path, std::size_t size)
{
    return ini_get_string(path, "string", "netdrive", size, "");
}

std::string read_text_extension_list(const std::string& path, std::size_t size)
{
    return ini_get_string(path, "string", "text extension", size, default_text_extensions);
}

color_value parse_color(std::string_view text)
{
    if (text.empty())
        return 0;
    auto low_byte = [](std::string_view part) { return static_cast<color_value>(ini_atoi(part)) & 0xFF; };
    color_value red = low_byte(text);
    std::size_t first = text.find(':'); // ':' is never a trail byte
    if (first == std::string_view::npos)
        return red;
    std::string_view rest = text.substr(first + 1);
    std::size_t second = rest.find(':');
    if (rest.empty() || second == std::string_view::npos)
        return red | low_byte(rest) << 8;
    return red | low_byte(rest) << 8 | low_byte(rest.substr(second + 1)) << 16;
}

std::string format_color(color_value color)
{
    return std::to_string(color & 0xFF) + ":" + std::to_string(color >> 8 & 0xFF) + ":" +
           std::to_string(color >> 16 & 0xFF);
}
