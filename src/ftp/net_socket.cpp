// NetSocket: connect, send, receive, line reading and reply reading with bounded waits.
#include "ftp/net_socket.h"

#include "base/cp932.h"
#include "ftp/ftp_reply.h"
#include "platform/os.h"

#include <cstring>

NetSocket::NetSocket(bool log_enabled)
{
    std::memcpy(log_line_, "?: ", 4);
    if (!os::socket_library_start())
        return;
    socket_ = os::socket_create_tcp();
    if (socket_ == os::invalid_socket) {
        os::socket_library_stop();
        return;
    }
    log_enabled_ = log_enabled;
    buffered_ = 0;
}

NetSocket::~NetSocket()
{
    if (socket_ != os::invalid_socket) {
        os::socket_close(socket_);
        os::socket_library_stop();
    }
}

int NetSocket::wait_slice(bool readable, bool writable)
{
    return os::socket_wait(socket_, readable, writable, net_poll_ms);
}

bool NetSocket::silent_since(std::uint64_t since)
{
    if (os::now_ms() - since < static_cast<std::uint64_t>(timeout_ms_))
        return false;
    dead_ = true;
    return true;
}

ftp_result NetSocket::connect_to(thread_net& worker, const char* host, int port)
{
    os::net_address address;
    if (!os::socket_resolve(host, address))
        return ftp_bad_host;
    if (port <= 0 || port > 65535)
        return ftp_connect_failed;
    if (address.family != 4) {
        // The socket was made for IPv4; an IPv6 peer needs one of its own family.
        os::socket_handle v6 = os::socket_create_tcp(address.family);
        if (v6 == os::invalid_socket)
            return ftp_connect_failed;
        os::socket_close(socket_);
        socket_ = v6;
    }
    os::connect_start started = os::socket_connect(socket_, address, port);
    if (started == os::connect_start::failed)
        return ftp_connect_failed;
    if (started == os::connect_start::done)
        return ftp_ok;
    // The connection is complete when the socket turns writable; SO_ERROR then tells whether
    // it was refused. A second connect call is not needed.
    std::uint64_t start = os::now_ms();
    for (;;) {
        if (worker.stop_wanted())
            return ftp_aborted;
        int ready = wait_slice(false, true);
        if (ready < 0)
            return ftp_connect_failed;
        if (ready > 0)
            return os::socket_pending_error(socket_) == 0 ? ftp_ok : ftp_connect_failed;
        if (silent_since(start))
            return ftp_connect_failed;
    }
}

ftp_result NetSocket::send_all(thread_net& worker, const void* bytes, std::size_t length)
{
    const char* p = static_cast<const char*>(bytes);
    if (dead_)
        return ftp_send_error;
    std::uint64_t last_progress = os::now_ms();
    // With TLS the last records may still wait in tls_out_ when every byte has been taken.
    while (length > 0 || !tls_out_.empty()) {
        if (worker.stop_wanted())
            return ftp_aborted;
        long n = 0;
        if (length > 0)
            n = io_send(p, length);
        else if (!flush_records())
            n = os::io_failed;
        if (n == os::io_failed)
            return ftp_send_error;
        if (n > 0) {
            p += n;
            length -= static_cast<std::size_t>(n);
            last_progress = os::now_ms();
            continue;
        }
        if (length == 0 && tls_out_.empty())
            break;
        if (silent_since(last_progress))
            return ftp_send_error;
        if (wait_slice(false, true) < 0)
            return ftp_send_error;
    }
    return ftp_ok;
}

ftp_result NetSocket::receive_exact(thread_net& worker, void* buffer, std::size_t length,
                                    std::size_t& received)
{
    char* p = static_cast<char*>(buffer);
    received = 0;
    if (dead_)
        return ftp_receive_error;
    std::uint64_t last_progress = os::now_ms();
    while (received < length) {
        if (worker.stop_wanted())
            return ftp_aborted;
        long n = io_receive(p + received, length - received);
        if (n == 0)
            return ftp_closed;
        if (n == os::io_failed)
            return ftp_receive_error;
        if (n > 0) {
            received += static_cast<std::size_t>(n);
            last_progress = os::now_ms();
            continue;
        }
        if (silent_since(last_progress))
            return ftp_receive_error;
        if (wait_slice(true, false) < 0)
            return ftp_receive_error;
    }
    return ftp_ok;
}

