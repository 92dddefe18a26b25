// The FTP listing cache: dir.lst lines (MLSD fact syntax), their reading, and the rewrites that
// follow every change the program makes on a server.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A cache line holds at most 255 bytes with its CR LF, so at most 253 bytes of text. Longer lines
// (in cache files and list files) are skipped whole.
constexpr std::size_t cache_line_limit = 255;
constexpr std::size_t cache_text_limit = cache_line_limit - 2;
// Lines a server sends in a listing are read up to this length: some servers write over 150
// bytes of facts or owner names before a name. Longer lines are skipped whole and counted.
constexpr std::size_t listing_line_limit = 8192;
// A received listing over this size is refused: a pane holds its whole cache in memory, and a
// hostile server could send without end.
constexpr std::uint64_t listing_size_limit = std::uint64_t(64) << 20;
// The file name of a directory's cache, beside the cache subdirectories of its subdirectories.
constexpr std::string_view cache_file_name = "dir.lst";
// Every name up to this length gives a line that fits, whatever its size and time
// ("Type=file;Size=<19 digits>;Modify=<14 digits> " takes 57 bytes).
constexpr std::size_t cache_name_limit = cache_text_limit - 57;
// The sizes cache_write_entry takes besides a file's size: a directory, and a file whose size
// is not known (written without a Size fact).
constexpr std::int64_t cache_size_directory = -1;
constexpr std::int64_t cache_size_unknown = -2;

// One line of a cache file, of MLSD output or of an operation list file, as read.
struct cache_entry {
    // The line has facts with a Type fact before its first blank: a line of MLSD at all.
    bool is_listing_line = false;
    bool is_entry = false;
    bool is_directory = false;
    std::string name;
    // Files only: the text after "Size=" up to the next ';' (empty when the fact is missing).
    std::string size_text;
    bool has_size = false;
    // The text after "Modify=" up to the next ';' when it begins with 14 digits (never for "."
    // and ".."); those 14 digits are the time.
    std::string time_text;
    bool has_time = false;
    // Where time_text starts in the line, so the time can be rewritten in place (npos if none).
    std::size_t time_offset = std::string_view::npos;
};

// Reads one line (cut at its first '\n', a CR before it removed). The facts are read only from
// the part before the first blank; the name is everything after it. Entries are directories
// (Type=dir, or Type=pdir named "..") and files (Type=file); other types, names that fail the
// FTP name rule (other than "." and ".."), empty names and lines over `limit` are not.
cache_entry cache_parse_line(std::string_view line, std::size_t limit = cache_text_limit);

// The lines of a listing as its bytes come, in pieces of any size: lines as cache_split_lines
// gives them, those over `limit` skipped whole (no more than the limit and its CR is held of a
// line) and counted.
class listing_lines {
public:
    explicit listing_lines(std::size_t limit) : limit_(limit) {}
    // Hands each line the bytes complete to `each`, in order.
    template <class line_taker> void feed(std::string_view bytes, line_taker&& each);
    // The bytes have ended: hands over a last line without '\n'.
    template <class line_taker> void finish(line_taker&& each);
    std::size_t overlong() const { return overlong_; }

private:
    std::size_t limit_;
    std::string partial_;   // the line begun
    bool dropping_ = false; // the line begun is over the limit: skipped up to its end
    std::size_t overlong_ = 0;
};

template <class line_taker> void listing_lines::feed(std::string_view bytes, line_taker&& each)
{
    while (!bytes.empty()) {
        std::size_t end = bytes.find('\n');
        std::string_view piece = bytes.substr(0, end);
        if (!dropping_ && partial_.size() + piece.size() > limit_ + 1) {
            dropping_ = true;
            ++overlong_;
            partial_.clear();
        }
        if (end == std::string_view::npos) {
            if (!dropping_)
                partial_.append(piece);
            return;
        }
        bytes.remove_prefix(end + 1);
        if (!dropping_) {
            std::string_view text = piece;
            if (!partial_.empty()) {
                partial_.append(piece);
                text = partial_;
            }
            if (!text.empty() && text.back() == '\r')
                text.remove_suffix(1);
            if (text.size() > limit_)
                ++overlong_;
            else
                each(text);
        }
        partial_.clear();
        dropping_ = false;
    }
}

template <class line_taker> void listing_lines::finish(line_taker&& each)
{
    if (!dropping_ && !partial_.empty()) {
        if (partial_.size() > limit_)
            ++overlong_;
        else
            each(std::string_view(partial_));
    }
    partial_.clear();
    dropping_ = false;
}

// Reads a received listing or cache file line by line without holding it whole, cut as
// listing_lines cuts them. Reading stops with too_large once more than listing_size_limit bytes
// came.
class listing_reader {
public:
    listing_reader(const std::string& path, std::size_t limit);
    ~listing_reader();
    listing_reader(const listing_reader&) = delete;
    listing_reader& operator=(const listing_reader&) = delete;

