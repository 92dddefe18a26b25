// The FTP operation threads and the single-file transfers with their text conversions.
#include "ftp/ftp_operations.h"

#include "base/cp932.h"
#include "base/name_rules.h"
#include "ftp/charset.h"
#include "ftp/ftp_listing.h"
#include "ftp/listing_cache.h"
#include "platform/os.h"
#include "platform/process_paths.h"

#include <algorithm>
#include <optional>

namespace {

// The name of a list or cache line whose Type is file or dir but which is no entry (a name the
// FTP rule refuses); none for every other line.
std::optional<std::string> refused_name(std::string_view line, const cache_entry& e)
{
    if (e.is_entry || !e.is_listing_line)
        return std::nullopt;
    line = line.substr(0, line.find('\n'));
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    std::size_t blank = line.find(' ');
    std::string facts(line.substr(0, blank));
    std::string_view name = line.substr(blank + 1);
    for (char& c : facts)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    bool typed = facts.find("type=file") != std::string::npos ||
                 facts.find("type=dir;") != std::string::npos ||
                 (facts.size() >= 8 && facts.compare(facts.size() - 8, 8, "type=dir") == 0);
    if (!typed || name.empty() || name == "." || name == "..")
        return std::nullopt;
    return std::string(name);
}

// The 14 digits of a cache time set as the file's local last-write time.
bool set_time_from_cache(const std::string& path, std::string_view time)
{
    std::string text = cache_time_to_text(time); // "YYYY.MM.DD hh:mm.ss"
    if (text.size() < 19)
        return false;
    auto number = [&](std::size_t at, std::size_t width) {
        int value = 0;
        for (std::size_t i = at; i < at + width; ++i)
            value = value * 10 + (text[i] - '0');
        return value;
    };
    return os::set_file_local_time(path, number(0, 4), number(5, 2), number(8, 2), number(11, 2),
                                   number(14, 2), number(17, 2));
}

std::string cache_directory_of(const std::string& cache_file)
{
    return cache_file.substr(0, cache_file.rfind('/') + 1);
}

// The text copy of an upload ends with a line feed: an empty file gets one, a missing one is
// added, a final end-of-file byte (0x1A) is replaced by it. Line ends are CR LF, as text files here.
bool end_with_line_feed(const std::string& path)
{
    std::optional<std::string> data = os::read_file(path);
    if (!data)
        return false;
    if (!data->empty() && data->back() == '\n')
        return true;
    if (!data->empty() && data->back() == '\x1a')
        data->pop_back();
    if (!data->empty() && data->back() == '\r')
        data->pop_back();
    *data += "\r\n";
    return os::write_file_atomic(path, *data);
}

// Removes the temporary copy of an upload whatever happens.
struct temp_file {
    std::string path;
    ~temp_file()
    {
        if (!path.empty())
            os::remove_file(path);
    }
};

} // namespace

bool fetch_name_problem(std::string_view name, bool is_directory, ftp_skip_reason& reason)
{
    if (!local_file_name_rule(name)) {
        reason = ftp_skip_reason::local_name;
        return true;
    }
    // A directory named like a cache file would stand where that file belongs.
    if (is_directory && (equal_text_nocase(name, cache_file_name) || equal_text_nocase(name, "support.ini") ||
                         !cache_component_rule(name))) {
        reason = ftp_skip_reason::cache_name;
        return true;
    }
    return false;
}

void thread_ftp::take(const ftp_operation_params& params)
{
    server = params.server;
    zone = params.zone;
    charset = params.charset;
    port = params.port;
    user = params.id;
    password = params.password;
    directory = params.directory;
    cache_file = params.cache_file;
    title = params.title;
    security = params.security;
    certificate = params.certificate;
}

bool thread_ftp::accept_certificate(const os::tls_certificate& presented)
{
    certificate_match match = match_certificate(certificate, presented.sha256);
    if (match == certificate_match::same)
        return true;
    certificate_question asked;
    asked.certificate = presented;
    asked.changed = match == certificate_match::changed;
    question_ = &asked;
    notify_owner();
    question_ = nullptr;
    return !stop_wanted() && asked.answer != certificate_answer::refuse;
}

const char* thread_ftp::log_line() const
{
    NetSocket* control = control_.load();
    return control ? control->log_line() : "";
}

int thread_ftp::run()
{
    ftp_result code = ftp_no_socket;
    {
        NetSocket control(log_enabled);
        tls_plan plan;
        plan.mode = security;
        plan.target = server_host(server);
        if (security != tls_mode::none)
            plan.credentials = os::tls_make_credentials();
        plan.accept = [this](const os::tls_certificate& c) { return accept_certificate(c); };
        if (plan.target.empty()) {
            code = ftp_bad_host;
        } else if (control.has_socket()) {
            control_ = &control;
            control.set_tls_plan(&plan);
            control.set_epsv_state(&flags[flag_epsv]);
            code = ftp_login(*this, control, plan.target.c_str(), port, user, password, directory);
            if (code == ftp_tls_refused)
                refusal = control.payload();
            std::fill(password.begin(), password.end(), '*');
            if (code == ftp_ok) {
                code = body(control);
                ftp_logout(*this, control);
            }
            control_ = nullptr;
        }
    }
    std::fill(password.begin(), password.end(), '*');
    return code;
}

