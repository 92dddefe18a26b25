// A scripted FTP server for protocol tests: one control connection on 127.0.0.1 at a random
// port, a script that expects commands and sends canned replies, passive data connections, and
// the exact record of every command line the client sent.
#pragma once

#include <functional>
#include <string>
#include <thread>
#include <vector>

class script_session;

class ftp_script_server {
public:
    // Starts listening and runs the script on its own thread once a client connects; with more
    // connections, once for each of them in turn (a client that logs in again).
    explicit ftp_script_server(std::function<void(script_session&)> script, int connections = 1);
    ~ftp_script_server();
    ftp_script_server(const ftp_script_server&) = delete;
    ftp_script_server& operator=(const ftp_script_server&) = delete;

    int port() const { return port_; }
    // Waits for the script to end (it ends when the client closes if it has not ended before)
    // and returns the command lines received, CR LF removed.
    std::vector<std::string> commands();
    // Differences between the script's expectations and what arrived.
    std::vector<std::string> problems();

private:
    friend class script_session;
    void finish();

    std::intptr_t listener_ = -1;
    int port_ = 0;
    std::thread runner_;
    // Written by the script's thread only, read once it has been joined.
    std::vector<std::string> commands_;
    std::vector<std::string> problems_;
};

// What a script does with its client. Every call is blocking, with a 20 s bound so that a test
// never hangs.
class script_session {
public:
    // Sends the bytes as they are (one piece: several replies, or part of one); false when the
    // client is gone.
    bool send(const std::string& bytes);
    // Reads one command line; "" once the client has closed.
    std::string read_command();
    // Reads a command, records a problem unless it is `expected`, and sends the reply.
    void expect(const std::string& expected, const std::string& reply);
    // Reads commands until the client closes the connection, answering each with `reply`.
    void answer_until_closed(const std::string& reply);
    void close();
    // Waits until the client closes the control connection (a silent server).
    void wait_for_close();
    void pause_ms(int ms);
    // The greeting and the log-in as kv / pw in TYPE I that every client goes through first.
    void serve_login();
    // One passive download: PASV (announcing `host`), `command` answered with `opening`, the bytes
    // on the data connection, then 226.
    void serve_download(const std::string& command, const std::string& bytes,
                        const std::string& opening = "150 ok\r\n", const std::string& host = "127.0.0.1");

    // A passive listener on 127.0.0.1 and the 227 reply text announcing it with the given dotted
    // host instead (say "127.0.0.2" for a foreign host).
    std::string listen_passive(const std::string& announced_host = "127.0.0.1");
    // The same listener announced as EPSV does: "229 Entering Extended Passive Mode (|||p|)\r\n".
    std::string listen_extended();
    // Accepts the data connection (false when none came within the bound).
    bool accept_data();
    // False when the client no longer takes the bytes.
    bool data_send(const std::string& bytes);
    // Everything the client sends until it closes the data connection.
    std::string data_receive_all();
    void data_close();

private:
    friend class ftp_script_server;
    script_session(ftp_script_server& server, std::intptr_t control) : server_(server), control_(control) {}
    ~script_session();
    int open_passive(); // a new passive listener on 127.0.0.1; its port

    ftp_script_server& server_;
    std::intptr_t control_ = -1;
    std::intptr_t passive_ = -1;
    std::intptr_t data_ = -1;
    std::string pending_; // bytes read past the last command line
};