ftp_result NetSocket::receive_some(thread_net& worker, void* buffer, std::size_t length,
                                   std::size_t& received)
{
    received = 0;
    if (dead_)
        return ftp_receive_error;
    std::uint64_t start = os::now_ms();
    for (;;) {
        if (worker.stop_wanted())
            return ftp_aborted;
        long n = io_receive(buffer, length);
        if (n == 0)
            return ftp_closed;
        if (n == os::io_failed)
            return ftp_receive_error;
        if (n > 0) {
            received = static_cast<std::size_t>(n);
            return ftp_ok;
        }
        if (silent_since(start))
            return ftp_receive_error;
        if (wait_slice(true, false) < 0)
            return ftp_receive_error;
    }
}

ftp_result NetSocket::read_line(thread_net& worker, char* buffer, std::size_t capacity)
{
    if (capacity < 2)
        return ftp_line_too_small;
    std::size_t copied = 0;
    std::uint64_t last_progress = os::now_ms();
    while (copied < capacity - 1) {
        if (buffered_ > 0) {
            bool ended = false;
            std::size_t n = copy_line_part(read_position_, static_cast<std::size_t>(buffered_),
                                           buffer + copied, capacity - 1 - copied, ended);
            read_position_ += n;
            buffered_ -= static_cast<std::int32_t>(n);
            copied += n;
            if (ended)
                break;
            continue;
        }
        read_position_ = receive_buffer_;
        if (dead_)
            return ftp_receive_error;
        for (;;) {
            if (worker.stop_wanted())
                return ftp_aborted;
            long n = io_receive(receive_buffer_, sizeof receive_buffer_);
            if (n == 0)
                return ftp_closed;
            if (n == os::io_failed)
                return ftp_receive_error;
            if (n > 0) {
                buffered_ = static_cast<std::int32_t>(n);
                break;
            }
            if (silent_since(last_progress))
                return ftp_receive_error;
            if (wait_slice(true, false) < 0)
                return ftp_receive_error;
        }
        last_progress = os::now_ms();
    }
    buffer[copied] = '\0';
    return ftp_ok;
}

ftp_result NetSocket::compose(std::string_view text, std::string_view argument)
{
    for (std::string_view part : {text, argument})
        for (char c : part)
            if (c == '\r' || c == '\n' || c == '\0')
                return ftp_file_error;
    if (text.size() + argument.size() + 2 > payload_capacity - 1)
        return ftp_file_error;
    char* p = payload();
    std::memcpy(p, text.data(), text.size());
    p += text.size();
    if (!argument.empty())
        std::memcpy(p, argument.data(), argument.size());
    p += argument.size();
    std::memcpy(p, "\r\n", 3);
    return ftp_ok;
}

static bool begins_with_pass(const char* p)
{
    static const char pass[] = "PASS ";
    for (int i = 0; i < 5; ++i) {
        if (ascii_upper(p[i]) != pass[i])
            return false;
    }
    return true;
}

void NetSocket::log_payload(thread_net& worker, char marker)
{
    if (!log_enabled_)
        return;
    log_line_[0] = marker;
    worker.show_log_line();
}

ftp_result NetSocket::send_command(thread_net& worker, bool log_it)
{
    char* p = payload();
    ftp_result code = send_all(worker, p, std::strlen(p));
    std::size_t verb = 0;
    while (verb + 1 < sizeof sent_verb_ && p[verb] != ' ' && p[verb] != '\r' && p[verb] != '\0') {
        sent_verb_[verb] = p[verb];
        ++verb;
    }
    sent_verb_[verb] = '\0';
    if (code != ftp_ok || !log_it)
        return code;
    if (begins_with_pass(p)) {
        // The password never reaches the log: everything between "PASS " and the line end.
        std::size_t length = std::strlen(p);
        for (std::size_t i = 5; i + 2 < length; ++i)
            p[i] = '*';
    }
    log_payload(worker, 'C');
    return ftp_ok;
}

