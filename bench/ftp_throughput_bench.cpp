// Measures the FTP client against a server: one download, upload or directory listing, timed.
//   ftp_throughput_bench HOST PORT USER PASSWORD get|put REMOTE LOCAL
//   ftp_throughput_bench HOST PORT USER PASSWORD mlsd|long DIRECTORY CACHE_FILE
// get and put move one file; mlsd and long list the remote directory ("/dir/") into the cache
// file with MLSD or the long listing, as the listing thread does.
// Prints "<bytes> bytes in <ms> ms, login <ms> ms, logout <ms> ms, code <code>" (for listings the bytes are
// those of the cache file, followed by its entry count) and ends with the operation's result code. The time
// runs from the connect to the end of the operation (for a transfer, its closing reply), as curl's time_total
// does; "login" is the part up to TYPE I and "logout" the QUIT that follows (a server may still be writing an
// uploaded file and answer QUIT late).
#include "ftp/ftp_listing.h"
#include "ftp/ftp_protocol.h"
#include "ftp/listing_cache.h"
#include "platform/os.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

enum class bench_mode { get, put, mlsd, long_listing };

class bench_worker : public thread_net {
public:
    const char* host = nullptr;
    int port = 21;
    std::string user, password, remote, local;
    bench_mode mode = bench_mode::get;
    std::uint64_t start_ms = 0;
    std::uint64_t login_ms = 0;
    std::uint64_t done_ms = 0;
    std::uint64_t logout_ms = 0;

protected:
    int run() override
    {
        NetSocket control(false);
        if (!control.has_socket())
            return ftp_no_socket;
        bool listing = mode == bench_mode::mlsd || mode == bench_mode::long_listing;
        start_ms = os::now_ms();
        int code = ftp_login(*this, control, host, port, user, password, listing ? remote : "/");
        login_ms = os::now_ms() - start_ms;
        if (code != ftp_ok)
            return code;
        ftp_capabilities mlsd_flags{1, 1, 1, 1, 1}, long_flags{1, 0, 1, 0, 0};
        std::size_t unstored = 0;
        switch (mode) {
        case bench_mode::get:
            code = ftp_transfer_receive(*this, control, "RETR " + remote, local);
            break;
        case bench_mode::put:
            code = ftp_transfer_send(*this, control, "STOR " + remote, local);
            break;
        case bench_mode::mlsd:
            code = ftp_list_directory(*this, control, 0, local, remote != "/", mlsd_flags, unstored);
            break;
        case bench_mode::long_listing:
            code = ftp_list_directory(*this, control, 0, local, remote != "/", long_flags, unstored);
            break;
        }
        done_ms = os::now_ms() - start_ms;
        ftp_logout(*this, control);
        logout_ms = os::now_ms() - start_ms - done_ms;
        return code;
    }
};

} // namespace

int main(int argc, char** argv)
{
    std::string mode = argc == 8 ? argv[5] : "";
    if (mode != "get" && mode != "put" && mode != "mlsd" && mode != "long") {
        std::fprintf(stderr,
                     "usage: ftp_throughput_bench HOST PORT USER PASSWORD get|put|mlsd|long REMOTE LOCAL\n");
        return 2;
    }
    bench_worker w;
    w.host = argv[1];
    w.port = std::atoi(argv[2]);
    w.user = argv[3];
    w.password = argv[4];
    w.mode = mode == "get"    ? bench_mode::get
             : mode == "put"  ? bench_mode::put
             : mode == "mlsd" ? bench_mode::mlsd
                              : bench_mode::long_listing;
    w.remote = argv[6];
    w.local = argv[7];
    if (!w.begin())
        return ftp_thread_failed;
    w.join();
    int code = w.get_result();
    long long bytes = 0;
    if (std::FILE* f = std::fopen(w.local.c_str(), "rb")) {
        std::fseek(f, 0, SEEK_END);
        bytes = static_cast<long long>(std::ftell(f));
        std::fclose(f);
    }
    std::printf("%lld bytes in %llu ms, login %llu ms, logout %llu ms, code %d", bytes,
                static_cast<unsigned long long>(w.done_ms), static_cast<unsigned long long>(w.login_ms),
                static_cast<unsigned long long>(w.logout_ms), code);
    if (w.mode == bench_mode::mlsd || w.mode == bench_mode::long_listing)
        std::printf(", %zu entries", cache_read_entries(w.local, false).size());
    std::printf("\n");
    return code;
}
