// The data-channel threads: receive into or send from a local file over one data connection.
#include "ftp/ftp_data.h"

#include "platform/os.h"

#include <cstdio>
#include <memory>

std::atomic<bool> progress_dots{false};

namespace {

// Data moves in chunks: one socket call and one file write each. Every call costs a round trip
// to the Wine server, so 64 KiB chunks spent more time in calls than in copying; the socket
// buffers, grown by the system, hold several large chunks. While dots are shown the log window
// paces the transfer (each 1024-byte block waits for its dot), and a chunk's dots are shown
// before the next socket call notices a stop or a closed connection: there the chunks stay
// small.
constexpr std::size_t transfer_chunk_size = 1u << 20;
constexpr std::size_t logged_chunk_size = 64u << 10;

std::size_t chunk_size_for(bool log_enabled)
{
    return log_enabled ? logged_chunk_size : transfer_chunk_size;
}

// One notification per block from block `from` up to (not including) block `to`.
void show_blocks(thread_net& worker, bool log_enabled, std::uint64_t from, std::uint64_t to)
{
    if (!log_enabled)
        return;
    for (std::uint64_t k = from; k < to && progress_dots.load() && !worker.stop_wanted(); ++k)
        worker.show_log_line();
}

} // namespace

ftp_result thread_ftp_data::open_channel(NetSocket& data)
{
    if (!data.has_socket())
        return ftp_no_socket;
    data.set_timeout_ms(timeout_ms);
    ftp_result code = data.connect_to(*this, host.c_str(), port);
    if (code != ftp_ok || !plan)
        return code;
    code = data.start_tls(*this, plan->credentials, plan->target);
    if (code != ftp_ok)
        return code;
    // The control connection's certificate was checked (or accepted by the user); the data
    // connection goes to the same server only when it shows that one, compared in full.
    os::tls_certificate certificate;
    if (!data.tls_certificate(certificate) || certificate.sha256 != plan->fingerprint)
        return ftp_certificate_refused;
    return ftp_ok;
}

int thread_ftp_data_recv::run()
{
    NetSocket data(log_enabled);
    ftp_result code = open_channel(data);
    went_silent = data.is_dead();
    if (code != ftp_ok)
        return code;
    std::FILE* file = std::fopen(local_path.c_str(), append ? "ab" : "wb");
    if (!file) {
        data.shutdown_and_drain(*this);
        return ftp_file_error;
    }
    const std::size_t chunk_size = chunk_size_for(log_enabled);
    auto chunk = std::make_unique<char[]>(chunk_size);
    std::uint64_t total = 0;
    for (;;) {
        std::size_t received = 0;
        code = data.receive_some(*this, chunk.get(), chunk_size, received);
        if (code == ftp_closed) {
            // The server closes the data connection at the end of the file.
            code = ftp_ok;
            break;
        }
        if (code != ftp_ok)
            break;
        if (byte_limit && total + received > byte_limit) {
            code = ftp_thread_failed;
            break;
        }
        if (std::fwrite(chunk.get(), 1, received, file) != received) {
            code = ftp_file_error;
            break;
        }
        if (sink)
            sink->take(std::string_view(chunk.get(), received));
        // A dot for every complete block; the short last block gets none.
        std::uint64_t before = total / data_block_size;
        total += received;
        show_blocks(*this, log_enabled, before, total / data_block_size);
    }
    received_bytes = total;
    if (std::fclose(file) != 0 && code == ftp_ok)
        code = ftp_file_error;
    if (code != ftp_ok && !append)
        os::remove_file(local_path);
    went_silent = data.is_dead();
    data.shutdown_and_drain(*this);
    return code;
}

int thread_ftp_data_send::run()
{
    if (!file)
        return ftp_file_error;
    NetSocket data(log_enabled);
    ftp_result code = open_channel(data);
    went_silent = data.is_dead();
    if (code != ftp_ok)
        return code;
    const std::size_t chunk_size = chunk_size_for(log_enabled);
    auto chunk = std::make_unique<char[]>(chunk_size);
    std::uint64_t total = 0;
    for (;;) {
        std::size_t n = std::fread(chunk.get(), 1, chunk_size, file);
        if (n == 0) {
            if (std::ferror(file))
                code = ftp_file_error;
            break;
        }
        code = data.send_all(*this, chunk.get(), n);
        if (code != ftp_ok)
            break;
        // A dot for every block sent, the short last one included.
        std::uint64_t before = (total + data_block_size - 1) / data_block_size;
        total += n;
        show_blocks(*this, log_enabled, before, (total + data_block_size - 1) / data_block_size);
    }
    went_silent = data.is_dead();
    // Closing the data connection tells the server the file is complete.
    data.shutdown_and_drain(*this);
    return code;
}