    // The next line; false at the end, after a read failure and when the file is too large.
    bool next(std::string& line);
    // The file could not be opened or read, or it is too large.
    bool failed() const { return failed_ || too_large_; }
    bool too_large() const { return too_large_; }
    std::size_t overlong() const { return lines_.overlong(); }

private:
    std::FILE* file_ = nullptr;
    listing_lines lines_;
    std::string ready_;                                         // the lines of the last block read
    std::vector<std::pair<std::size_t, std::size_t>> ready_at_; // where each lies in ready_
    std::size_t next_ = 0;
    std::uint64_t total_ = 0;
    bool end_ = false;
    bool failed_ = false;
    bool too_large_ = false;
};

// The lines of a cache or list file as read as text: split at '\n', a CR before it removed, a
// last line without '\n' kept. Lines longer than `limit` bytes of text are left out whole, so
// no part of them is ever read as a line of its own.
std::vector<std::string_view> cache_split_lines(std::string_view data, std::size_t limit = cache_text_limit);

// The number of a size text (64-bit decimal, as written); -1 when it is not a number.
std::int64_t cache_size_value(std::string_view size_text);

// The cache line of an entry with its CR LF: size -1 is a directory, -2 a file without Size ("p" prefix for
// ".."); a time that is not 14 digits is left out. Empty when the name would make the line too long or could
// break the line (a name failing the FTP name rule, other than "..").
std::string cache_format_entry(std::string_view time, std::string_view name, std::int64_t size);

// Appends the entry's line to the cache file (time empty = none, size -1 = directory, -2 = a
// file of unknown size). Sizes of 2 GiB and more are written as 64-bit decimals. With
// make_subdir, a directory also gets its cache subdirectory beside the cache file unless it
// exists (a name that cannot name a cache directory safely gets none).
bool cache_write_entry(std::string_view time, std::string_view name, const std::string& cache_path,
                       std::int64_t size, bool make_subdir);
// The two halves of cache_write_entry, for a listing that writes all its lines at once (one open
// of the cache file per entry cost more than the transfer of a large directory): appending
// lines made by cache_format_entry, and the cache subdirectory of a directory entry.
bool cache_append_lines(const std::string& cache_path, std::string_view lines);
bool cache_make_subdirectory(const std::string& cache_path, std::string_view name);
// Rewrites the cache file without the first entry of that name, through a work file which then
// replaces it; with remove_subtree a directory's cache subdirectory goes too.
// On failure the cache file is unchanged.
bool cache_remove_entry(const std::string& cache_path, std::string_view name, bool remove_subtree);
// The first entry of the old name is written again under the new name (time and size kept); a
// directory's cache subdirectory is renamed with it. False when no entry has the old name.
bool cache_rename_entry(std::string_view old_name, const std::string& cache_path, std::string_view new_name);

// The parent entry rule at the end of a listing: when not_root is still set (a directory below
// the root whose listing stored no ".."), ".." is appended without time and without a cache
// subdirectory. True when nothing was needed.
bool cache_add_parent_entry(const std::string& cache_path, bool not_root);

// The entries of a cache file in file order, for filling a pane: "." never, ".." not at the
// server's root. A cache file that cannot be read gives none.
std::vector<cache_entry> cache_read_entries(const std::string& cache_path, bool at_root);

// "YYYYMMDDhhmmss" → "YYYY.MM.DD hh:mm.ss"; empty when the text does not begin with 14 digits.
std::string cache_time_to_text(std::string_view time);

// The cache line of one MLSD line read with cache_parse_line(line, listing_line_limit): only the
// facts the cache uses, Type, Size (left out when it is no number) and Modify converted from
// server_zone to local_zone, so long fact lists never push a name out of a cache line. Empty
// for what is no entry and for "."; also for a name too long for a cache line.
std::string mlsd_cache_line(const cache_entry& entry, int server_zone, int local);

// True when the name can name a cache directory as one path component: not empty, no control
// byte, passes the local name rule (no separator, not "." or ".."), and does not end in '.' or
// ' ' (Windows drops those, so "a." would be "a" and "..." the parent directory).
bool cache_component_rule(std::string_view name);

// The name of a remote directory's cache subdirectory: the name itself, except that a name
// that is one of the cache's own file names (dir.lst, support.ini, any case) or begins with one
// and a '.' gets that file name and a '.' before it ("dir.lst" → "dir.lst.dir.lst"). So no
// remote name ever names a cache file or the work files "dir.lst.kv~…" of its rewrites, and no
// two remote names share a subdirectory that did not before.
std::string cache_folder_name(std::string_view name);

// The cache file of a remote directory: "{program_dir}ftp_dir/{title}/{f1}/…/{fn}/dir.lst" for
// the directory "/d1/…/dn/", fi the cache_folder_name of di. Empty when the title or a component could lead
// outside the server's cache directory, or the path would not fit a path buffer.
std::string cache_file_path(std::string_view program_dir, std::string_view title, std::string_view directory);
// Creates the server's cache directory and every cache directory on the way to the cache file
// of the remote directory; false on failure or when cache_file_path would be empty.
bool cache_make_directories(std::string_view program_dir, std::string_view title, std::string_view directory);
