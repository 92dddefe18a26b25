// The data-channel threads: receive into or send from a local file over one data connection.
#include "ftp/ftp_data.h"

#include "platform/os.h"

#include <cstdio>
#include <memory>

std::atomic<bool> progress_dots{false};

int thread_ftp_data_recv::run()
{
    NetSocket data(log_enabled);
    if (!data.has_socket())
        return ftp_no_socket;
    data.set_timeout_ms(timeout_ms);
    int code = data.connect_to(*this, host.c_str(), port);
    if (code != ftp_ok)
        return code;
    std::FILE* file = std::fopen(local_path.c_str(), "wb");
    if (!file) {
        data.shutdown_and_drain(*this);
        return ftp_file_error;
    }
    auto block = std::make_unique<char[]>(data_block_size);
    for (;;) {
        std::size_t received = 0;
        code = data.receive_exact(*this, block.get(), data_block_size, received);
        if (code == ftp_ok) {
            if (std::fwrite(block.get(), 1, data_block_size, file) != data_block_size) {
                code = ftp_file_error;
                break;
            }
            if (log_enabled && progress_dots.load())
                show_log_line();
            continue;
        }
        if (code == ftp_closed) {
            // The server closes the data connection at the end of the file.
            code = std::fwrite(block.get(), 1, received, file) == received ? ftp_ok : ftp_file_error;
        }
        break;
    }
    if (std::fclose(file) != 0 && code == ftp_ok)
        code = ftp_file_error;
    if (code != ftp_ok)
        os::remove_file(local_path);
    data.shutdown_and_drain(*this);
    return code;
}

int thread_ftp_data_send::run()
{
    NetSocket data(log_enabled);
    if (!data.has_socket())
        return ftp_no_socket;
    data.set_timeout_ms(timeout_ms);
    int code = data.connect_to(*this, host.c_str(), port);
    if (code != ftp_ok)
        return code;
    std::FILE* file = std::fopen(local_path.c_str(), "rb");
    if (!file) {
        data.shutdown_and_drain(*this);
        return ftp_file_error;
    }
    auto block = std::make_unique<char[]>(data_block_size);
    for (;;) {
        std::size_t n = std::fread(block.get(), 1, data_block_size, file);
        if (n == 0) {
            if (std::ferror(file))
                code = ftp_file_error;
            break;
        }
        code = data.send_all(*this, block.get(), n);
        if (code != ftp_ok)
            break;
        if (log_enabled && progress_dots.load())
            show_log_line();
    }
    std::fclose(file);
    // Closing the data connection tells the server the file is complete.
    data.shutdown_and_drain(*this);
    return code;
}
