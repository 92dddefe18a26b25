// The data-channel threads of a passive transfer: one connection, 1024-byte blocks, a progress
// notification per block while the control thread prints dots.
#pragma once

#include "ftp/net_socket.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// Set while the control thread prints progress dots; the data threads notify per block only
// then.
extern std::atomic<bool> progress_dots;

constexpr std::size_t data_block_size = 1024;

// What both data threads share: where to connect, and the control connection's TLS plan (none:
// plain). With a plan the data connection resumes the control connection's session and must show
// the same certificate.
class thread_ftp_data : public thread_net {
public:
    int port = 0;
    std::string host;       // numeric address
    std::string local_path; // the file written ("wb"); removed again when the receive fails
    // A download that may be continued: the bytes go after those already in the file ("ab"),
    // and a receive that fails keeps what arrived, so that a later try continues from there.
    bool append = false;
    bool log_enabled = false;
    int timeout_ms = net_timeout_ms; // the control connection's silence bound
    const tls_plan* plan = nullptr;
    bool went_silent = false; // the data connection was silent for the whole bound

protected:
    // Connects (and starts TLS when there is a plan).
    ftp_result open_channel(NetSocket& data);
};

// Takes a receive's bytes as they arrive, beside the file (a listing is read while the server
// still sends it). Runs on the data thread; the owner looks at it once the thread has finished.
class receive_sink {
public:
    virtual ~receive_sink() = default;
    virtual void take(std::string_view bytes) = 0;
};

class thread_ftp_data_recv : public thread_ftp_data {
public:
    std::string local_path; // the file written ("wb"); removed again when the receive fails
    receive_sink* sink = nullptr;
    // More bytes than this (0: no bound) end the receive with 9: a listing that never ends must
    // not fill the disk or the memory.
    std::uint64_t byte_limit = 0;
    // Read by the owner once the thread has finished.
    std::uint64_t received_bytes = 0;

protected:
    int run() override;
};

class thread_ftp_data_send : public thread_ftp_data {
public:
    // The local file, opened ("rb") and closed by the owner: a file that cannot be read is
    // found before anything is sent, as an empty data connection would store an empty file.
    std::FILE* file = nullptr;

protected:
    int run() override;
};
