// The scripted FTP server: blocking sockets on its own thread.
#include "support/ftp_script_server.h"

#include "platform/socket.h"

#include <algorithm>
#include <chrono>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
using raw_socket = SOCKET;
using address_length = int;
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
using raw_socket = int;
using address_length = socklen_t;
#endif

namespace {

constexpr int bound_ms = 20000;

// A listener on 127.0.0.1 at a free port. Listening and accepting are the server's own; the
// rest goes through the program's socket seam.
std::intptr_t make_listener(int& port)
{
    raw_socket s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(0x7F000001);
    at.sin_port = 0;
    address_length length = sizeof at;
    if (::bind(s, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 || ::listen(s, 4) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&at), &length) != 0) {
        os::socket_close(static_cast<std::intptr_t>(s));
        return -1;
    }
    port = ntohs(at.sin_port);
    return static_cast<std::intptr_t>(s);
}

// Accepts one connection within the bound; -1 when none came. The connection blocks, each
// send and receive for at most the bound.
std::intptr_t accept_within(std::intptr_t listener)
{
    if (os::socket_wait(listener, true, false, bound_ms) != 1)
        return -1;
    const std::intptr_t s =
        static_cast<std::intptr_t>(::accept(static_cast<raw_socket>(listener), nullptr, nullptr));
    if (s == -1)
        return -1;
#ifdef _WIN32
    u_long off = 0; // an accepted socket inherits the listener's blocking mode: make sure it blocks
    ioctlsocket(static_cast<SOCKET>(s), FIONBIO, &off);
    DWORD bound = bound_ms;
#else
    timeval bound{bound_ms / 1000, 0};
#endif
    for (int option : {SO_RCVTIMEO, SO_SNDTIMEO})
        setsockopt(static_cast<raw_socket>(s), SOL_SOCKET, option, reinterpret_cast<const char*>(&bound),
                   sizeof bound);
    return s;
}

bool send_raw(std::intptr_t s, const std::string& bytes)
{
    for (std::size_t done = 0; done < bytes.size();) {
        long n = os::socket_send(s, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void close_socket(std::intptr_t& s)
{
    if (s >= 0)
        os::socket_close(s);
    s = -1;
}

} // namespace

ftp_script_server::ftp_script_server(std::function<void(script_session&)> script, int connections)
{
    os::socket_library_start();
    listener_ = make_listener(port_);
    runner_ = std::thread([this, connections, script = std::move(script)] {
        for (int i = 0; i < connections; ++i) {
            std::intptr_t control = listener_ < 0 ? -1 : accept_within(listener_);
            if (control < 0) {
                problems_.push_back("no client connected");
                break;
            }
            script_session session(*this, control);
            script(session);
        }
    });
}

ftp_script_server::~ftp_script_server()
{
    finish();
    close_socket(listener_);
    os::socket_library_stop();
}

void ftp_script_server::finish()
{
    if (runner_.joinable())
        runner_.join();
}

std::vector<std::string> ftp_script_server::commands()
{
    finish();
    return commands_;
}

std::vector<std::string> ftp_script_server::problems()
{
    finish();
    return problems_;
}

script_session::~script_session()
{
    close_socket(data_);
    close_socket(passive_);
    close_socket(control_);
}

bool script_session::send(const std::string& bytes)
{
    return control_ >= 0 && send_raw(control_, bytes);
}

std::string script_session::read_command()
{
    for (;;) {
        std::size_t end = pending_.find("\r\n");
        if (end != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 2);
            server_.commands_.push_back(line);
            return line;
        }
        char buffer[4096];
        long n = control_ >= 0 ? os::socket_receive(control_, buffer, sizeof buffer) : 0;
        if (n <= 0) { // closed, failed or silent for the bound
            if (!pending_.empty())
                server_.commands_.push_back(pending_ + "<unterminated>");
            pending_.clear();
            return "";
        }
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
}

void script_session::expect(const std::string& expected, const std::string& reply)
{
    std::string line = read_command();
    if (line != expected)
        server_.problems_.push_back("expected \"" + expected + "\", got \"" + line + "\"");
    send(reply);
}

void script_session::answer_until_closed(const std::string& reply)
{
    while (!read_command().empty())
        send(reply);
}

void script_session::close()
{
    close_socket(control_);
}

void script_session::wait_for_close()
{
    char buffer[256];
    while (control_ >= 0 && os::socket_receive(control_, buffer, sizeof buffer) > 0) {
    }
}

void script_session::pause_ms(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void script_session::serve_login()
{
    send("220 ready\r\n");
    expect("USER kv", "331 password please\r\n");
    expect("PASS pw", "230 welcome\r\n");
    expect("TYPE I", "200 binary\r\n");
}

void script_session::serve_download(const std::string& command, const std::string& bytes,
                                    const std::string& opening, const std::string& host)
{
    expect("PASV", listen_passive(host));
    expect(command, opening);
    if (accept_data())
        data_send(bytes);
    data_close();
    send("226 done\r\n");
}

int script_session::open_passive()
{
    close_socket(passive_);
    int port = 0;
    passive_ = make_listener(port);
    return port;
}

std::string script_session::listen_passive(const std::string& announced_host)
{
    const int port = open_passive();
    std::string host = announced_host;
    std::replace(host.begin(), host.end(), '.', ',');
    return "227 Entering Passive Mode (" + host + "," + std::to_string(port / 256) + "," +
           std::to_string(port % 256) + ").\r\n";
}

std::string script_session::listen_extended()
{
    return "229 Entering Extended Passive Mode (|||" + std::to_string(open_passive()) + "|)\r\n";
}

bool script_session::accept_data()
{
    close_socket(data_);
    data_ = passive_ >= 0 ? accept_within(passive_) : -1;
    if (data_ < 0)
        server_.problems_.push_back("no data connection");
    return data_ >= 0;
}

bool script_session::data_send(const std::string& bytes)
{
    return data_ >= 0 && send_raw(data_, bytes);
}

std::string script_session::data_receive_all()
{
    std::string all;
    char buffer[8192];
    long n = 0;
    while (data_ >= 0 && (n = os::socket_receive(data_, buffer, sizeof buffer)) > 0)
        all.append(buffer, static_cast<std::size_t>(n));
    return all;
}

void script_session::data_close()
{
    close_socket(data_);
}
