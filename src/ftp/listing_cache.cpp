// The FTP listing cache: reading and writing dir.lst lines, and the rewrites after changes.
#include "ftp/listing_cache.h"

#include "base/cp932.h"
#include "base/name_rules.h"
#include "base/paths.h"
#include "ftp/listing_formats.h"
#include "ftp/listing_time.h"
#include "platform/os.h"

#include <cstdio>
#include <optional>

namespace {

// One line of a file with its line end, as it lies in the file.
struct raw_line {
    std::size_t offset;
    std::string_view bytes;
};

std::vector<raw_line> raw_lines(std::string_view data)
{
    std::vector<raw_line> lines;
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t end = data.find('\n', start);
        end = end == std::string_view::npos ? data.size() : end + 1;
        lines.push_back({start, data.substr(start, end - start)});
        start = end;
    }
    return lines;
}

// The directory of the cache file, ending in '/' (the cache subdirectories lie beside it).
std::string cache_directory_of(const std::string& cache_path)
{
    std::size_t slash = mbs_rfind_separator(cache_path);
    return slash == std::string::npos ? std::string() : cache_path.substr(0, slash + 1);
}

bool append_to_file(const std::string& path, std::string_view bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "ab");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fflush(f) == 0 && ok;
    return std::fclose(f) == 0 && ok;
}

// The new content goes to a work file beside the cache file, which then takes the cache file's
// place in one rename: an interrupted rewrite leaves the old cache file whole. Its free name
// "dir.lst.kv~…" is never a remote directory's cache subdirectory (cache_folder_name).
bool rewrite_through_work_file(const std::string& cache_path, std::string_view bytes)
{
    return os::write_file_atomic(cache_path, bytes);
}

// The cache's own files beside the cache subdirectories.
constexpr std::string_view cache_own_names[] = {cache_file_name, "support.ini"};

bool make_directory_if_missing(const std::string& path)
{
    return os::is_directory(path) || os::make_directory(path);
}

struct fact {
    std::string_view value;
    std::size_t offset = 0; // of the value within the facts
};

// The value of the fact of that name (case ignored) in "name=value;name=value;..." facts.
std::optional<fact> find_fact(std::string_view facts, std::string_view name)
{
    std::size_t start = 0;
    while (start <= facts.size()) {
        std::size_t end = facts.find(';', start);
        if (end == std::string_view::npos)
            end = facts.size();
        std::string_view one = facts.substr(start, end - start);
        std::size_t eq = one.find('=');
        if (eq != std::string_view::npos && equal_text_nocase(one.substr(0, eq), name))
            return fact{one.substr(eq + 1), start + eq + 1};
        start = end + 1;
    }
    return std::nullopt;
}

} // namespace

cache_entry cache_parse_line(std::string_view line, std::size_t limit)
{
    cache_entry entry;
    line = line.substr(0, line.find('\n'));
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (line.size() > limit)
        return entry;
    std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos)
        return entry;
    // Facts come before the first blank only: a file named "Type=dir" is a file.
    std::string_view facts = line.substr(0, blank);
    std::string_view name = line.substr(blank + 1);
    std::optional<fact> type = find_fact(facts, "Type");
    if (!type)
        return entry;
    entry.is_listing_line = true;
    bool dot_name = name == "." || name == "..";
    if (name.empty() || (!dot_name && !ftp_name_rule(name)))
        return entry;
    if (equal_text_nocase(type->value, "dir") || (equal_text_nocase(type->value, "pdir") && name == ".."))
        entry.is_directory = true;
    else if (!equal_text_nocase(type->value, "file") || dot_name)
        return entry; // cdir, pdir under another name, links and other types; "." and ".." as files
    entry.is_entry = true;
    entry.name = name;
    if (!entry.is_directory) {
        if (std::optional<fact> size = find_fact(facts, "Size")) {
            entry.has_size = true;
            entry.size_text = size->value;
        }
    }
    if (!dot_name) {
        // A Modify fact that does not begin with a time is no time at all.
        std::optional<fact> modify = find_fact(facts, "Modify");
        if (modify && modify->value.size() >= 14 && is_digits(modify->value.substr(0, 14))) {
            entry.has_time = true;
            entry.time_text = modify->value;
            entry.time_offset = modify->offset;
        }
    }
    return entry;
}

std::vector<std::string_view> cache_split_lines(std::string_view data, std::size_t limit)
{
    std::vector<std::string_view> lines;
    for (const raw_line& raw : raw_lines(data)) {
        std::string_view text = raw.bytes;
        if (!text.empty() && text.back() == '\n') {
            text.remove_suffix(1);
            if (!text.empty() && text.back() == '\r')
                text.remove_suffix(1);
        }
        if (text.size() <= limit)
            lines.push_back(text);
    }
    return lines;
}

