// The FTP operation threads and the single-file transfers with their text conversions.
#include "ftp/ftp_operations.h"

#include "base/cp932.h"
#include "base/name_rules.h"
#include "ftp/charset.h"
#include "ftp/ftp_listing.h"
#include "ftp/listing_cache.h"
#include "ftp/name_charset.h"
#include "platform/os.h"
#include "platform/process_paths.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
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

// Log-ins after a lost connection, in a row without an entry finished in between.
constexpr int reconnect_tries = 3;
constexpr int reconnect_pause_ms = 500;

// The connection went away (broken, closed by the server, silent for the whole bound), as
// opposed to a refusal such as 550: 421 and 426 say the server closed or broke it off itself.
bool connection_lost(ftp_result code, const NetSocket& control)
{
    if (code == ftp_connect_failed || code == ftp_receive_error || code == ftp_closed ||
        code == ftp_send_error)
        return true;
    const char* reply = control.payload();
    return code == ftp_error_reply &&
           (std::strncmp(reply, "421", 3) == 0 || std::strncmp(reply, "426", 3) == 0);
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
    name_charset = params.name_charset;
    port = params.port;
    user = params.id;
    password = params.password;
    directory = params.directory;
    cache_file = params.cache_file;
    support_file = params.support_file;
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
    if (stop_wanted() || asked.answer == certificate_answer::refuse)
        return false;
    // Taken for the rest of this operation: a walk that logs in again does not ask again.
    certificate = fingerprint_text(presented.sha256);
    return true;
}

const char* thread_ftp::log_line() const
{
    NetSocket* control = control_.load();
    return control ? control->log_line() : "";
}

void thread_ftp::pass_over(const std::string& name, ftp_skip_reason reason)
{
    if (!passed_over(name))
        skipped.push_back({name, reason});
}

bool thread_ftp::passed_over(std::string_view name) const
{
    return std::any_of(skipped.begin(), skipped.end(), [&](const ftp_skipped& s) { return s.name == name; });
}

ftp_result thread_ftp::session(tls_plan& plan, const std::string& login_password, const std::string& start,
                               int try_number, bool& logged_in, bool& lost)
{
    NetSocket control(log_enabled);
    logged_in = lost = false;
    if (!control.has_socket())
        return ftp_no_socket;
    control_ = &control;
    control.set_tls_plan(&plan);
    control.set_epsv_state(&flags[flag_epsv]);
    if (try_number > 0 && !reconnect_text.empty()) {
        std::snprintf(control.log_buffer(), log_line_size, "%s (%d/%d)\r\n", reconnect_text.c_str(),
                      try_number, reconnect_tries);
        show_log_line();
        std::snprintf(control.log_buffer(), log_line_size, "?: ");
    }
    ftp_result code =
        ftp_login(*this, control, plan.target.c_str(), port, user, login_password, start, utf8_names);
    if (code == ftp_tls_refused)
        refusal = control.payload();
    std::fill(password.begin(), password.end(), '*');
    if (code == ftp_ok) {
        logged_in = true;
        code = body(control);
        lost = connection_lost(code, control) && !stop_wanted();
        ftp_logout(*this, control);
    } else {
        lost = connection_lost(code, control) && !stop_wanted();
    }
    control_ = nullptr;
    return code;
}

std::optional<std::string> thread_ftp::server_name(std::string_view name) const
{
    return name_to_server(name, utf8_names);
}

int thread_ftp::run()
{
    // Until the first probe, "auto" takes the names as Shift_JIS.
    utf8_names = names_in_utf8(name_charset, flags[flag_probed] && flags[flag_utf8]);
    std::optional<std::string> start = server_name(directory);
    tls_plan plan;
    plan.mode = security;
    plan.target = server_host(server);
    if (!start || plan.target.empty()) {
        std::fill(password.begin(), password.end(), '*');
        return start ? ftp_bad_host : ftp_file_error;
    }
    // One set of credentials for the whole operation: the data connections resume its session.
    if (security != tls_mode::none)
        plan.credentials = os::tls_make_credentials();
    plan.accept = [this](const os::tls_certificate& c) { return accept_certificate(c); };
    // A walk logs in again after a lost connection, so it keeps the password until it ends.
    std::string again = continues_after_loss() ? password : std::string();
    bool logged_in = false, lost = false;
    ftp_result code = session(plan, password, *start, 0, logged_in, lost);
    // Only a connection lost after the log-in is made again; three tries in a row that finish no
    // entry end the operation with the last error.
    for (int tries = 0; logged_in && lost && continues_after_loss() && tries < reconnect_tries;) {
        for (int waited = 0; waited < reconnect_pause_ms && !stop_wanted(); waited += 10)
            os::sleep_ms(10);
        if (stop_wanted()) {
            code = ftp_aborted;
            break;
        }
        const std::size_t before = finished_.size();
        bool in = false;
        code = session(plan, again, *start, ++tries, in, lost);
        if (finished_.size() > before)
            tries = 0;
    }
    std::fill(again.begin(), again.end(), '*');
    std::fill(password.begin(), password.end(), '*');
    return code;
}

