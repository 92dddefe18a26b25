// The checks of the options dialog: command letters, list texts, network folders.
#include "app/option_rules.h"

#include "base/cp932.h"
#include "base/paths.h"
#include "settings/settings.h"

bool key_letters_valid(std::string_view text)
{
    if (text.size() != key_letter_count)
        return false;
    for (char c : text)
        if (c < 'A' || c > 'Z')
            return false;
    return true;
}

namespace {

// Each entry after `before` (the separator goes only between entries when `between`), while the
// whole entry still fits the buffer with its terminator.
std::string join_whole(const std::vector<std::string>& entries, std::string_view before, bool between)
{
    std::string text;
    for (const std::string& e : entries) {
        std::string_view lead = between && text.empty() ? std::string_view() : before;
        if (text.size() + lead.size() + e.size() >= list_buffer_size)
            break;
        text.append(lead).append(e);
    }
    return text;
}

} // namespace

std::string join_netdrive(const std::vector<std::string>& folders)
{
    return join_whole(folders, ":", true);
}

std::string join_text_extensions(const std::vector<std::string>& extensions)
{
    return join_whole(extensions, ".", false);
}

std::vector<std::string> text_extension_entries(std::string_view setting)
{
    std::vector<std::string> entries;
    if (setting.empty() || setting[0] != '.')
        return entries;
    // '.' is never a trail byte.
    for (std::size_t at = 1; at <= setting.size();) {
        std::size_t end = setting.find('.', at);
        if (end == std::string_view::npos)
            end = setting.size();
        if (end > at)
            entries.emplace_back(setting.substr(at, end - at));
        at = end + 1;
    }
    return entries;
}

bool directly_inside(std::string_view path, std::string_view folder)
{
    while (!folder.empty() && folder.back() == '/')
        folder.remove_suffix(1);
    if (folder.empty() || path.size() < folder.size() + 2 || path[folder.size()] != '/' ||
        !equal_text_nocase(path.substr(0, folder.size()), folder))
        return false;
    std::string_view name = path.substr(folder.size() + 1);
    std::size_t slash = mbs_find(name, '/');
    return slash == std::string_view::npos || slash == name.size() - 1;
}

std::optional<std::string> network_folder_entry(std::string_view path)
{
    std::string entry(path);
    to_slashes(entry);
    // "//" and a server name, "/" and a share name at least.
    std::size_t share =
        entry.size() > 2 && entry[0] == '/' && entry[1] == '/' ? mbs_find(entry, '/', 2) : std::string::npos;
    if (share == std::string::npos || share == 2 || share + 1 >= entry.size())
        return std::nullopt;
    if (entry.back() != '/')
        entry += '/';
    return entry;
}