listing_reader::listing_reader(const std::string& path, std::size_t limit)
    : file_(std::fopen(path.c_str(), "rb")), lines_(limit)
{
    failed_ = file_ == nullptr;
}

listing_reader::~listing_reader()
{
    if (file_)
        std::fclose(file_);
}

bool listing_reader::next(std::string& line)
{
    auto keep = [this](std::string_view text) {
        ready_at_.emplace_back(ready_.size(), text.size());
        ready_ += text;
    };
    while (next_ == ready_at_.size()) {
        ready_.clear();
        ready_at_.clear();
        next_ = 0;
        if (end_ || failed())
            return false;
        char block[65536];
        std::size_t n = std::fread(block, 1, sizeof block, file_);
        if (n == 0) {
            failed_ = std::ferror(file_) != 0;
            end_ = true;
            if (!failed_)
                lines_.finish(keep);
            continue;
        }
        total_ += n;
        if (total_ > listing_size_limit) {
            too_large_ = true;
            return false;
        }
        lines_.feed(std::string_view(block, n), keep);
    }
    const auto& [at, size] = ready_at_[next_++];
    line.assign(ready_, at, size);
    return true;
}

std::int64_t cache_size_value(std::string_view size_text)
{
    if (!is_digits(size_text))
        return -1;
    std::int64_t v = 0;
    for (char c : size_text) {
        if (v > (INT64_MAX - (c - '0')) / 10)
            return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

std::string cache_format_entry(std::string_view time, std::string_view name, std::int64_t size)
{
    // The name ends the line: a line end or any byte outside the FTP name set could forge a
    // second line or break the reader, so such names are never written.
    if (name.empty() || (name != ".." && !ftp_name_rule(name)))
        return {};
    if (size < cache_size_unknown || (name == ".." && size != -1))
        return {};
    std::string line;
    line.reserve(name.size() + 64); // the facts and the line end: one allocation per line
    if (size == -1) {
        line = name == ".." ? "Type=pdir" : "Type=dir";
    } else if (size == cache_size_unknown) {
        line = "Type=file";
    } else {
        line = "Type=file;Size=";
        line += std::to_string(size);
    }
    // The parent entry never carries a time: its time would be that of another directory.
    if (name != ".." && time.size() >= 14 && is_digits(time.substr(0, 14))) {
        line += ";Modify=";
        line += time.substr(0, 14);
    }
    line += ' ';
    line += name;
    if (line.size() > cache_text_limit)
        return {};
    line += "\r\n";
    return line;
}

bool cache_write_entry(std::string_view time, std::string_view name, const std::string& cache_path,
                       std::int64_t size, bool make_subdir)
{
    std::string line = cache_format_entry(time, name, size);
    if (line.empty() || !cache_append_lines(cache_path, line))
        return false;
    return !make_subdir || size != -1 || cache_make_subdirectory(cache_path, name);
}

bool cache_append_lines(const std::string& cache_path, std::string_view lines)
{
    return append_to_file(cache_path, lines);
}

bool cache_make_subdirectory(const std::string& cache_path, std::string_view name)
{
    // A name that cannot name a cache directory safely gets none; its entry is still listed.
    if (!cache_component_rule(name))
        return true;
    return make_directory_if_missing(cache_directory_of(cache_path) + cache_folder_name(name));
}

bool cache_remove_entry(const std::string& cache_path, std::string_view name, bool remove_subtree)
{
    std::optional<std::string> data = os::read_file(cache_path);
    if (!data)
        return false;
    std::string kept;
    kept.reserve(data->size());
    bool removed = false, was_directory = false;
    for (const raw_line& raw : raw_lines(*data)) {
        if (!removed) {
            cache_entry e = cache_parse_line(raw.bytes);
            if (e.is_entry && e.name == name) {
                removed = true;
                was_directory = e.is_directory;
                continue;
            }
        }
        kept += raw.bytes;
        if (raw.bytes.back() != '\n')
            kept += "\r\n";
    }
    if (removed && was_directory && remove_subtree && cache_component_rule(name)) {
        if (!os::remove_directory_tree(cache_directory_of(cache_path) + cache_folder_name(name)))
            return false;
    }
    return rewrite_through_work_file(cache_path, kept);
}

bool cache_rename_entry(std::string_view old_name, const std::string& cache_path, std::string_view new_name)
{
    std::optional<std::string> data = os::read_file(cache_path);
    if (!data)
        return false;
    std::optional<cache_entry> found;
    for (const raw_line& raw : raw_lines(*data)) {
        cache_entry e = cache_parse_line(raw.bytes);
        if (e.is_entry && e.name == old_name) {
            found = std::move(e);
            break;
        }
    }
    if (!found)
        return false;
    std::string time = found->has_time ? found->time_text : std::string();
    std::int64_t size = -1;
    if (!found->is_directory) {
        size = found->has_size ? cache_size_value(found->size_text) : cache_size_unknown;
        if (size < 0)
            size = cache_size_unknown;
    }
    // Refuse a new name that cannot be written before anything is changed.
    if (cache_format_entry(time, new_name, size).empty())
        return false;
    if (!cache_remove_entry(cache_path, old_name, false) ||
        !cache_write_entry(time, new_name, cache_path, size, false))
        return false;
    if (!found->is_directory || !cache_component_rule(old_name) || old_name == new_name)
        return true;

    std::string dir = cache_directory_of(cache_path);
    std::string from = dir + cache_folder_name(old_name), to = dir + cache_folder_name(new_name);
    if (!os::is_directory(from))
        return true;
    if (!cache_component_rule(new_name))
        return os::remove_directory_tree(from); // its listing no longer belongs to any name
    // A leftover cache of the new name describes nothing on the server any more. Names equal
    // but for case may be one directory on Windows: that one must not be removed.
    if (!equal_text_nocase(old_name, new_name) && os::path_exists(to) && !os::remove_directory_tree(to))
        return false;
    return os::rename_path(from, to);
}

bool cache_add_parent_entry(const std::string& cache_path, bool not_root)
{
    return !not_root || cache_write_entry("", "..", cache_path, cache_size_directory, false);
}

std::vector<cache_entry> cache_read_entries(const std::string& cache_path, bool at_root)
{
    std::vector<cache_entry> entries;
    std::optional<std::string> data = os::read_file(cache_path);
    if (!data)
        return entries;
    for (std::string_view line : cache_split_lines(*data)) {
        cache_entry e = cache_parse_line(line);
        if (e.is_entry && e.name != "." && !(at_root && e.name == ".."))
            entries.push_back(std::move(e));
    }
    return entries;
}

std::string cache_time_to_text(std::string_view time)
{
    if (time.size() < 14 || !is_digits(time.substr(0, 14)))
        return {};
    std::string text;
    text.reserve(19);
    text += time.substr(0, 4);
    text += '.';
    text += time.substr(4, 2);
    text += '.';
    text += time.substr(6, 2);
    text += ' ';
    text += time.substr(8, 2);
    text += ':';
    text += time.substr(10, 2);
    text += '.';
    text += time.substr(12, 2);
    return text;
}

std::string mlsd_cache_line(const cache_entry& entry, int server_zone, int local)
{
    if (!entry.is_entry || entry.name == ".")
        return {};
    std::string time;
    if (entry.has_time) {
        time = entry.time_text.substr(0, 14);
        convert_zone_time(server_zone, local, std::span<char>(time.data(), time.size()));
    }
    if (entry.is_directory)
        return cache_format_entry(time, entry.name, cache_size_directory);
    std::int64_t size = entry.has_size ? cache_size_value(entry.size_text) : cache_size_unknown;
    return cache_format_entry(time, entry.name, size < 0 ? cache_size_unknown : size);
}

bool cache_component_rule(std::string_view name)
{
    if (name.empty() || name.back() == '.' || name.back() == ' ' || !local_name_rule(name))
        return false;
    for (char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    return true;
}

std::string cache_folder_name(std::string_view name)
{
    for (std::string_view own : cache_own_names) {
        if (name.size() >= own.size() && equal_text_nocase(name.substr(0, own.size()), own) &&
            (name.size() == own.size() || name[own.size()] == '.'))
            return std::string(own) + '.' + std::string(name);
    }
    return std::string(name);
}

std::string cache_file_path(std::string_view program_dir, std::string_view title, std::string_view directory)
{
    // The title names the server's directory under ftp_dir: it must be one safe component.
    if (!cache_component_rule(title) || directory.empty() || directory[0] != '/')
        return {};
    std::string path(program_dir);
    path += "ftp_dir/";
    path += title;
    path += '/';
    std::string_view rest = directory.substr(1);
    while (!rest.empty()) {
        std::size_t slash = rest.find('/');
        std::string_view component = rest.substr(0, slash);
        if (!cache_component_rule(component))
            return {};
        path += cache_folder_name(component);
        path += '/';
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    }
    path += cache_file_name;
    if (path.size() >= path_size)
        return {};
    return path;
}

bool cache_make_directories(std::string_view program_dir, std::string_view title, std::string_view directory)
{
    std::string file = cache_file_path(program_dir, title, directory);
    if (file.empty())
        return false;
    // Every directory from ftp_dir/ down to the one holding the cache file.
    std::size_t from = program_dir.size();
    for (std::size_t slash = file.find('/', from); slash != std::string::npos;
         slash = file.find('/', slash + 1))
        if (!make_directory_if_missing(file.substr(0, slash)))
            return false;
    return true;
}