ftp_result thread_ftp_listing::body(NetSocket& control)
{
    if (!flags[flag_probed]) {
        ftp_result code = ftp_probe(*this, control, flags);
        if (code != ftp_ok)
            return code;
    }
    return ftp_list_directory(*this, control, zone, cache_file, directory != "/", flags, unstored);
}

ftp_result thread_ftp_make_dir::body(NetSocket& control)
{
    ftp_result code = ftp_make_dir(*this, control, target);
    if (code != ftp_ok)
        return code;
    std::string time;
    if (flags[flag_mlst] && ftp_mlst_time(*this, control, target, zone) == ftp_ok)
        time = std::string(control.payload() + 4).substr(0, 14);
    if (stop_wanted())
        return ftp_aborted;
    return cache_write_entry(time, target, cache_file, cache_size_directory, true) ? ftp_ok : ftp_file_error;
}

ftp_result thread_ftp_rename::body(NetSocket& control)
{
    ftp_result code = ftp_rename(*this, control, target, second);
    if (code != ftp_ok)
        return code;
    return cache_rename_entry(target, cache_file, second) ? ftp_ok : ftp_file_error;
}

ftp_result ftp_get_file(thread_net& worker, NetSocket& control, std::string_view charset,
                        const std::string& name, const std::string& local_path,
                        std::string_view text_extensions)
{
    received_file_step convert;
    if (is_text_file(name, text_extensions)) {
        if (charset == "EUC-JP")
            convert = [](const std::string& path) { return convert_euc_to_sjis(path); };
        else if (charset == "ISO-2022-JP")
            convert = [](const std::string& path) { return convert_jis_to_sjis(path); };
    }
    return ftp_transfer_receive(worker, control, "RETR " + name, local_path, convert);
}

ftp_result ftp_put_file(thread_net& worker, NetSocket& control, std::string_view charset,
                        const std::string& name, const std::string& local_path,
                        std::string_view text_extensions)
{
    // A binary file goes as it is; only a text file is converted, in a copy of its own.
    if (!is_text_file(name, text_extensions))
        return ftp_transfer_send(worker, control, "STOR " + name, local_path);
    temp_file copy;
    if (!make_temp_file(copy.path, "LIB_$$$$.TMP")) {
        copy.path.clear();
        return ftp_file_error;
    }
    std::optional<std::string> data = os::read_file(local_path);
    if (!data || !os::write_file_atomic(copy.path, *data))
        return ftp_file_error;
    bool ok = end_with_line_feed(copy.path);
    if (charset == "EUC-JP")
        ok = ok && convert_sjis_to_euc(copy.path);
    else if (charset == "ISO-2022-JP")
        ok = ok && convert_kana_to_full_width(copy.path) && convert_sjis_to_jis(copy.path);
    else if (charset != "Shift_JIS")
        ok = false;
    if (!ok)
        return ftp_file_error;
    return ftp_transfer_send(worker, control, "STOR " + name, copy.path);
}

ftp_result thread_ftp_get_remove::body(NetSocket& control)
{
    std::optional<std::string> list = os::read_file(target);
    if (!list)
        return ftp_file_error;
    bool whole = true;
    return walk(control, *list, cache_file, local_dir, "", whole);
}

