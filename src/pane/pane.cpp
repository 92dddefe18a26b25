// A pane's model: path forms, the local filter, the marked total and the information line.
#include "pane/pane.h"

#include "app/cp932.h"
#include "pane/entry_text.h"

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
        std::uint64_t size = parse_size_text(rows.row(i).size_text);
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
