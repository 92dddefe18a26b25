// Continued downloads: work file names, the record, the rule and the download itself.
#include "ftp/download_resume.h"

#include "base/paths.h"
#include "ftp/ftp_reply.h"
#include "platform/os.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>

namespace {

constexpr std::string_view work_suffix = ".kvpart";
constexpr std::string_view record_suffix = ".kvinfo";

bool is_time_text(std::string_view time)
{
    if (time.size() != 14)
        return false;
    for (char c : time)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// A target Windows would write under another name (a final '.' or blank) gets no work file: the
// ordinary download refuses it.
std::string with_suffix(std::string_view target_path, std::string_view suffix)
{
    if (target_path.empty() || target_path.back() == '.' || target_path.back() == ' ' ||
        target_path.size() + suffix.size() >= path_size)
        return {};
    return std::string(target_path) + std::string(suffix);
}

// The record goes only after the work file is empty: a record never vouches for bytes of another
// version of the file.
bool start_over(const std::string& work, const std::string& record, const download_resume& r)
{
    os::remove_file(record);
    std::FILE* file = std::fopen(work.c_str(), "wb");
    if (!file || std::fclose(file) != 0)
        return false;
    return os::write_file_atomic(record, resume_record_text(static_cast<std::uint64_t>(r.size), r.time));
}

// Asks the server for the file's size and time (each when it has the command); `same` is false
// when either differs from the cache's, or the server refuses to say.
ftp_result check_unchanged(thread_net& worker, NetSocket& control, const std::string& name,
                           const download_resume& r, bool& same)
{
    same = true;
    if (r.flags[flag_size]) {
        ftp_result code = ftp_size(worker, control, name);
        std::int64_t size = -1;
        if (code != ftp_ok && code != ftp_error_reply)
            return code;
        same = code == ftp_ok && reply_number(control.payload(), std::strlen(control.payload()), size) &&
               size == r.size;
    }
    if (same && r.flags[flag_mdtm]) {
        ftp_result code = ftp_modify_time(worker, control, name, r.zone);
        if (code != ftp_ok && code != ftp_error_reply)
            return code;
        same = code == ftp_ok && std::string_view(control.payload() + 4, 14) == r.time;
    }
    return ftp_ok;
}

} // namespace

std::string resume_work_path(std::string_view target_path)
{
    return with_suffix(target_path, work_suffix);
}

std::string resume_record_path(std::string_view target_path)
{
    return with_suffix(target_path, record_suffix);
}

std::string resume_record_text(std::uint64_t size, std::string_view time)
{
    return std::to_string(size) + " " + std::string(time) + "\r\n";
}

bool parse_resume_record(std::string_view text, std::uint64_t& size, std::string& time)
{
    std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos || blank == 0 || blank > 19 || text.size() != blank + 1 + 14 + 2 ||
        text.substr(text.size() - 2) != "\r\n")
        return false;
    std::uint64_t value = 0;
    for (char c : text.substr(0, blank)) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    std::string_view digits = text.substr(blank + 1, 14);
    if (!is_time_text(digits) || value > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        return false;
    size = value;
    time = std::string(digits);
    return true;
}

std::uint64_t resume_offset(const resume_facts& f)
{
    // A text file is never continued: converted, its bytes no longer line up with the server's
    // offsets, so a REST would point into another place of the file.
    if (f.text || f.remote_size < 0 || !is_time_text(f.remote_time) || !f.has_record || f.work_size <= 0)
        return 0;
    const auto size = static_cast<std::uint64_t>(f.remote_size);
    const auto have = static_cast<std::uint64_t>(f.work_size);
    // Another size or time: the file changed since the work file began, and its bytes are not the
    // beginning of this one. A work file longer than the file cannot be its beginning either.
    if (f.record_size != size || f.record_time != f.remote_time || have > size)
        return 0;
    if (have < size && f.rest_refused)
        return 0;
    return have;
}

ftp_result ftp_get_resuming(thread_net& worker, NetSocket& control, const std::string& name,
                            const std::string& local_path, download_resume& r)
{
    const std::string work = resume_work_path(local_path), record = resume_record_path(local_path);
    const std::optional<std::uint64_t> work_size = work.empty() ? std::nullopt : os::file_size(work);
    const std::optional<std::string> record_text = record.empty() ? std::nullopt : os::read_file(record);
    resume_facts f;
    std::string record_time;
    f.has_record = record_text && parse_resume_record(*record_text, f.record_size, record_time);
    // A work file or record of that name that is not a pair of ours is the user's: left alone.
    const bool foreign =
        (os::path_exists(work) && (!work_size || !f.has_record)) || (record_text && !f.has_record);
    if (work.empty() || record.empty() || foreign || r.size < 0 || !is_time_text(r.time))
        return ftp_transfer_receive(worker, control, "RETR " + name, local_path);
    f.remote_size = r.size;
    f.remote_time = r.time;
    f.record_time = record_time;
    f.work_size = work_size ? static_cast<std::int64_t>(*work_size) : -1;
    f.rest_refused = r.rest_refused;
    std::uint64_t offset = resume_offset(f);
    ftp_result code = ftp_ok;
    if (offset > 0) {
        bool same = false;
        code = check_unchanged(worker, control, name, r, same);
        if (code != ftp_ok)
            return code;
        if (!same)
            offset = 0;
    }
    // A work file as long as the file: the whole file arrived before and only its closing reply
    // was lost, so nothing is fetched again.
    const bool complete = offset > 0 && offset == static_cast<std::uint64_t>(r.size);
    if (!complete) {
        for (;;) {
            if (offset == 0 && !start_over(work, record, r))
                return ftp_file_error;
            code = ftp_transfer_continue(worker, control, "RETR " + name, work, offset,
                                         offset > 0 ? r.size : -1);
            if (code != ftp_error_reply || offset == 0 || control.sent_verb() != "REST")
                break;
            // A refusal (5xx) is kept for the server; a passing 4xx only starts this file over.
            if (control.payload()[0] == '5')
                r.rest_refused = true;
            offset = 0;
        }
        // More bytes than the file had: what the work file holds cannot be trusted.
        if (code == ftp_thread_failed) {
            os::remove_file(work);
            os::remove_file(record);
        }
        if (code != ftp_ok)
            return code;
    }
    if (!os::replace_file(work, local_path))
        return ftp_file_error;
    os::remove_file(record);
    return ftp_ok;
}
