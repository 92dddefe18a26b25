// Reading a pane's directory from the Windows file system, single rows, attributes, times, volumes.
#include "pane/local_listing_win.h"

#include "base/cp932.h"
#include "base/paths.h"
#include "pane/dir_scan_win.h"
#include "pane/entry_text.h"
#include "pane/pane_view_win.h"
#include "platform/os.h"
#include "platform/process_paths.h"
#include "resource.h"
#include "toolkit/module_win.h"
#include "toolkit/shell_icons_win.h"

#include <shellapi.h>

#include <memory>
#include <unordered_map>

namespace {

// Icon indexes for one listing: the shell is asked once per type, by the type alone (asked with a
// real path, the shell may read the whole directory for every question), and once for all
// directories; files of the types that carry an icon of their own are still asked one by one.
class icon_lookup {
public:
    int icon(const std::string& dir, std::string_view file_name, bool is_dir, const std::string& type)
    {
        shell_icons* icons = system_icons();
        if (!icons)
            return 0;
        if (file_name == "..")
            return icons->folder_icon();
        if (is_dir) {
            if (dir_icon_ < 0)
                dir_icon_ = icon_by_type("", FILE_ATTRIBUTE_DIRECTORY);
            return dir_icon_;
        }
        std::string key = type;
        mbs_upper(key);
        if (has_own_icon(key))
            return icons->icon_of(dir + std::string(file_name));
        auto found = by_type_.find(key);
        if (found != by_type_.end())
            return found->second;
        int icon = icon_by_type(type, FILE_ATTRIBUTE_NORMAL);
        by_type_.emplace(std::move(key), icon);
        return icon;
    }

private:
    static int icon_by_type(const std::string& type, DWORD attributes)
    {
        std::string name = type.empty() ? std::string("x") : "x." + type;
        SHFILEINFOA info{};
        SHGetFileInfoA(name.c_str(), attributes, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES);
        return info.iIcon;
    }

    static bool has_own_icon(const std::string& type)
    {
        for (const char* own : {"EXE", "ICO", "LNK", "CUR", "ANI", "URL", "PIF"})
            if (type == own)
                return true;
        return false;
    }

    std::unordered_map<std::string, int> by_type_;
    int dir_icon_ = -1;
};

// A row from the entry the scan stands on: size, time and attributes come with it.
FileEntry entry_from_scan(const Pane& pane, const dir_scan& scan, icon_lookup& icons)
{
    FileEntry row;
    std::string_view file_name = scan.name();
    bool is_dir = scan.is_dir();
    auto parts = split_entry_name(file_name, is_dir);
    row.name = std::move(parts.name);
    row.type = std::move(parts.type);
    if (is_dir)
        row.set_dir();
    else
        row.set_size(scan.size());
    if (file_name != "..") {
        time_fields time;
        if (scan.local_time(time))
            row.set_time(time);
        else
            row.set_time_text(unknown_local_time);
        row.set_attributes(scan.attributes());
    }
    row.icon = icons.icon(pane.path, file_name, is_dir, row.type);
    return row;
}

std::string backslashed(const std::string& path)
{
    std::string native = path;
    to_backslashes(native);
    return native;
}

bool read_local_listing(Pane& pane, bool set_current)
{
    std::string wildcard = bounded(pane.wildcard, path_size);
    if (pane.path.back() != '/')
        pane.path += '/'; // without it the scan would yield the directory itself, not its entries
    auto scan = std::make_unique<dir_scan>(pane.path);
    bool climbed = false;
    while (!scan->found() && !is_at_root(pane.path)) {
        std::string before = pane.path;
        parent_path(pane.path);
        if (pane.path == before)
            break; // no separator left to climb by
        climbed = true;
        scan = std::make_unique<dir_scan>(pane.path);
    }
    if (climbed && pane.hooks)
        pane.hooks->path_replaced();
    if (set_current)
        os::set_current_directory(pane.path);

    if (pane.hooks)
        pane.hooks->suspend_redraw();
    pane.rows.clear();
    icon_lookup icons;
    bool hide = hide_system_files();
    for (bool more = scan->found(); more; more = scan->next()) {
        scan_facts facts{scan->name(), scan->is_dir(), scan->is_system(), scan->is_hidden()};
        if (keep_local_entry(facts, pane.path, wildcard, hide))
            pane.rows.append(entry_from_scan(pane, *scan, icons));
    }
    scan.reset();
    finish_listing(pane);
    return true;
}

} // namespace

bool read_listing(Pane& pane, bool set_current)
{
    if (is_local_path(pane.path))
        return read_local_listing(pane, set_current);
    return host().read_ftp_listing(pane, set_current);
}