ftp_result thread_ftp_listing::body(NetSocket& control)
{
    if (!flags[flag_probed]) {
        ftp_result code = ftp_probe(*this, control, flags);
        if (code != ftp_ok)
            return code;
        if (!utf8_names && names_in_utf8(name_charset, flags[flag_utf8])) {
            code = ftp_utf8_on(*this, control);
            if (code != ftp_ok)
                return code;
            utf8_names = true;
        }
    }
    return ftp_list_directory(*this, control, zone, cache_file, directory != "/", flags, unstored,
                              utf8_names);
}

ftp_result thread_ftp_make_dir::body(NetSocket& control)
{
    std::optional<std::string> wire = server_name(target);
    if (!wire)
        return ftp_file_error;
    ftp_result code = ftp_make_dir(*this, control, *wire);
    if (code != ftp_ok)
        return code;
    std::string time;
    if (flags[flag_mlst] && ftp_mlst_time(*this, control, *wire, zone) == ftp_ok)
        time = std::string(control.payload() + 4).substr(0, 14);
    if (stop_wanted())
        return ftp_aborted;
    return cache_write_entry(time, target, cache_file, cache_size_directory, true) ? ftp_ok : ftp_file_error;
}

ftp_result thread_ftp_rename::body(NetSocket& control)
{
    std::optional<std::string> from = server_name(target);
    std::optional<std::string> to = server_name(second);
    if (!from || !to)
        return ftp_file_error;
    ftp_result code = ftp_rename(*this, control, *from, *to);
    if (code != ftp_ok)
        return code;
    return cache_rename_entry(target, cache_file, second) ? ftp_ok : ftp_file_error;
}

ftp_result ftp_get_file(thread_net& worker, NetSocket& control, std::string_view charset,
                        const std::string& name, const std::string& local_path,
                        std::string_view text_extensions, std::string_view wire_name, download_resume* resume)
{
    received_file_step convert;
    if (is_text_file(name, text_extensions)) {
        // A text file always starts from its beginning: converted, its bytes no longer line up
        // with the server's offsets.
        if (charset == "EUC-JP")
            convert = [](const std::string& path) { return convert_euc_to_sjis(path); };
        else if (charset == "ISO-2022-JP")
            convert = [](const std::string& path) { return convert_jis_to_sjis(path); };
    } else if (resume) {
        return ftp_get_resuming(worker, control, wire_name.empty() ? name : std::string(wire_name),
                                local_path, *resume);
    }
    std::string command = "RETR ";
    command += wire_name.empty() ? std::string_view(name) : wire_name;
    return ftp_transfer_receive(worker, control, command, local_path, convert);
}

ftp_result ftp_put_file(thread_net& worker, NetSocket& control, std::string_view charset,
                        const std::string& name, const std::string& local_path,
                        std::string_view text_extensions, std::string_view wire_name)
{
    std::string command = "STOR ";
    command += wire_name.empty() ? std::string_view(name) : wire_name;
    // A binary file goes as it is; only a text file is converted, in a copy of its own.
    if (!is_text_file(name, text_extensions))
        return ftp_transfer_send(worker, control, command, local_path);
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
    return ftp_transfer_send(worker, control, command, copy.path);
}

ftp_result thread_ftp_get_remove::body(NetSocket& control)
{
    std::optional<std::string> list = os::read_file(target);
    if (!list)
        return ftp_file_error;
    bool whole = true;
    rest_refused_ = support_rest_refused(support_file);
    return walk(control, *list, cache_file, local_dir, "", whole);
}

// The list file names the files of the top level without their sizes: the cache has them.
ftp_result thread_ftp_get_remove::get_file(NetSocket& control, const cache_entry& e, const std::string& cache,
                                           const std::string& local_path, const std::string& wire_name)
{
    const cache_entry* known = &e;
    if (!e.has_size) {
        if (sizes_from_ != cache) {
            sizes_ = cache_read_entries(cache, false);
            sizes_from_ = cache;
        }
        auto at = std::find_if(sizes_.begin(), sizes_.end(),
                               [&](const cache_entry& c) { return !c.is_directory && c.name == e.name; });
        known = at == sizes_.end() ? nullptr : &*at;
    }
    download_resume resume;
    if (known && known->has_size && known->has_time) {
        resume.size = cache_size_value(known->size_text);
        resume.time = known->time_text.substr(0, 14);
    }
    resume.flags = flags;
    resume.zone = zone;
    resume.rest_refused = rest_refused_;
    ftp_result code = ftp_get_file(*this, control, charset, e.name, local_path, second, wire_name, &resume);
    if (resume.rest_refused && !rest_refused_) {
        rest_refused_ = true;
        remember_rest_refused(support_file, flags);
    }
    return code;
}