// One directory level: `lines` are its entries (the list file, or a copy of a subdirectory's
// cache, since removals rewrite the cache file), `cache` its cache file, `local` the local
// directory downloads land in. `whole` is cleared when an entry was passed over.
ftp_result thread_ftp_get_remove::walk(NetSocket& control, std::string_view lines, const std::string& cache,
                                       const std::string& local, const std::string& relative, bool& whole)
{
    for (std::string_view line : cache_split_lines(lines)) {
        cache_entry e = cache_parse_line(line);
        if (std::optional<std::string> refused = refused_name(line, e)) {
            skipped.push_back(
                {relative + *refused, get ? ftp_skip_reason::local_name : ftp_skip_reason::ftp_name});
            whole = false;
            continue;
        }
        if (!e.is_entry || e.name == "." || e.name == "..")
            continue;
        // Deleting needs no local name, but a directory is walked through its cache directory.
        ftp_skip_reason reason = ftp_skip_reason::cache_name;
        bool refused = get ? fetch_name_problem(e.name, e.is_directory, reason)
                           : e.is_directory && !cache_component_rule(e.name);
        if (refused) {
            skipped.push_back({relative + e.name, reason});
            whole = false;
            continue;
        }
        ftp_result code = ftp_ok;
        if (e.is_directory) {
            code = ftp_change_dir(*this, control, e.name);
            if (code != ftp_ok)
                return code;
            const std::string sub_dir = cache_directory_of(cache) + cache_folder_name(e.name);
            const std::string sub_cache = sub_dir + "/" + std::string(cache_file_name);
            if (!os::is_directory(sub_dir) && !os::make_directory(sub_dir))
                return ftp_file_error;
            bool sub_whole = true;
            if (!os::path_exists(sub_cache)) {
                std::size_t unstored = 0;
                code = ftp_list_directory(*this, control, zone, sub_cache, true, flags, unstored);
                if (code != ftp_ok)
                    return code;
                if (unstored > 0) {
                    skipped.push_back({relative + e.name + "/", ftp_skip_reason::unlisted});
                    sub_whole = false;
                }
            }
            const std::string sub_local = local + e.name + "/";
            if (get && !os::is_directory(sub_local) && !os::make_directory(sub_local))
                return ftp_file_error;
            std::optional<std::string> sub_lines = os::read_file(sub_cache);
            if (!sub_lines)
                return ftp_file_error;
            code = walk(control, *sub_lines, sub_cache, sub_local, relative + e.name + "/", sub_whole);
            if (code != ftp_ok)
                return code;
            code = ftp_change_dir(*this, control, "..");
            if (code != ftp_ok)
                return code;
            // A directory with an entry left in it is neither removed nor done.
            if (!sub_whole) {
                whole = false;
                continue;
            }
            if (remove) {
                code = ftp_remove_dir(*this, control, e.name);
                if (code != ftp_ok)
                    return code;
                if (!cache_remove_entry(cache, e.name, true))
                    return ftp_file_error;
            }
        } else {
            const std::string local_path = local + e.name;
            if (get) {
                code = ftp_get_file(*this, control, charset, e.name, local_path, second);
                if (code != ftp_ok)
                    return code;
                // An entry without a time keeps the file as it arrived.
                if (!remove && e.has_time && !set_time_from_cache(local_path, e.time_text))
                    return ftp_file_error;
            }
            if (remove) {
                code = ftp_delete(*this, control, e.name);
                if (code != ftp_ok)
                    return code;
                if (!cache_remove_entry(cache, e.name, false))
                    return ftp_file_error;
            }
        }
        if (relative.empty())
            done.push_back(e.name);
    }
    return stop_wanted() ? ftp_aborted : ftp_ok;
}

ftp_result thread_ftp_put::body(NetSocket& control)
{
    std::optional<std::string> list = os::read_file(target);
    if (!list)
        return ftp_file_error;
    bool whole = true;
    ftp_result code = walk(control, *list, local_dir, "", whole);
    if (code != ftp_ok)
        return code;
    std::size_t unstored = 0;
    code = ftp_list_directory(*this, control, zone, cache_file, directory != "/", flags, unstored);
    if (code != ftp_ok || get)
        return code;
    // The local copies get the times the server now shows for them.
    // The text is held by name: a temporary from value_or would die before the loop reads it.
    const std::string cache = os::read_file(cache_file).value_or("");
    for (std::string_view line : cache_split_lines(cache)) {
        cache_entry e = cache_parse_line(line);
        if (e.is_entry && !e.is_directory && e.has_time &&
            std::find(done.begin(), done.end(), e.name) != done.end())
            set_time_from_cache(local_dir + e.name, e.time_text);
    }
    return ftp_ok;
}

ftp_result thread_ftp_put::walk(NetSocket& control, std::string_view lines, const std::string& local,
                                const std::string& relative, bool& whole)
{
    for (std::string_view line : cache_split_lines(lines)) {
        cache_entry e = cache_parse_line(line);
        if (std::optional<std::string> refused = refused_name(line, e)) {
            skipped.push_back({relative + *refused, ftp_skip_reason::ftp_name});
            whole = false;
            continue;
        }
        if (!e.is_entry || e.name == "." || e.name == "..")
            continue;
        ftp_result code = ftp_ok;
        const std::string local_path = local + e.name;
        if (e.is_directory) {
            std::optional<std::vector<os::dir_item>> items = os::list_directory(local_path);
            if (!items)
                return ftp_file_error;
            ftp_make_dir(*this, control, e.name); // the directory may exist already
            code = ftp_change_dir(*this, control, e.name);
            if (code != ftp_ok)
                return code;
            std::string sub_lines;
            // Hidden and system entries stay behind, so their directory is not done whole.
            bool sub_whole = true;
            for (const os::dir_item& item : *items) {
                if (!item.hidden_or_system) {
                    sub_lines += (item.is_directory ? "Type=dir " : "Type=file ") + item.name + "\r\n";
                } else {
                    skipped.push_back({relative + e.name + "/" + item.name, ftp_skip_reason::hidden});
                    sub_whole = false;
                }
            }
            code = walk(control, sub_lines, local_path + "/", relative + e.name + "/", sub_whole);
            if (code != ftp_ok)
                return code;
            code = ftp_change_dir(*this, control, "..");
            if (code != ftp_ok)
                return code;
            if (!sub_whole) {
                whole = false;
                continue;
            }
        } else {
            code = ftp_put_file(*this, control, charset, e.name, local_path, second);
            if (code != ftp_ok)
                return code;
        }
        if (relative.empty())
            done.push_back(e.name);
    }
    return stop_wanted() ? ftp_aborted : ftp_ok;
}
