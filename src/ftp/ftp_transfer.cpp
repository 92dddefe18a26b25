// Passive transfers: PASV, the data command, a data thread, progress dots and the closing reply.
#include "ftp/ftp_data.h"
#include "ftp/ftp_protocol.h"
#include "ftp/ftp_reply.h"
#include "platform/os.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// The control thread wakes when the data thread changes its state (a block to show, the end)
// and at least every 10 ms to look at its own stop request.
constexpr int watch_poll_ms = 10;

// A fresh work file beside the target for the download to land in; empty when none can be made.
std::string make_receive_work_file(const std::string& target)
{
    for (int n = 0; n < 1000; ++n) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".kv%03d~", n);
        std::string work = target + suffix;
        if (os::create_new_file(work))
            return work;
        if (!os::path_exists(work))
            return {};
    }
    return {};
}

// Windows drops a final '.' or blank of a file name, so such a name would write another file.
bool local_name_is_safe(const std::string& path)
{
    if (path.empty())
        return false;
    char last = path.back();
    return last != '.' && last != ' ' && last != '/' && last != '\\';
}

void set_log_text(NetSocket& control, const char* text)
{
    std::snprintf(control.log_buffer(), log_line_size, "%s", text);
}

// Shows the progress of the data thread until it has finished (or the worker is stopped, which
// stops the data thread first).
template <class data_thread>
void watch_transfer(thread_net& worker, NetSocket& control, data_thread& data, const char* opening)
{
    bool log = control.log_enabled();
    int column = 6;
    if (log) {
        set_log_text(control, opening);
        worker.show_log_line();
        set_log_text(control, ".");
    }
    while (!data.is_finished()) {
        if (worker.stop_wanted()) {
            data.request_stop();
            data.join();
            break;
        }
        if (log && data.notification_pending()) {
            worker.show_log_line();
            // One dot per 1024 bytes; lines of at most 79 characters, continued after 3 blanks.
            if (column++ == 78) {
                set_log_text(control, "\r\n   ");
                worker.show_log_line();
                set_log_text(control, ".");
                column = 3;
            }
            data.acknowledge();
            continue;
        }
        data.wait_for_change(thread_state::running, watch_poll_ms);
    }
    data.join();
    if (log) {
        progress_dots = false;
        set_log_text(control, "\r\n");
        worker.show_log_line();
        set_log_text(control, "?: ");
    }
}

// True when the payload's reply says the command is unknown or not implemented (500-502).
bool refused_as_unknown(const NetSocket& control)
{
    const char* p = control.payload();
    return p[0] == '5' && p[1] == '0' && (p[2] == '0' || p[2] == '1' || p[2] == '2') && p[3] == ' ';
}

// EPSV or PASV: the port to connect to, at the control connection's peer. The command is composed
// and checked before anything is sent. restart_at > 0 sends "REST n" right before the data
// command, as a restart must be the last command before the transfer it applies to; a REST that is
// not answered 350 ends here with 12 (sent_verb() then tells REST).
ftp_result open_passive(thread_net& worker, NetSocket& control, std::string_view command, std::string& host,
                        int& port, char (&data_command)[payload_capacity], std::uint64_t restart_at = 0)
{
    ftp_result code = control.compose(command);
    if (code != ftp_ok)
        return code;
    std::memcpy(data_command, control.payload(), payload_capacity);
    // The address in a reply is not trusted: a server must not send our data elsewhere.
    os::net_address peer;
    if (!control.peer_address(peer))
        return ftp_connect_failed;
    char text[46];
    os::socket_address_text(peer, text);
    host = text;
    // Without the pane's knowledge of EPSV (a bare control connection) PASV is used, as before.
    std::uint8_t plain = epsv_refused;
    std::uint8_t& epsv = control.epsv_state() ? *control.epsv_state() : plain;
    bool have_port = false;
    // PASV names an IPv4 address: over IPv6 only EPSV can work.
    if (peer.family == 6 || epsv != epsv_refused) {
        code = control.compose("EPSV");
        if (code == ftp_ok)
            code = control.send_command(worker, true);
        if (code == ftp_ok)
            code = control.read_reply(worker);
        if (code == ftp_ok) {
            const char* reply = control.payload();
            if (!parse_epsv(reply + 4, std::strlen(reply + 4), port))
                return ftp_error_reply;
            epsv = epsv_works;
            have_port = true;
        } else if (code == ftp_error_reply && peer.family != 6 && refused_as_unknown(control)) {
            epsv = epsv_refused; // kept in support.ini: PASV from now on
        } else {
            return code;
        }
    }
    if (!have_port) {
        code = control.compose("PASV");
        if (code == ftp_ok)
            code = control.send_command(worker, true);
        if (code == ftp_ok)
            code = control.read_reply(worker);
        if (code != ftp_ok)
            return code;
        pasv_address address;
        const char* reply = control.payload();
        if (!parse_pasv(reply + 4, std::strlen(reply + 4), address))
            return ftp_error_reply;
        port = address.port;
    }
    if (restart_at > 0) {
        code = control.compose("REST ", std::to_string(restart_at));
        if (code == ftp_ok)
            code = control.send_command(worker, true);
        if (code == ftp_ok)
            code = control.read_reply(worker);
        if (code == ftp_ok && control.payload()[0] != '3')
            code = ftp_error_reply;
        if (code != ftp_ok)
            return code;
    }
    std::memcpy(control.payload(), data_command, payload_capacity);
    return control.send_command(worker, true);
}

