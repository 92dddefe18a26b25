// NetSocket: the FTP client's one transport object (a non-blocking TCP connection with a line
// reader and a log line) and the workers that use it.
#pragma once

#include "ftp/ftp_result.h"
#include "platform/socket.h"
#include "platform/tls.h"
#include "toolkit/thread.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

// How long a connection may stay silent (no progress in either direction, or no connect) before
// the operation gives up.
constexpr int net_timeout_ms = 45000;
// The longest a socket wait runs between two looks at the worker's stop request.
constexpr int net_poll_ms = 10;
// The most shutdown_and_drain reads before it lets go: a peer that streams without end must not
// hold the operation.
constexpr std::size_t drain_limit_bytes = 1u << 20;

// A worker that talks over sockets: the FTP operation threads and the data-channel threads.
// Socket loops poll its stop request and show log lines through its owner.
class thread_net : public thread {
public:
    bool stop_wanted() const { return is_stop_requested(); }
    // Hands the current log line to the owner and waits until it has been shown.
    void show_log_line() { notify_owner(); }

protected:
    int thrown_result() const override { return ftp_thread_failed; }
};

// Size of the command and log line buffer, and the most a command or reply piece may hold.
constexpr std::size_t log_line_size = 256;
constexpr std::size_t payload_capacity = 253; // 252 characters and the terminator

// The server's "security" key: plain FTP, AUTH TLS after the greeting, or TLS from the first byte.
enum class tls_mode { none, explicit_tls, implicit_tls };

// The TLS of one operation, shared by its control and data connections.
struct tls_plan {
    tls_mode mode = tls_mode::none;
    // One handle per operation: data connections with it and the same target resume the control
    // connection's session (servers refuse a data connection that does not).
    std::shared_ptr<os::tls_credentials> credentials;
    std::string target; // the host as the user wrote it: the certificate's name is checked against it
    // Asked (on the worker) about a certificate the system does not accept: true goes on.
    std::function<bool(const os::tls_certificate&)> accept;
    // The control connection's certificate; a data connection must show the same one.
    std::array<std::uint8_t, 32> fingerprint{};
};

// EPSV knowledge of a server (the capability byte flag_epsv).
constexpr std::uint8_t epsv_refused = 0;
constexpr std::uint8_t epsv_works = 1;
constexpr std::uint8_t epsv_unknown = 2; // try it once

class NetSocket {
public:
    // Creates the socket (64 KiB buffers, non-blocking); has_socket tells whether that worked.
    explicit NetSocket(bool log_enabled);
    ~NetSocket();
    NetSocket(const NetSocket&) = delete;
    NetSocket& operator=(const NetSocket&) = delete;

    bool has_socket() const { return socket_ != os::invalid_socket; }
    bool log_enabled() const { return log_enabled_; }

    // The silence bound of this connection (45 s unless set otherwise).
    void set_timeout_ms(int ms) { timeout_ms_ = ms; }
    int timeout_ms() const { return timeout_ms_; }
    // True once the peer has been silent for the whole bound (or is taken as dead with its
    // server): every later send or receive fails at once, and shutdown_and_drain does not wait.
    // A dead server then costs one silence bound, not one per command still to come.
    bool is_dead() const { return dead_; }
    void mark_dead() { dead_ = true; }

    // Connects to a numeric IPv4 or IPv6 address or a host name. Completion is awaited (writable, then
    // SO_ERROR) for at most the silence bound, polling the stop request.
    ftp_result connect_to(thread_net& worker, const char* host, int port);
    ftp_result send_all(thread_net& worker, const void* bytes, std::size_t length);
    ftp_result receive_exact(thread_net& worker, void* buffer, std::size_t length, std::size_t& received);
    // Whatever has arrived, at most `length` bytes but at least one: 0 with received > 0, or
    // ftp_closed when the peer closed (received 0).
    ftp_result receive_some(thread_net& worker, void* buffer, std::size_t length, std::size_t& received);
    ftp_result read_line(thread_net& worker, char* buffer, std::size_t capacity);

