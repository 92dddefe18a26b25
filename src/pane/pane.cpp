// A pane's model: path forms, the local filter, the marked total and the information line.
#include "pane/pane.h"

#include "base/cp932.h"
#include "base/paths.h"
#include "pane/entry_text.h"

#include <algorithm>
#include <cstdio>

path_kind kind_of_path(std::string_view path)
{
    if (path.size() >= 2 && path[1] == ':')
        return path_kind::drive;
    if (path.substr(0, 4) == "ftp:")
        return path_kind::ftp;
    if (!path.empty() && path[0] == '/')
        return path_kind::network;
    return path_kind::other;
}

bool is_local_path(std::string_view path)
{
    auto kind = kind_of_path(path);
    return kind == path_kind::drive || kind == path_kind::network;
}

std::string volume_root(std::string_view path)
{
    switch (kind_of_path(path)) {
    case path_kind::drive:
        return std::string(path.substr(0, 2)) + '/';
    case path_kind::network: {
        // '//server/share/': the separator after the share name ends the root.
        std::size_t server = path.find_first_not_of('/');
        std::size_t share = server == std::string_view::npos ? server : mbs_find(path, '/', server);
        std::size_t end = share == std::string_view::npos ? share : mbs_find(path, '/', share + 1);
        if (end == std::string_view::npos)
            return std::string(path) + (path.empty() || path.back() != '/' ? "/" : "");
        return std::string(path.substr(0, end + 1));
    }
    default:
        return std::string(path);
    }
}

bool is_at_root(std::string_view path)
{
    return volume_root(path).size() >= path.size();
}

bool keep_local_entry(const scan_facts& entry, std::string_view pane_path, std::string_view wildcard,
                      bool hide_system)
{
    // ".." carries the attributes of a directory above (the parent, or the directory itself on
    // some file systems): hiding it would take the way up out of every hidden directory.
    bool dot_dot = entry.is_dir && entry.name == "..";
    if (hide_system && (entry.system || entry.hidden) && !dot_dot)
        return false;
    if (entry.is_dir) {
        if (entry.name == ".")
            return false;
        // No way up from a root: a share's root has no "..", nor has a drive's root (where some
        // file systems still return one).
        if (entry.name == "..")
            return !is_at_root(pane_path);
        return true;
    }
    if (!entry.name.empty() && entry.name[0] == '.')
        return true;
    return wildcard == "*.*" || match_wildcard(entry.name, wildcard);
}

std::uint64_t marked_total(const listing& rows, std::uint64_t unit)
{
    if (unit == 0)
        unit = 1;
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!rows.marked(i) || is_dir_entry(rows.row(i)))
            continue;
        std::uint64_t size = parse_size_text(rows.row(i).size_text());
        total += (size / unit + (size % unit != 0)) * unit; // no overflow near 2^64
    }
    return total;
}

std::string info_line_text(std::uint64_t count, std::string_view label_a, std::string_view amount,
                           std::string_view label_b, std::string_view file_system)
{
    std::string a(label_a), m(amount), b(label_b), f(file_system);
    char line[512];
    std::snprintf(line, sizeof line, "%10llu %s %22s %s(%s)", static_cast<unsigned long long>(count),
                  a.c_str(), m.c_str(), b.c_str(), f.c_str());
    return line;
}

void sort_listing(Pane& pane, int column)
{
    update_sort_state(sort_state(), column);
    int followed = pane.rows.sort(sort_state());
    if (pane.hooks)
        pane.hooks->rows_sorted(followed);
}

int find_entry(const Pane& pane, bool is_dir, std::string_view file_name)
{
    return pane.rows.find(is_dir, file_name);
}

bool is_dir_entry(const Pane& pane, int row)
{
    return row >= 0 && static_cast<std::size_t>(row) < pane.rows.size() && is_dir_entry(pane.rows.row(row));
}

std::size_t root_length(std::string_view path)
{
    switch (kind_of_path(path)) {
    case path_kind::drive:
    case path_kind::network:
        return std::min(volume_root(path).size(), path.size());
    case path_kind::ftp: {
        constexpr std::string_view scheme = "ftp://";
        if (path.substr(0, scheme.size()) != scheme)
            return path.size();
        std::size_t slash = mbs_find(path, '/', scheme.size());
        return slash == std::string_view::npos ? path.size() : slash + 1;
    }
    default:
        return path.size();
    }
}