ftp_result NetSocket::read_reply(thread_net& worker)
{
    return read_reply(worker, nullptr, nullptr);
}

ftp_result NetSocket::read_reply(thread_net& worker, void (*each_line)(const char*, std::size_t, void*),
                                 void* context)
{
    reply_tracker tracker;
    char final_line[payload_capacity];
    final_line[0] = '\0';
    bool rest_of_final = false;
    for (;;) {
        ftp_result code = read_line(worker, payload(), payload_capacity);
        if (code != ftp_ok)
            return code;
        log_payload(worker, 'S');
        std::size_t length = std::strlen(payload());
        reply_step step = tracker.take(payload(), length);
        if (step == reply_step::too_long)
            return ftp_receive_error;
        if (each_line && tracker.last_began_line())
            each_line(payload(), length, context);
        if (tracker.last_began_final())
            std::memcpy(final_line, payload(), length + 1);
        else if (final_line[0] != '\0')
            rest_of_final = true;
        if (step == reply_step::complete)
            break;
    }
    // The caller reads the code and text from the start of the final line.
    if (rest_of_final)
        std::memcpy(payload(), final_line, std::strlen(final_line) + 1);
    return tracker.result();
}

ftp_result NetSocket::read_mlst_reply(thread_net& worker)
{
    reply_tracker tracker;
    char fact_line[log_line_size];
    bool have_fact = false;
    for (;;) {
        ftp_result code = read_line(worker, payload(), payload_capacity);
        if (code != ftp_ok)
            return code;
        log_payload(worker, 'S');
        reply_step step = tracker.take(payload(), std::strlen(payload()));
        if (step == reply_step::too_long)
            return ftp_receive_error;
        if (!have_fact && tracker.lines() == 2 && tracker.last_began_line() && !tracker.last_began_final()) {
            std::memcpy(fact_line, log_line_, sizeof fact_line);
            have_fact = true;
        }
        if (step == reply_step::complete)
            break;
    }
    ftp_result result = tracker.result();
    if (result == ftp_ok && have_fact)
        std::memcpy(log_line_, fact_line, sizeof fact_line);
    return result;
}

void NetSocket::shutdown_and_drain(thread_net& worker)
{
    // A TLS peer is told the stream ends (close_notify) before the half-close: vsftpd reports a
    // data connection closed without it as a failed transfer.
    if (tls_ && !dead_ && !worker.stop_wanted()) {
        std::string alert;
        if (tls_->close_notify(alert) && !alert.empty())
            send_raw(worker, alert);
    }
    os::socket_shutdown_send(socket_);
    char scratch[1024];
    std::uint64_t start = os::now_ms();
    std::size_t drained = 0;
    // The bound is looked at on every turn: a peer that keeps sending never lets a receive block.
    while (!dead_ && !worker.stop_wanted() && drained < drain_limit_bytes &&
           os::now_ms() - start < static_cast<std::uint64_t>(timeout_ms_)) {
        long n = os::socket_receive(socket_, scratch, sizeof scratch);
        if (n == 0 || n == os::io_failed)
            break;
        if (n > 0) {
            drained += static_cast<std::size_t>(n);
            continue;
        }
        if (wait_slice(true, false) < 0)
            break;
    }
    os::socket_shutdown_both(socket_);
}

bool NetSocket::peer_address(os::net_address& address) const
{
    return has_socket() && os::socket_peer_address(socket_, address);
}

void NetSocket::log_note(thread_net& worker, std::string_view text)
{
    if (!log_enabled_)
        return;
    std::size_t n = text.size() < payload_capacity - 3 ? text.size() : payload_capacity - 3;
    std::memcpy(payload(), text.data(), n);
    std::memcpy(payload() + n, "\r\n", 3);
    log_payload(worker, '?');
}

