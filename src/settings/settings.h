// The settings file kelvasto.ini and the settings state the program reads.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// 24-bit RGB with red in the low byte (COLORREF order); text form "%d:%d:%d".
using color_value = std::uint32_t;

constexpr std::size_t color_count = 8;
constexpr std::size_t key_letter_count = 11;

// Indexes of app_settings::colors, in the order of the keys of section "color".
enum color_index : std::size_t {
    color_back_source,
    color_back_target,
    color_text_system,
    color_text_hidden,
    color_text_readonly,
    color_text_directory,
    color_text_unknown,
    color_text_normal,
};

// Indexes of app_settings::key_letters, in the order of the keys of section "key".
enum key_index : std::size_t {
    key_select_drive,
    key_edit_wildcard,
    key_open_menu_file,
    key_make_directory,
    key_make_file,
    key_mark_all,
    key_compare,
    key_open_dual_window,
    key_mask_system_file,
    key_open_menu_sort,
    key_open_menu_program,
};

struct app_settings {
    bool confirm_copy = true;
    bool confirm_move = true;
    bool use_trash = true;
    std::string text_viewer; // forward slashes; environment references expanded only when used
    std::string font_name;
    int font_size = -12;
    int font_point = 9;
    int font_weight = 400;
    bool font_italic = false;
    std::string font_style;
    std::array<color_value, color_count> colors{};
    std::array<char, key_letter_count> key_letters{};
};

// The one settings state of the process (main thread).
app_settings& settings();

// The file names of the INI keys, in the order the file holds them.
extern const std::array<const char*, color_count> color_keys;
extern const std::array<const char*, color_count> color_defaults;
extern const std::array<const char*, key_letter_count> key_names;
constexpr char default_key_letters[] = "DPFKNACWMSE";
constexpr char default_text_viewer[] = "%WINDIR%\\notepad.exe";
constexpr char default_text_extensions[] = ".cgi.css.htm.html.pl.txt";
// The working size of the two lists the options dialog writes.
constexpr std::size_t list_buffer_size = 0x8000;

// program_dir + "kelvasto.ini".
std::string settings_file_path();

// Creates the file with every key at its default, in file order, when it does not exist; false
// at the first failed write. An existing file is left alone. The font name and style defaults
// are the string-table texts the caller loads.
bool ensure_settings_file(const std::string& path, std::string_view font_name, std::string_view font_style);
// Reads every key but the two lists into settings(); missing keys take their defaults.
void load_settings(const std::string& path, std::string_view font_name, std::string_view font_style);

// Everything the options dialog hands back, in file order.
struct settings_values {
    bool confirm_copy = true;
    bool confirm_move = true;
    bool use_trash = true;
    std::string netdrive;
    std::string text_viewer;
    std::string text_extension;
    std::string font_name;
    int font_size = -12;
    int font_point = 9;
    int font_weight = 400;
    bool font_italic = false;
    std::string font_style;
    std::array<std::string, color_count> colors;
    std::array<char, key_letter_count> key_letters{};
};
// Writes every key in file order; false at the first failed write (earlier keys stay written).
// settings() is not changed: the caller reads the file again with load_settings.
bool save_settings(const std::string& path, const settings_values& values);

// The two lists read from the file at each use, cut to a buffer of `size` bytes.
std::string read_netdrive_list(const std::string& path, std::size_t size = list_buffer_size);
std::string read_text_extension_list(const std::string& path, std::size_t size = list_buffer_size);

// "r:g:b" with each part reduced to its low 8 bits: "300:0:0" is red 44, "255" pure red,
// ":5:6" green 5 and blue 6, "" black.
color_value parse_color(std::string_view text);
std::string format_color(color_value color);