namespace {

// '//server/share' of a network path: up to, not including, the separator after the share name.
std::string_view share_part(std::string_view path)
{
    std::string root = volume_root(path);
    std::size_t n = root.size();
    if (n > path.size())
        n = path.size();
    if (n > 0 && path[n - 1] == '/')
        --n;
    return path.substr(0, n);
}

} // namespace

int entry_for_path(const std::vector<std::string>& entries, std::string_view path)
{
    path_kind kind = kind_of_path(path);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& e = entries[i];
        bool match = false;
        switch (kind) {
        case path_kind::drive:
            match = e.size() >= 2 && e[1] == ':' && ascii_upper(e[0]) == ascii_upper(path[0]);
            break;
        case path_kind::network: {
            std::string_view share = share_part(path);
            match = !e.empty() && e[0] == '/' && e.compare(0, share.size(), share) == 0 &&
                    e.size() >= share.size();
            break;
        }
        case path_kind::ftp: {
            std::size_t n = root_length(path);
            match = e.size() >= n && std::string_view(e).substr(0, n) == path.substr(0, n);
            break;
        }
        default:
            break;
        }
        if (match)
            return static_cast<int>(i);
    }
    return -1;
}

namespace {
constexpr std::string_view ftp_scheme = "ftp://";
constexpr std::size_t ftp_server_text_size = 250;
} // namespace

std::string ftp_pane_path(std::string_view server, std::string_view directory)
{
    std::string path(ftp_scheme);
    path += server.substr(0, ftp_server_text_size);
    append_bounded(path, path_size, directory);
    return bounded(path, path_size);
}

std::string ftp_directory_of(std::string_view path)
{
    std::size_t n = root_length(path);
    if (kind_of_path(path) != path_kind::ftp || n == 0 || n > path.size() || path[n - 1] != '/')
        return "/";
    return std::string(path.substr(n - 1));
}

bool same_ftp_server(std::string_view a, std::string_view b)
{
    if (kind_of_path(a) != path_kind::ftp || kind_of_path(b) != path_kind::ftp)
        return false;
    std::size_t n = root_length(a);
    return n <= b.size() && a.substr(0, n) == b.substr(0, n);
}

bool replace_ftp_server(std::string& path, std::string_view old_server, std::string_view new_server)
{
    std::string_view p(path);
    std::size_t end = ftp_scheme.size() + old_server.size();
    if (p.substr(0, ftp_scheme.size()) != ftp_scheme || p.size() <= end || p[end] != '/' ||
        !equal_text_nocase(p.substr(ftp_scheme.size(), old_server.size()), old_server))
        return false;
    path = ftp_pane_path(new_server, p.substr(end));
    return true;
}

std::vector<std::string> netdrive_folders(std::string_view setting)
{
    std::vector<std::string> folders;
    std::size_t at = 0;
    while (at < setting.size()) {
        std::size_t end = mbs_find(setting, ':', at);
        std::string_view element = setting.substr(at, end == std::string_view::npos ? end : end - at);
        if (element.empty() || element[0] != '/')
            break;
        folders.emplace_back(element);
        if (end == std::string_view::npos)
            break;
        at = end + 1;
    }
    return folders;
}

bool is_newer_time(std::string_view mine, std::string_view theirs)
{
    std::string_view a = mine.substr(0, 16), b = theirs.substr(0, 16);
    if (a != b)
        return a > b;
    auto seconds = [](std::string_view t) {
        int s = 0;
        for (std::size_t i = 17; i < t.size() && i < 19; ++i)
            if (t[i] >= '0' && t[i] <= '9')
                s = s * 10 + (t[i] - '0');
        return s;
    };
    return seconds(mine) - seconds(theirs) >= 2;
}

bool target_inside(std::string_view source, std::string_view name, std::string_view target)
{
    // Compared as the copy itself compares (lies_inside): "C:/A/b/" lies inside "C:/a/" + "b"
    // on a file system that ignores case, and the menu must not offer what the copy refuses.
    return path_lies_inside(target, source, name);
}

std::vector<int> rows_to_process(const Pane& pane)
{
    std::vector<int> rows;
    for (std::size_t i = 0; i < pane.rows.size(); ++i)
        if (pane.rows.marked(i))
            rows.push_back(static_cast<int>(i));
    if (rows.empty() && pane.rows.cursor() >= 0)
        rows.push_back(pane.rows.cursor());
    return rows;
}
