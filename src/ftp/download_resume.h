// Downloads that continue where an earlier one broke off: the kept work file and its record, the
// rule that says whether a download may continue, and the download through the work file.
#pragma once

#include "ftp/ftp_protocol.h"

#include <cstdint>
#include <string>
#include <string_view>

// A binary download lands in "<target>.kvpart" beside its target and stays there when the
// transfer breaks off or is stopped; "<target>.kvinfo" records the size and time (as the cache
// showed them) of the remote file whose beginning the work file holds. Both names only add to
// the target's name, so neither is ever the target itself, and a name the local rules accept
// stays accepted with its stem unchanged. Empty when the name would not fit a path buffer.
std::string resume_work_path(std::string_view target_path);
std::string resume_record_path(std::string_view target_path);

// The record's text, "<size> <time>\r\n", and back; false when the text is not one.
std::string resume_record_text(std::uint64_t size, std::string_view time);
bool parse_resume_record(std::string_view text, std::uint64_t& size, std::string& time);

struct resume_facts {
    bool text = false;             // a text file, converted on arrival
    std::int64_t remote_size = -1; // the cache's size; -1 unknown
    std::string_view remote_time;  // the cache's 14 digits; empty when unknown
    bool has_record = false;
    std::uint64_t record_size = 0;
    std::string_view record_time;
    std::int64_t work_size = -1; // bytes in the work file; -1 when there is none
    bool rest_refused = false;   // the server refused REST before
};
// Where the download starts: 0 from the beginning, remote_size when the whole file is there.
std::uint64_t resume_offset(const resume_facts& facts);

// What a binary download needs to continue an earlier one.
struct download_resume {
    std::int64_t size = -1; // the remote file's size in the cache; -1 unknown
    std::string time;       // its time in the cache, 14 digits; empty when unknown
    // SIZE and MDTM (when the server has them) make sure the file on the server is still the one
    // the work file began: a cache can be older than the file.
    ftp_capabilities flags{};
    int zone = 900;
    bool rest_refused = false; // in: refused before; out: refused now or before
};

// RETR name into the work file of local_path, continued with REST when the rule allows it, and
// the target replaced only by the whole file. A file without a known size and time, or a work
// file or record of that name that is not a pair of ours (the user's), goes the ordinary way.
ftp_result ftp_get_resuming(thread_net& worker, NetSocket& control, const std::string& name,
                            const std::string& local_path, download_resume& resume);
