// Fetching one remote directory into its listing cache file, in three ways.
#include "ftp/ftp_listing.h"

#include "base/paths.h"
#include "platform/process_paths.h"
#include "ftp/ftp_reply.h"
#include "ftp/listing_cache.h"
#include "ftp/listing_formats.h"
#include "ftp/listing_time.h"
#include "platform/os.h"

#include <cstring>
#include <optional>

namespace {

enum class listing_way { mlsd, nlst_size_mdtm, long_listing };

// Every line the temporary file holds, as read as text.
int read_listing_file(const std::string& path, std::string& data)
{
    std::optional<std::string> content = os::read_file(path);
    if (!content)
        return ftp_file_error;
    data = std::move(*content);
    return ftp_ok;
}

// One entry of a listing as cache_write_entry stores it (make_subdir on), its line added to
// `lines` instead of the file.
bool add_entry(std::string& lines, std::string_view time, std::string_view name, const std::string& cache_path,
               std::int64_t size)
{
    std::string line = cache_format_entry(time, name, size);
    if (line.empty())
        return false;
    lines += line;
    return size != cache_size_directory || cache_make_subdirectory(cache_path, name);
}

int list_nlst(thread_net& worker, NetSocket& control, int server_zone, const std::string& cache_path,
              const std::string& list_path)
{
    std::string data;
    int code = read_listing_file(list_path, data);
    if (code != ftp_ok)
        return code;
    // The lines are collected and written at once; a failure removes the cache file anyway.
    std::string lines;
    for (std::string_view line : cache_split_lines(data, nlst_line_limit)) {
        nlst_entry entry = nlst_parse_line(line);
        if (entry.kind == nlst_kind::none)
            continue;
        if (entry.kind == nlst_kind::directory) {
            if (!add_entry(lines, {}, entry.name, cache_path, cache_size_directory))
                return ftp_file_error;
            continue;
        }
        code = ftp_size(worker, control, entry.name);
        if (code != ftp_ok)
            return code;
        std::int64_t size = 0;
        const char* reply = control.payload();
        if (!reply_number(reply, std::strlen(reply), size))
            return ftp_error_reply;
        code = ftp_modify_time(worker, control, entry.name, server_zone);
        if (code != ftp_ok)
            return code;
        // A successful MDTM leaves fourteen checked digits after the reply code.
        std::string_view time(control.payload() + 4, 14);
        if (!add_entry(lines, time, entry.name, cache_path, size))
            return ftp_file_error;
    }
    return cache_append_lines(cache_path, lines) ? ftp_ok : ftp_file_error;
}

int list_long(const std::string& cache_path, const std::string& list_path)
{
    std::string data;
    int code = read_listing_file(list_path, data);
    if (code != ftp_ok)
        return code;
    int year = 0;
    int month = 0;
    local_year_month(year, month);
    std::string lines;
    // ls lines carry owner, group and date before the name: they may be longer than a cache line.
    for (std::string_view line : cache_split_lines(data, long_listing_line_limit)) {
        long_listing_entry entry = long_listing_parse_line(line, year, month);
        if (!entry.is_entry)
            continue;
        if (!add_entry(lines, entry.time, entry.name, cache_path,
                       entry.is_directory ? cache_size_directory : entry.size))
            return ftp_file_error;
    }
    return cache_append_lines(cache_path, lines) ? ftp_ok : ftp_file_error;
}

// One way of listing; `refused` tells that the server does not know its listing command.
int list_one_way(thread_net& worker, NetSocket& control, listing_way way, int server_zone,
                 const std::string& cache_path, bool& not_root, bool& refused)
{
    refused = false;
    if (way == listing_way::mlsd) {
        int code = ftp_transfer_receive(worker, control, "MLSD", cache_path);
        if (code == ftp_error_reply && reply_refused_command(control))
            refused = true;
        if (code != ftp_ok)
            return code;
        return cache_store_mlsd(cache_path, server_zone, not_root) ? ftp_ok : ftp_file_error;
    }
    std::string list_path;
    if (!make_temp_file(list_path, "LIB_$$$$.TMP"))
        return ftp_file_error;
    const char* command = way == listing_way::long_listing ? "NLST -alL" : "NLST -aFL";
    int code = ftp_transfer_receive(worker, control, command, list_path);
    if (code == ftp_error_reply && reply_refused_command(control))
        refused = true;
    if (code == ftp_ok)
        code = way == listing_way::long_listing
                   ? list_long(cache_path, list_path)
                   : list_nlst(worker, control, server_zone, cache_path, list_path);
    os::remove_file(list_path);
    return code;
}

} // namespace

int ftp_list_directory(thread_net& worker, NetSocket& control, int server_zone, const std::string& cache_path,
                       bool not_root, ftp_capabilities& flags)
{
    os::remove_file(cache_path);
    int code = ftp_ok;
    for (;;) {
        listing_way way = flags[flag_mlsd]                         ? listing_way::mlsd
                          : (flags[flag_mdtm] && flags[flag_size]) ? listing_way::nlst_size_mdtm
                                                                   : listing_way::long_listing;
        bool refused = false;
        code = list_one_way(worker, control, way, server_zone, cache_path, not_root, refused);
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
