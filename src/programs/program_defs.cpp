// Program definitions: the two files, their default entries and the reads of single entries.
#include "programs/program_defs.h"

#include "platform/os.h"
#include "platform/process_paths.h"
#include "settings/ini.h"

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
