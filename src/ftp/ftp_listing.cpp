// Fetching one remote directory into its listing cache file, in three ways.
#include "ftp/ftp_listing.h"

#include "base/paths.h"
#include "ftp/ftp_data.h"
#include "ftp/ftp_reply.h"
#include "ftp/listing_cache.h"
#include "ftp/listing_formats.h"
#include "ftp/listing_time.h"
#include "ftp/name_charset.h"
#include "platform/os.h"
#include "platform/process_paths.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace {

enum class listing_way { mlsd, nlst_size_mdtm, long_listing };

// The cache file's lines as a listing makes them, appended in pieces (one open of the cache file
// per entry cost more than the transfer of a large directory, and a whole large listing held at
// once cost memory). Each open is a round trip to the Wine server and a path walk, so a piece is
// a megabyte: a directory of 10,000 entries is one append. Entries whose line cannot be made are
// counted, not stored.
constexpr std::size_t cache_piece_size = 1u << 20;

class cache_output {
public:
    explicit cache_output(const std::string& cache_path) : cache_path_(cache_path) {}

    // One entry as cache_write_entry stores it (make_subdir on); false on a file failure.
    bool add(std::string_view time, std::string_view name, std::int64_t size)
    {
        return add_line(cache_format_entry(time, name, size), name, size == cache_size_directory);
    }
    bool add_line(const std::string& line, std::string_view name, bool is_directory)
    {
        if (line.empty()) {
            ++unstored; // the name is too long for a cache line
            return true;
        }
        lines_ += line;
        if (is_directory && name != ".." && !cache_make_subdirectory(cache_path_, name))
            return false;
        return lines_.size() < cache_piece_size || flush();
    }
    // A name without a code page 932 form: its place is kept, nothing is shown.
    void add_no_cp932(std::string_view wire, bool utf8) { lines_ += no_cp932_cache_line(wire, utf8); }
    bool flush()
    {
        // Also when empty: the cache file marks the directory as listed.
        bool ok = cache_append_lines(cache_path_, lines_);
        lines_.clear();
        return ok;
    }

    std::size_t unstored = 0;

private:
    const std::string& cache_path_;
    std::string lines_;
};

// What the reading of a received listing ended with: its file failure, its size, or the lines
// none of which were understood (a server that ignored the listing command's options sends
// lines of another form: that is no empty directory).
ftp_result reading_result(const listing_reader& reader, std::size_t lines, std::size_t understood)
{
    if (reader.too_large())
        return ftp_thread_failed;
    if (reader.failed())
        return ftp_file_error;
    return lines > 0 && understood == 0 ? ftp_error_reply : ftp_ok;
}