// One directory level: `lines` are its entries (the list file, or a copy of a subdirectory's
// cache, since removals rewrite the cache file), `cache` its cache file, `local` the local
// directory downloads land in. `whole` is cleared when an entry was passed over.
ftp_result thread_ftp_get_remove::walk(NetSocket& control, std::string_view lines, const std::string& cache,
                                       const std::string& local, const std::string& relative, bool& whole)
{
    for (std::string_view line : cache_split_lines(lines)) {
        if (std::optional<std::string> shown = no_cp932_line_name(line)) {
            pass_over(relative + *shown, ftp_skip_reason::no_cp932);
            whole = false;
            continue;
        }
        cache_entry e = cache_parse_line(line);
        if (std::optional<std::string> refused = refused_name(line, e)) {
            pass_over(relative + *refused, get ? ftp_skip_reason::local_name : ftp_skip_reason::ftp_name);
            whole = false;
            continue;
        }
        if (!e.is_entry || e.name == "." || e.name == "..")
            continue;
        // Deleting needs no local name, but a directory is walked through its cache directory.
        ftp_skip_reason reason = ftp_skip_reason::cache_name;
        bool refused = get ? fetch_name_problem(e.name, e.is_directory, reason)
                           : e.is_directory && !cache_component_rule(e.name);
        std::optional<std::string> wire = server_name(e.name);
        if (!refused && !wire) {
            refused = true;
            reason = ftp_skip_reason::no_server;
        }
        if (refused) {
            pass_over(relative + e.name, reason);
            whole = false;
            continue;
        }
        if (finished_.count(relative + e.name))
            continue;
        ftp_result code = ftp_ok;
        if (e.is_directory) {
            code = ftp_change_dir(*this, control, *wire);
            if (code != ftp_ok)
                return code;
            const std::string sub_dir = cache_directory_of(cache) + cache_folder_name(e.name);
            const std::string sub_cache = sub_dir + "/" + std::string(cache_file_name);
            if (!os::is_directory(sub_dir) && !os::make_directory(sub_dir))
                return ftp_file_error;
            bool sub_whole = true;
            if (!os::path_exists(sub_cache)) {
                std::size_t unstored = 0;
                code = ftp_list_directory(*this, control, zone, sub_cache, true, flags, unstored, utf8_names);
                if (code != ftp_ok)
                    return code;
                if (unstored > 0) {
                    pass_over(relative + e.name + "/", ftp_skip_reason::unlisted);
                    sub_whole = false;
                }
            } else if (passed_over(relative + e.name + "/")) {
                sub_whole = false; // listed before the connection was lost
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
                code = ftp_remove_dir(*this, control, *wire);
                if (code != ftp_ok)
                    return code;
                if (!cache_remove_entry(cache, e.name, true))
                    return ftp_file_error;
            }
        } else {
            const std::string local_path = local + e.name;
            if (get && !fetched_.count(relative + e.name)) {
                code = get_file(control, e, cache, local_path, *wire);
                if (code != ftp_ok)
                    return code;
                fetched_.insert(relative + e.name);
                // An entry without a time keeps the file as it arrived.
                if (!remove && e.has_time && !set_time_from_cache(local_path, e.time_text))
                    return ftp_file_error;
            }
            if (remove) {
                code = ftp_delete(*this, control, *wire);
                if (code != ftp_ok)
                    return code;
                if (!cache_remove_entry(cache, e.name, false))
                    return ftp_file_error;
            }
        }
        finished_.insert(relative + e.name);
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
    code =
        ftp_list_directory(*this, control, zone, cache_file, directory != "/", flags, unstored, utf8_names);
    if (code != ftp_ok || get)
        return code;
    // The local copies get the times the server now shows for them.
    // The text is held here: the lines are views into it, and a temporary would die before them.
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
            pass_over(relative + *refused, ftp_skip_reason::ftp_name);
            whole = false;
            continue;
        }
        if (!e.is_entry || e.name == "." || e.name == ".." || finished_.count(relative + e.name))
            continue;
        std::optional<std::string> wire = server_name(e.name);
        if (!wire) {
            pass_over(relative + e.name, ftp_skip_reason::no_server);
            whole = false;
            continue;
        }
        ftp_result code = ftp_ok;
        const std::string local_path = local + e.name;
        if (e.is_directory) {
            std::optional<std::vector<os::dir_item>> items = os::list_directory(local_path);
            if (!items)
                return ftp_file_error;
            ftp_make_dir(*this, control, *wire); // the directory may exist already
            code = ftp_change_dir(*this, control, *wire);
            if (code != ftp_ok)
                return code;
            std::string sub_lines;
            // Hidden and system entries stay behind, so their directory is not done whole.
            bool sub_whole = true;
            for (const os::dir_item& item : *items) {
                if (!item.hidden_or_system) {
                    sub_lines += (item.is_directory ? "Type=dir " : "Type=file ") + item.name + "\r\n";
                } else {
                    pass_over(relative + e.name + "/" + item.name, ftp_skip_reason::hidden);
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
            code = ftp_put_file(*this, control, charset, e.name, local_path, second, *wire);
            if (code != ftp_ok)
                return code;
        }
        finished_.insert(relative + e.name);
        if (relative.empty())
            done.push_back(e.name);
    }
    return stop_wanted() ? ftp_aborted : ftp_ok;
}
