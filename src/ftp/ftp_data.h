// The data-channel threads of a passive transfer: one connection, 1024-byte blocks, a progress
// notification per block while the control thread prints dots.
#pragma once

#include "ftp/net_socket.h"

#include <atomic>
#include <string>

// Set while the control thread prints progress dots; the data threads notify per block only
// then.
extern std::atomic<bool> progress_dots;

constexpr std::size_t data_block_size = 1024;

class thread_ftp_data_recv : public thread_net {
public:
    int port = 0;
    std::string host;       // dotted address
    std::string local_path; // the file written ("wb"); removed again when the receive fails
    bool log_enabled = false;
    int timeout_ms = net_timeout_ms; // the control connection's silence bound

protected:
    int run() override;
};

class thread_ftp_data_send : public thread_net {
public:
    int port = 0;
    std::string host;
    std::string local_path; // the file read ("rb")
    bool log_enabled = false;
    int timeout_ms = net_timeout_ms;

protected:
    int run() override;
};