// The line with the part from `from` on (its name) in code page 932; false, the line unchanged,
// when the name has no such form.
bool line_from_server(std::string& line, std::size_t from, bool utf8)
{
    if (from > line.size())
        return true;
    std::string_view wire = std::string_view(line).substr(from);
    // ASCII reads the same in every encoding: most names of a listing need no copy.
    if (std::all_of(wire.begin(), wire.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return true;
    std::optional<std::string> name = name_from_server(wire, utf8);
    if (!name)
        return false;
    line.replace(from, std::string::npos, *name);
    return true;
}

// An MLSD listing made into cache lines while it arrives, on the data thread: the reading of the
// received file after the transfer (a tenth of the time of a large listing) now passes while the
// server is still sending. The cache file takes the lines in pieces; the cache subdirectories are
// made only once the listing has come whole.
class mlsd_listing : public receive_sink {
public:
    mlsd_listing(int server_zone, bool utf8, cache_output& out)
        : server_zone_(server_zone), local_(local_zone()), utf8_(utf8), out_(out)
    {
    }

    void take(std::string_view bytes) override
    {
        lines_.feed(bytes, [this](std::string_view text) { add(text); });
    }

    // After a complete transfer: the last line, the subdirectories and the rest of the cache file.
    ftp_result finish(const std::string& cache_path, bool& not_root)
    {
        lines_.finish([this](std::string_view text) { add(text); });
        out_.unstored += lines_.overlong();
        if (has_parent_)
            not_root = false;
        if (failed_)
            return ftp_file_error;
        for (const std::string& name : directories_)
            if (!cache_make_subdirectory(cache_path, name))
                return ftp_file_error;
        if (lines_seen_ > 0 && understood_ == 0)
            return ftp_error_reply;
        return out_.flush() ? ftp_ok : ftp_file_error;
    }

private:
    void add(std::string_view text)
    {
        if (failed_)
            return;
        line_.assign(text);
        std::size_t blank = line_.find(' ');
        if (blank != std::string::npos && !line_from_server(line_, blank + 1, utf8_)) {
            lines_seen_ += 1;
            understood_ += 1;
            out_.add_no_cp932(std::string_view(line_).substr(blank + 1), utf8_);
            return;
        }
        cache_entry e = cache_parse_line(line_, listing_line_limit);
        lines_seen_ += !line_.empty();
        understood_ += e.is_listing_line;
        if (!e.is_entry || e.name == ".")
            return;
        if (e.name == "..")
            has_parent_ = true;
        std::string cache_line = mlsd_cache_line(e, server_zone_, local_);
        if (e.is_directory && e.name != ".." && !cache_line.empty())
            directories_.push_back(e.name);
        failed_ = !out_.add_line(cache_line, e.name, false);
    }

    int server_zone_;
    int local_;
    bool utf8_;
    cache_output& out_;
    listing_lines lines_{listing_line_limit};
    std::string line_;
    std::vector<std::string> directories_;
    std::size_t lines_seen_ = 0;
    std::size_t understood_ = 0;
    bool has_parent_ = false;
    bool failed_ = false; // the cache file could not be written
};

ftp_result list_nlst(thread_net& worker, NetSocket& control, int server_zone, const std::string& list_path,
                     cache_output& out, bool utf8)
{
    listing_reader reader(list_path, listing_line_limit);
    for (std::string line; reader.next(line);) {
        if (!line_from_server(line, 0, utf8)) {
            out.add_no_cp932(line, utf8);
            continue;
        }
        nlst_entry entry = nlst_parse_line(line);
        if (entry.kind == nlst_kind::none)
            continue;
        if (entry.name.size() > cache_name_limit) {
            ++out.unstored; // no line can hold it: SIZE and MDTM would be asked for nothing
            continue;
        }
        if (entry.kind == nlst_kind::directory) {
            if (!out.add({}, entry.name, cache_size_directory))
                return ftp_file_error;
            continue;
        }
        // The round trip was checked when the line came: the name goes back as it was sent.
        const std::string wire = name_to_server(entry.name, utf8).value_or(entry.name);
        ftp_result code = ftp_size(worker, control, wire);
        if (code != ftp_ok)
            return code;
        std::int64_t size = 0;
        const char* reply = control.payload();
        if (!reply_number(reply, std::strlen(reply), size))
            return ftp_error_reply;
        code = ftp_modify_time(worker, control, wire, server_zone);
        if (code != ftp_ok)
            return code;
        // A successful MDTM leaves fourteen checked digits after the reply code.
        std::string_view time(control.payload() + 4, 14);
        if (!out.add(time, entry.name, size))
            return ftp_file_error;
    }
    out.unstored += reader.overlong();
    // Every NLST line is a name: there is no line that would not be understood.
    ftp_result code = reading_result(reader, 0, 0);
    return code == ftp_ok && !out.flush() ? ftp_file_error : code;
}

ftp_result list_long(const std::string& list_path, cache_output& out, bool utf8)
{
    int year = 0;
    int month = 0;
    local_year_month(year, month);
    listing_reader reader(list_path, listing_line_limit);
    std::size_t lines = 0, understood = 0;
    for (std::string line; reader.next(line);) {
        // The whole line: the name's place is known only once the line is read.
        if (!line_from_server(line, 0, utf8)) {
            lines += 1;
            understood += 1;
            ++out.unstored;
            continue;
        }
        long_listing_entry entry = long_listing_parse_line(line, year, month);
        lines += !line.empty();
        understood += entry.is_listing_line;
        if (!entry.is_entry)
            continue;
        if (!out.add(entry.time, entry.name, entry.is_directory ? cache_size_directory : entry.size))
            return ftp_file_error;
    }
    out.unstored += reader.overlong();
    ftp_result code = reading_result(reader, lines, understood);
    return code == ftp_ok && !out.flush() ? ftp_file_error : code;
}

// One way of listing; `refused` tells that the server does not know its listing command.
ftp_result list_one_way(thread_net& worker, NetSocket& control, listing_way way, int server_zone,
                        const std::string& cache_path, bool& not_root, bool& refused, std::size_t& unstored,
                        bool utf8)
{
    refused = false;
    std::string list_path;
    if (!make_temp_file(list_path, "LIB_$$$$.TMP"))
        return ftp_file_error;
    const char* command = way == listing_way::mlsd           ? "MLSD"
                          : way == listing_way::long_listing ? "NLST -alL"
                                                             : "NLST -aFL";
    cache_output out(cache_path);
    std::optional<mlsd_listing> mlsd;
    if (way == listing_way::mlsd)
        mlsd.emplace(server_zone, utf8, out);
    ftp_result code = ftp_transfer_receive(worker, control, command, list_path, {}, -1, listing_size_limit,
                                           mlsd ? &*mlsd : nullptr);
    if (code == ftp_error_reply && reply_refused_command(control))
        refused = true;
    if (code == ftp_ok) {
        code = mlsd ? mlsd->finish(cache_path, not_root)
               : way == listing_way::long_listing
                   ? list_long(list_path, out, utf8)
                   : list_nlst(worker, control, server_zone, list_path, out, utf8);
    }
    unstored = out.unstored;
    os::remove_file(list_path);
    return code;
}

} // namespace

ftp_result ftp_list_directory(thread_net& worker, NetSocket& control, int server_zone,
                              const std::string& cache_path, bool not_root, ftp_capabilities& flags,
                              std::size_t& unstored, bool utf8_names)
{
    os::remove_file(cache_path);
    unstored = 0;
    ftp_result code = ftp_ok;
    for (;;) {
        listing_way way = flags[flag_mlsd]                         ? listing_way::mlsd
                          : (flags[flag_mdtm] && flags[flag_size]) ? listing_way::nlst_size_mdtm
                                                                   : listing_way::long_listing;
        bool refused = false;
        code = list_one_way(worker, control, way, server_zone, cache_path, not_root, refused, unstored,
                            utf8_names);
        if (!refused || way == listing_way::long_listing)
            break;
        // The server does not know this listing command: the next way, now and later.
        os::remove_file(cache_path);
        if (way == listing_way::mlsd) {
            flags[flag_mlsd] = 0;
        } else {
            flags[flag_mdtm] = 0;
            flags[flag_size] = 0;
        }
    }
    if (code == ftp_ok && not_root && !cache_write_entry({}, "..", cache_path, -1, false))
        code = ftp_file_error;
    if (code != ftp_ok)
        os::remove_file(cache_path);
    return code;
}