void finish_listing(Pane& pane)
{
    // The view was told to hold its redraw before the read and takes all rows afresh below: the
    // sort need not refill it first.
    pane.rows.sort(sort_state());
    if (!pane.rows.empty())
        pane.rows.set_cursor(0);
    if (pane.hooks)
        pane.hooks->resume_redraw();
    update_pane_info(pane);
    if (pane.hooks)
        pane.hooks->listing_read();
}

void add_local_entry(Pane& pane, bool is_dir, std::string_view file_name)
{
    std::string path = pane.path + std::string(file_name);
    FileEntry row;
    auto parts = split_entry_name(file_name, is_dir);
    row.name = std::move(parts.name);
    row.type = std::move(parts.type);
    if (file_name == "..") {
        row.set_dir();
    } else {
        dir_scan scan(path);
        if (is_dir)
            row.set_dir();
        else
            row.set_size(scan.found() ? scan.size() : 0);
        time_fields time;
        if (scan.found() && scan.local_time(time))
            row.set_time(time);
        else
            row.set_time_text(unknown_local_time);
        std::string attributes;
        attribute_text(path, attributes);
        row.set_attr_text(attributes);
    }
    shell_icons* icons = system_icons();
    row.icon = icons ? icons->icon_of(path) : 0;
    pane.rows.append(std::move(row));
}

void add_ftp_entry(Pane& pane, bool is_dir, std::string_view file_name, std::optional<std::uint64_t> size,
                   std::optional<std::string_view> time14)
{
    shell_icons* icons = system_icons();
    pane.rows.append(make_ftp_entry(is_dir, file_name, size, time14, icons ? icons->folder_icon() : 0,
                                    icons ? icons->generic_file_icon() : 0));
}

void update_pane_info(Pane& pane)
{
    bool local = is_local_path(pane.path);
    std::string root = volume_root(pane.path);
    std::uint64_t count;
    std::string amount;
    unsigned label_a, label_b;
    if (std::size_t marked = pane.rows.marked_count()) {
        count = marked;
        std::uint64_t unit = local ? static_cast<std::uint64_t>(allocation_unit(root)) : 1;
        amount = group_digits(marked_total(pane.rows, unit));
        label_a = IDS_LABEL_MARKED;
        label_b = IDS_LABEL_TOTAL;
    } else {
        count = pane.rows.size();
        amount = local ? group_digits(free_bytes(root)) : std::string("?");
        label_a = IDS_LABEL_ENTRIES;
        label_b = IDS_LABEL_FREE;
    }
    volume_names names = local ? volume_information(root) : volume_names{"?", ""};
    pane.info_text =
        info_line_text(count, resource_string(label_a), amount, resource_string(label_b), names.file_system);
    pane.status_text = names.label;
    if (pane.hooks)
        pane.hooks->info_changed();
}

std::uint64_t free_bytes(const std::string& root)
{
    ULARGE_INTEGER free_total{};
    if (!GetDiskFreeSpaceExA(backslashed(root).c_str(), nullptr, nullptr, &free_total))
        return 0;
    return free_total.QuadPart;
}

int allocation_unit(const std::string& root)
{
    DWORD sectors = 0, bytes = 0, free_clusters = 0, clusters = 0;
    if (!GetDiskFreeSpaceA(backslashed(root).c_str(), &sectors, &bytes, &free_clusters, &clusters))
        return 1;
    std::uint64_t unit = static_cast<std::uint64_t>(sectors) * bytes;
    return (unit == 0 || unit > 0x7FFFFFFF) ? 1 : static_cast<int>(unit);
}

volume_names volume_information(const std::string& root)
{
    char label[128] = "";
    char file_system[16] = "";
    if (!GetVolumeInformationA(backslashed(root).c_str(), label, sizeof label, nullptr, nullptr, nullptr,
                               file_system, sizeof file_system))
        return {"???", "???"};
    return {file_system, label};
}

bool attribute_text(const std::string& path, std::string& text)
{
    DWORD bits = GetFileAttributesA(path.c_str());
    if (bits != INVALID_FILE_ATTRIBUTES) {
        text = attr_text_from_bits(bits);
        return true;
    }
    dir_scan scan(path);
    if (scan.found()) {
        text = attr_text_from_bits(scan.attributes());
        return true;
    }
    text = unknown_attributes;
    return false;
}

bool file_time_text(const std::string& path, std::string& text)
{
    dir_scan scan(path);
    return scan.found() && scan.time_text(text);
}

bool set_attributes_from_text(const std::string& path, std::string_view text)
{
    return SetFileAttributesA(path.c_str(), attr_bits_from_text(text)) != 0;
}

bool set_file_time_from_text(const std::string& path, std::string_view text)
{
    auto t = parse_time_text(text);
    return t && os::set_file_local_time(path, t->year, t->month, t->day, t->hour, t->minute, t->second);
}
