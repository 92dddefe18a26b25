// Program definitions: the two files, their default entries and the reads of single entries.
#include "programs/program_defs.h"

#include "base/cp932.h"
#include "base/paths.h"
#include "platform/os.h"
#include "platform/process_paths.h"
#include "settings/ini.h"
#include "settings/ini_profile.h"

#include <algorithm>

namespace {

struct default_entry {
    const char* title;
    const char* program;
    const char* parameter;
    const char* confirm;
};

// Extension programs list an archive with Enter and extract it with Shift+Enter.
constexpr default_entry extension_defaults[] = {
    {"cab", "cab32.dll/Cab", "-l \"?F1\"", "-"},
    {"cab(SHIFT)", "cab32.dll/Cab", "-x \"?F1\" \"?D2?\\\"", "+"},
    {"lzh", "unlha32.dll/Unlha", "l \"?F1\"", "-"},
    {"lzh(SHIFT)", "unlha32.dll/Unlha", "x \"?F1\" \"?D2?\\\"", "+"},
    {"zip", "7-zip32.dll/SevenZip", "l \"?F1\"", "-"},
    {"zip(SHIFT)", "7-zip32.dll/SevenZip", "x -aoa \"?F1\" \"-o?D2\"", "+"},
};

// Manual programs make an archive of the marked files in the target directory.
constexpr default_entry manual_defaults[] = {
    {"make &Cab", "cab32.dll/Cab", "-a -g -ml:21 \"?D2?\\?f2\" \"?D1?\\\" \"?f1\"", "+"},
    {"make &Lzh", "unlha32.dll/Unlha", "a -d \"?D2?\\?f2\" \"?D1?\\\" \"?f1\"", "+"},
    {"make &Zip", "7-zip32.dll/SevenZip", "a -tzip -mx=9 \"?D2?\\?f2\" \"?D1?\\\" \"?f1\"", "+"},
};

template <std::size_t n> bool write_defaults(const std::string& path, const default_entry (&entries)[n])
{
    for (const auto& e : entries)
        if (!ini_put_string(path, e.title, "program", e.program) ||
            !ini_put_string(path, e.title, "parameter", e.parameter) ||
            !ini_put_string(path, e.title, "confirm", e.confirm))
            return false;
    return true;
}

} // namespace

std::string program_file_path(program_file which)
{
    return dirs().program_file(which == program_file::manual ? "program.ini" : "programe.ini");
}

bool ensure_default_programs(const std::string& path, program_file which)
{
    if (os::path_exists(path))
        return true;
    return which == program_file::manual ? write_defaults(path, manual_defaults)
                                         : write_defaults(path, extension_defaults);
}

bool ensure_default_programs(program_file which)
{
    return ensure_default_programs(program_file_path(which), which);
}

std::optional<std::string> program_title_at(const std::string& path, std::size_t index, std::size_t size)
{
    return ini_section_name(path, index, size);
}

bool program_exists(const std::string& path, std::string_view title)
{
    return ini_find_section(path, title);
}

std::string read_program_key(const std::string& path, std::string_view title, std::string_view key,
                             std::size_t size, std::string_view default_text)
{
    return ini_get_string(path, title, key, size, default_text);
}

std::size_t count_programs(const std::string& path)
{
    std::size_t n = 0;
    while (ini_section_name(path, n, 128))
        ++n;
    return n;
}

program_entry read_program_entry(const std::string& path, std::string_view title)
{
    program_entry e;
    e.title = std::string(title);
    e.program = ini_get_string(path, title, "program", 256, "");
    to_slashes(e.program);
    // The reader strips a default's enclosing quotes too: give it in the stored form.
    e.parameter = ini_get_string(path, title, "parameter", 256, stored_parameter("\"?F1\""));
    e.confirm = ini_get_char(path, title, "confirm", '+') == '+';
    return e;
}

std::string stored_parameter(std::string_view parameter)
{
    // Not cut to the edit's 255 bytes: the reader strips the quotes before it cuts.
    if (!parameter.empty() && (parameter.front() == '"' || parameter.front() == '\''))
        return "'" + std::string(parameter) + "'";
    return std::string(parameter);
}

bool save_program(const std::string& path, std::string_view title, std::string program,
                  std::string_view parameter, bool confirm)
{
    return replace_program(path, {}, title, std::move(program), parameter, confirm);
}

bool replace_program(const std::string& path, std::string_view old_title, std::string_view title,
                     std::string program, std::string_view parameter, bool confirm)
{
    std::optional<std::string> old = os::read_file(path);
    if (!old && os::path_exists(path))
        return false; // there, but not readable: never replace what could not be read
    std::string text = old.value_or(std::string());
    if (!old_title.empty()) {
        ini_profile without = ini_parse(text);
        ini_profile_set(without, old_title, std::nullopt, std::nullopt);
        text = ini_serialize(without);
    }
    if (text.empty())
        text = "[" + std::string(title) + "]\r\n";
    else if (!ini_text_has_section(text, title))
        text = ini_text_insert_section_sorted(text, title);
    ini_profile profile = ini_parse(text);
    to_slashes(program);
    ini_profile_set(profile, title, "program", program);
    ini_profile_set(profile, title, "parameter", stored_parameter(parameter));
    ini_profile_set(profile, title, "confirm", confirm ? "+" : "-");
    return os::write_file_atomic(path, ini_serialize(profile));
}

bool delete_program(const std::string& path, std::string_view title)
{
    return ini_delete_section(path, title);
}

bool program_title_taken(const std::string& path, std::string_view title, std::string_view own)
{
    if (!own.empty() && title == own)
        return false; // kept as it is
    for (std::size_t i = 0;; ++i) {
        std::optional<std::string> name = ini_section_name(path, i, 256);
        if (!name)
            return false;
        if (*name != own && equal_text_nocase(*name, title))
            return true;
    }
}

std::vector<std::string> program_titles(const std::string& path)
{
    std::vector<std::string> titles;
    while (titles.size() < max_program_entries) {
        std::optional<std::string> title = ini_section_name(path, titles.size(), 128);
        if (!title)
            break;
        titles.push_back(std::move(*title));
    }
    return titles;
}

bool extension_matches(std::string_view title, std::string_view file_name, bool shift)
{
    std::size_t dot = mbs_rfind(file_name, '.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == file_name.size())
        return false;
    if ((title.find("(SHIFT)") != std::string_view::npos) != shift)
        return false;
    std::string_view ext = file_name.substr(dot + 1);
    std::string_view list = title.substr(0, std::min(title.find('('), title.size()));
    for (std::size_t start = 0; start <= list.size();) {
        std::size_t end = std::min(list.find('/', start), list.size());
        if (equal_text_nocase(list.substr(start, end - start), ext))
            return true;
        start = end + 1;
    }
    return false;
}

std::optional<program_entry> find_extension_program(const std::string& path, std::string_view file_name,
                                                    bool shift)
{
    for (std::size_t i = 0;; ++i) {
        std::optional<std::string> title = ini_section_name(path, i, 256);
        if (!title)
            return std::nullopt;
        if (extension_matches(*title, file_name, shift))
            return read_program_entry(path, *title);
    }
}
