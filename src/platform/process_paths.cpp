// Paths that ask the operating system: directories of this run, environment directories, temporary files.
#include "platform/process_paths.h"

#include "base/cp932.h"
#include "base/paths.h"
#include "platform/os.h"

#include <cstdio>
#include <cstring>

std::string absolute_path(std::string_view relative)
{
    std::string full = bounded(os::full_path(std::string(relative)), path_size);
    to_slashes(full);
    return full;
}

std::string read_env_dir(const char* name, bool directory)
{
    auto value = os::get_env(name);
    if (!value || value->empty())
        return {};
    std::string text = bounded(*value, path_size);
    if (directory) {
        to_slashes(text);
        if (text.back() != '/')
            append_bounded(text, path_size, "/");
    }
    mbs_upper(text);
    return text;
}

std::string temp_directory()
{
    std::string dir = read_env_dir("TMP_RAM", true);
    if (dir.empty())
        dir = read_env_dir("TMP", true);
    if (dir.empty())
        dir = read_env_dir("TEMP", true);
    return dir;
}

bool make_temp_file(std::string& path, std::string_view name_template)
{
    std::string name = temp_directory();
    append_bounded(name, path_size, name_template);
    std::size_t run = name.find('$');
    if (run == std::string::npos)
        return false;
    std::size_t n = 0;
    while (run + n < name.size() && name[run + n] == '$')
        name[run + n++] = '0';
    for (unsigned k = 0; k <= 99999999; ++k) {
        char digits[16];
        int len = std::snprintf(digits, sizeof digits, "%u", k);
        if (static_cast<std::size_t>(len) > n)
            return false;
        std::memcpy(&name[run + n - static_cast<std::size_t>(len)], digits, static_cast<std::size_t>(len));
        if (os::path_exists(name))
            continue;
        // Exclusive creation: a name another process took meanwhile moves us on to the next number.
        if (os::create_new_file(name)) {
            path = name;
            return true;
        }
        if (!os::path_exists(name))
            return false; // the directory refuses new files
    }
    return false;
}

process_dirs& dirs()
{
    static process_dirs state;
    return state;
}
