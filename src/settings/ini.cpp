// The INI operations over files: read through the profile engine, written atomically.
#include "settings/ini.h"

#include "base/cp932.h"
#include "base/paths.h"
#include "platform/os.h"
#include "settings/ini_profile.h"

#include <mutex>

namespace {

// The whole file, or empty text when it is missing or unreadable (reads then give defaults).
std::string file_text(const std::string& path)
{
    return os::read_file(path).value_or(std::string());
}

// One write of the profile service: parse, change, and replace the file only when it changed.
bool profile_write(const std::string& path, std::string_view section, std::optional<std::string_view> key,
                   std::optional<std::string_view> value, bool keep_sorted)
{
    // One read-modify-write at a time, as the system's profile service does: two threads
    // writing the same file would otherwise lose a key or collide on the work file.
    static std::mutex write_lock;
    std::lock_guard<std::mutex> hold(write_lock);
    std::optional<std::string> old = os::read_file(path);
    if (!old && os::path_exists(path))
        return false; // there, but not readable: never replace what could not be read
    std::string text = old.value_or(std::string());
    bool inserted = false;
    if (keep_sorted && key && value) {
        if (!old) {
            text = "[" + std::string(section) + "]\r\n";
            inserted = true;
        } else if (!ini_text_has_section(text, section)) {
            text = ini_text_insert_section_sorted(text, section);
            inserted = true;
        }
    }
    ini_profile profile = ini_parse(text);
    if (!ini_profile_set(profile, section, key, value) && !inserted)
        return true;
    return os::write_file_atomic(path, ini_serialize(profile));
}

} // namespace

bool ini_find_section(const std::string& path, std::string_view section)
{
    std::optional<std::string> text = os::read_file(path);
    return text && ini_text_has_section(*text, section);
}

std::optional<std::string> ini_section_name(const std::string& path, std::size_t n, std::size_t size)
{
    std::optional<std::string> text = os::read_file(path);
    if (!text)
        return std::nullopt;
    std::optional<std::string> name = ini_text_section_name(*text, n);
    if (name)
        *name = bounded(*name, size);
    return name;
}

bool ini_delete_section(const std::string& path, std::string_view section)
{
    return profile_write(path, section, std::nullopt, std::nullopt, false);
}

bool ini_delete_key(const std::string& path, std::string_view section, std::string_view key)
{
    return profile_write(path, section, key, std::nullopt, false);
}

std::string ini_get_string(const std::string& path, std::string_view section, std::string_view key,
                           std::size_t size, std::string_view default_text)
{
    return ini_profile_get(ini_parse(file_text(path)), section, key, size, default_text);
}

char ini_get_char(const std::string& path, std::string_view section, std::string_view key,
                  char default_letter)
{
    std::string fallback = default_letter ? std::string(1, default_letter) : std::string();
    std::string value = ini_get_string(path, section, key, 2, fallback);
    return value.empty() ? '\0' : value[0];
}

bool ini_get_bool(const std::string& path, std::string_view section, std::string_view key, bool default_value)
{
    std::string value = ini_get_string(path, section, key, 4, default_value ? "+" : "-");
    if (equal_text_nocase(value, "ON"))
        value = "+";
    else if (equal_text_nocase(value, "OFF"))
        value = "-";
    return !value.empty() && value[0] == '+';
}

int ini_get_int(const std::string& path, std::string_view section, std::string_view key, int default_value)
{
    return ini_atoi(ini_get_string(path, section, key, 12, std::to_string(default_value)));
}

bool ini_put_string(const std::string& path, std::string_view section, std::string_view key,
                    std::string_view value, bool keep_sorted)
{
    return profile_write(path, section, key, value, keep_sorted);
}

bool ini_put_char(const std::string& path, std::string_view section, std::string_view key, char letter,
                  bool keep_sorted)
{
    std::string text = letter ? std::string(1, letter) : std::string();
    return ini_put_string(path, section, key, text, keep_sorted);
}

bool ini_put_bool(const std::string& path, std::string_view section, std::string_view key, bool value,
                  bool keep_sorted)
{
    return ini_put_string(path, section, key, value ? "+" : "-", keep_sorted);
}

bool ini_put_int(const std::string& path, std::string_view section, std::string_view key, int value,
                 bool keep_sorted)
{
    return ini_put_string(path, section, key, std::to_string(value), keep_sorted);
}