long NetSocket::io_send(const void* data, std::size_t length)
{
    if (!tls_)
        return os::socket_send(socket_, data, length);
    if (!flush_records())
        return os::io_failed;
    if (!tls_out_.empty())
        return os::io_would_block;
    std::size_t n = length < tls_->record_limit() ? length : tls_->record_limit();
    if (!tls_->encrypt(data, n, tls_out_) || !flush_records())
        return os::io_failed;
    return static_cast<long>(n);
}

bool NetSocket::flush_records()
{
    while (!tls_out_.empty()) {
        long n = os::socket_send(socket_, tls_out_.data(), tls_out_.size());
        if (n == os::io_failed)
            return false;
        if (n <= 0)
            return true;
        tls_out_.erase(0, static_cast<std::size_t>(n));
    }
    return true;
}

long NetSocket::io_receive(void* buffer, std::size_t length)
{
    if (!tls_)
        return os::socket_receive(socket_, buffer, length);
    for (;;) {
        if (tls_plain_at_ < tls_plain_.size()) {
            std::size_t n = tls_plain_.size() - tls_plain_at_;
            n = n < length ? n : length;
            std::memcpy(buffer, tls_plain_.data() + tls_plain_at_, n);
            tls_plain_at_ += n;
            if (tls_plain_at_ == tls_plain_.size()) {
                tls_plain_.clear();
                tls_plain_at_ = 0;
            }
            return static_cast<long>(n);
        }
        if (tls_closed_)
            return 0;
        if (!tls_in_.empty()) {
            os::tls_step step = tls_->decrypt(tls_in_, tls_plain_);
            if (step == os::tls_step::failed)
                return os::io_failed;
            if (step == os::tls_step::closed)
                tls_closed_ = true;
            if (step != os::tls_step::more)
                continue;
        }
        char raw[16384];
        long n = os::socket_receive(socket_, raw, sizeof raw);
        if (n == 0 && !tls_in_.empty())
            return os::io_failed; // cut inside a record
        if (n <= 0)
            return n;
        tls_in_.append(raw, static_cast<std::size_t>(n));
    }
}

ftp_result NetSocket::send_raw(thread_net& worker, const std::string& bytes)
{
    std::size_t sent = 0;
    std::uint64_t last_progress = os::now_ms();
    while (sent < bytes.size()) {
        if (worker.stop_wanted())
            return ftp_aborted;
        long n = os::socket_send(socket_, bytes.data() + sent, bytes.size() - sent);
        if (n == os::io_failed)
            return ftp_send_error;
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            last_progress = os::now_ms();
            continue;
        }
        if (silent_since(last_progress) || wait_slice(false, true) < 0)
            return ftp_send_error;
    }
    return ftp_ok;
}

ftp_result NetSocket::start_tls(thread_net& worker, const std::shared_ptr<os::tls_credentials>& credentials,
                                const std::string& target)
{
    std::unique_ptr<os::tls_session> session = credentials ? os::tls_start(credentials, target) : nullptr;
    if (!session)
        return ftp_tls_failed;
    // The server speaks only after the client's hello: nothing may wait in the line buffer.
    if (buffered_ > 0)
        return ftp_tls_failed;
    std::string in, out;
    std::uint64_t last_progress = os::now_ms();
    for (;;) {
        os::tls_step step = session->handshake(in, out);
        if (!out.empty()) {
            ftp_result code = send_raw(worker, out);
            if (code != ftp_ok)
                return code;
            out.clear();
        }
        if (step == os::tls_step::done)
            break;
        if (step != os::tls_step::more)
            return ftp_tls_failed;
        for (;;) {
            if (worker.stop_wanted())
                return ftp_aborted;
            char raw[16384];
            long n = os::socket_receive(socket_, raw, sizeof raw);
            if (n == 0)
                return ftp_tls_failed; // the server dropped the handshake
            if (n == os::io_failed)
                return ftp_receive_error;
            if (n > 0) {
                in.append(raw, static_cast<std::size_t>(n));
                last_progress = os::now_ms();
                break;
            }
            if (silent_since(last_progress))
                return ftp_receive_error;
            if (wait_slice(true, false) < 0)
                return ftp_receive_error;
        }
    }
    tls_ = std::move(session);
    tls_in_ = std::move(in); // records that came right after the handshake
    return ftp_ok;
}