// Runs the data thread (its local side already set) and reads the replies; `data` holds what the
// thread left once this returns. announced_size: the byte count the opening reply named, or -1.
template <class data_thread>
ftp_result run_transfer(thread_net& worker, NetSocket& control, data_thread& data, const char* opening,
                        const std::string& host, int port, std::int64_t& announced_size)
{
    announced_size = -1;
    data.port = port;
    data.host = host;
    data.log_enabled = control.log_enabled();
    data.timeout_ms = control.timeout_ms();
    data.plan = control.is_tls() ? control.plan() : nullptr;
    // Dots from the first block on: a block that arrives before the reply to the data command
    // waits (in its notification) until the opening line has been shown.
    progress_dots = control.log_enabled();
    if (!data.begin()) {
        progress_dots = false;
        bool transfer_open = control.read_reply(worker) == ftp_ok && control.payload()[0] == '1';
        ftp_abort(worker, control, transfer_open);
        return ftp_thread_failed;
    }
    ftp_result code = control.read_reply(worker);
    if (code != ftp_ok) {
        // Nothing will come on the data connection: the thread must not wait for it.
        data.request_stop();
        data.join();
        progress_dots = false;
        return code;
    }
    // A server that answers the data command at once with 2xx has no closing reply to come.
    bool closed_already = control.payload()[0] == '2';
    if (control.payload()[0] == '1')
        opening_reply_size(control.payload(), std::strlen(control.payload()), announced_size);
    watch_transfer(worker, control, data, opening);
    code = static_cast<ftp_result>(data.get_result()); // the data thread ends with an FTP code
    if (worker.stop_wanted())
        code = ftp_aborted;
    // A data connection silent for the whole bound means a dead server: no ABOR, no QUIT and no
    // drain wait on its control connection either.
    if (data.went_silent)
        control.mark_dead();
    if (code != ftp_ok) {
        ftp_abort(worker, control, !closed_already);
        return code;
    }
    return closed_already ? ftp_ok : control.read_reply(worker);
}

} // namespace

ftp_result ftp_transfer_receive(thread_net& worker, NetSocket& control, std::string_view command,
                                const std::string& local_path, const received_file_step& before_replace,
                                std::int64_t expected_size, std::uint64_t byte_limit, receive_sink* sink)
{
    if (!local_name_is_safe(local_path))
        return ftp_file_error;
    char data_command[payload_capacity];
    std::string host;
    int port = 0;
    ftp_result code = control.compose(command);
    if (code != ftp_ok)
        return code;
    std::string work = make_receive_work_file(local_path);
    if (work.empty())
        return ftp_file_error;
    code = open_passive(worker, control, command, host, port, data_command);
    if (code == ftp_ok) {
        auto data = std::make_unique<thread_ftp_data_recv>();
        data->local_path = work;
        data->byte_limit = byte_limit;
        data->sink = sink;
        std::int64_t announced = -1;
        code = run_transfer(worker, control, *data, "s: ...", host, port, announced);
        // A connection cut short may still be answered 226: the byte count tells. The server's
        // own count is newer than a listing's.
        std::int64_t size = announced >= 0 ? announced : expected_size;
        if (code == ftp_ok && size >= 0 && data->received_bytes != static_cast<std::uint64_t>(size))
            code = ftp_receive_error;
    }
    if (code == ftp_ok && before_replace && !before_replace(work))
        code = ftp_file_error;
    if (code == ftp_ok && !os::replace_file(work, local_path))
        code = ftp_file_error;
    if (code != ftp_ok)
        os::remove_file(work);
    return code;
}

ftp_result ftp_transfer_send(thread_net& worker, NetSocket& control, std::string_view command,
                             const std::string& local_path)
{
    ftp_result code = control.compose(command);
    if (code != ftp_ok)
        return code;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(local_path.c_str(), "rb"), std::fclose);
    if (!file)
        return ftp_file_error;
    char data_command[payload_capacity];
    std::string host;
    int port = 0;
    code = open_passive(worker, control, command, host, port, data_command);
    if (code != ftp_ok)
        return code;
    auto data = std::make_unique<thread_ftp_data_send>();
    data->file = file.get();
    std::int64_t announced = -1;
    return run_transfer(worker, control, *data, "c: ...", host, port, announced);
}

ftp_result ftp_transfer_continue(thread_net& worker, NetSocket& control, std::string_view command,
                                 const std::string& work_path, std::uint64_t offset, std::int64_t total_size)
{
    char data_command[payload_capacity];
    std::string host;
    int port = 0;
    ftp_result code = control.compose(command);
    if (code == ftp_ok)
        code = open_passive(worker, control, command, host, port, data_command, offset);
    if (code != ftp_ok)
        return code;
    auto data = std::make_unique<thread_ftp_data_recv>();
    data->local_path = work_path;
    data->append = true;
    // More than the rest of the file cannot belong to it.
    if (total_size > static_cast<std::int64_t>(offset))
        data->byte_limit = static_cast<std::uint64_t>(total_size) - offset;
    std::int64_t announced = -1;
    code = run_transfer(worker, control, *data, "s: ...", host, port, announced);
    // After a restart servers announce either the whole size or the rest: only the size the
    // continued file was started for counts then.
    std::int64_t size = offset > 0 ? total_size : (announced >= 0 ? announced : total_size);
    if (code == ftp_ok && size >= 0 && offset + data->received_bytes != static_cast<std::uint64_t>(size))
        code = ftp_receive_error;
    return code;
}