    // Composes "text" + argument + CR LF into the payload. 10 when it would not fit in 252
    // characters or the argument holds CR, LF or NUL: such a command is never sent.
    ftp_result compose(std::string_view text, std::string_view argument = {});
    // Sends the payload; with log_it, masks a password and shows the line as sent.
    ftp_result send_command(thread_net& worker, bool log_it);
    // The first word of the last command sent ("PASV", "MLSD"): what the replies now answer.
    std::string_view sent_verb() const { return sent_verb_; }
    ftp_result read_reply(thread_net& worker);
    // As read_reply, and hands every line that begins a reply line to `each_line` (FEAT).
    ftp_result read_reply(thread_net& worker, void (*each_line)(const char*, std::size_t, void*),
                          void* context);
    // The MLST reply: the payload keeps its first fact line (the second line of the reply).
    ftp_result read_mlst_reply(thread_net& worker);

    // Half-closes and reads until the peer closes, for at most the silence bound, at most
    // drain_limit_bytes, and until a stop; then shuts both directions. The socket stays open
    // until destruction.
    void shutdown_and_drain(thread_net& worker);

    // The connection's peer address; false when not connected.
    bool peer_address(os::net_address& address) const;

    // Runs the TLS handshake on the connected socket; every later send and receive goes through
    // the session. 15 when it fails.
    ftp_result start_tls(thread_net& worker, const std::shared_ptr<os::tls_credentials>& credentials,
                         const std::string& target);
    bool is_tls() const { return tls_ != nullptr; }
    bool tls_certificate(os::tls_certificate& info) { return tls_ && tls_->certificate(info); }
    std::string tls_description() { return tls_ ? tls_->description() : std::string(); }
    // Shows "?: text" as a log line (a note of the client's own, not a command or reply).
    void log_note(thread_net& worker, std::string_view text);

    // What the operation keeps beside its control connection: the TLS plan and the pane's EPSV
    // byte (both may be none: plain FTP, EPSV tried once).
    void set_tls_plan(tls_plan* plan) { plan_ = plan; }
    tls_plan* plan() const { return plan_; }
    void set_epsv_state(std::uint8_t* state) { epsv_ = state; }
    std::uint8_t* epsv_state() const { return epsv_; }

    // The log line from its marker on ("C: USER x\r\n"), as the log window shows it.
    const char* log_line() const { return log_line_; }
    char* log_buffer() { return log_line_; }
    // The command / reply text area of the log line.
    char* payload() { return log_line_ + 3; }
    const char* payload() const { return log_line_ + 3; }
    void set_marker(char marker) { log_line_[0] = marker; }

private:
    // Waits until the socket is ready or net_poll_ms passed: 1 ready, 0 not yet, -1 failed.
    int wait_slice(bool readable, bool writable);
    // True (and the connection dead) when `since` lies the silence bound back.
    bool silent_since(std::uint64_t since);
    void log_payload(thread_net& worker, char marker);
    // Send and receive through TLS when it runs: as os::socket_send / socket_receive. A receive
    // hands out at most `length` decrypted bytes and keeps the rest for the next one.
    long io_send(const void* data, std::size_t length);
    long io_receive(void* buffer, std::size_t length);
    // Sends pending records; false on a failure (bytes may remain when the socket is full).
    bool flush_records();
    // Sends bytes past TLS (handshake tokens).
    ftp_result send_raw(thread_net& worker, const std::string& bytes);

    char receive_buffer_[1004];
    char* read_position_ = receive_buffer_;
    std::int32_t buffered_ = 0;
    os::socket_handle socket_ = os::invalid_socket;
    bool log_enabled_ = false;
    char log_line_[log_line_size] = {};
    int timeout_ms_ = net_timeout_ms;
    bool dead_ = false;
    char sent_verb_[8] = {};
    std::unique_ptr<os::tls_session> tls_;
    std::string tls_in_;    // received records not yet decrypted
    std::string tls_plain_; // decrypted bytes not yet handed out, from tls_plain_at_ on
    std::size_t tls_plain_at_ = 0;
    std::string tls_out_;     // records not yet sent
    bool tls_closed_ = false; // the peer's close_notify arrived
    tls_plan* plan_ = nullptr;
    std::uint8_t* epsv_ = nullptr;
};
