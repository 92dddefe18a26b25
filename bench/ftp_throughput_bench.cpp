// Measures the FTP client's passive transfers: one download or upload of a file, timed.
//   ftp_throughput_bench HOST PORT USER PASSWORD get|put REMOTE LOCAL
// Prints "<bytes> bytes in <ms> ms" and ends with the transfer's result code.
#include "ftp/ftp_protocol.h"
#include "platform/os.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

class bench_worker : public thread_net {
public:
    const char* host = nullptr;
    int port = 21;
    std::string user, password, remote, local;
    bool put = false;

protected:
    int run() override
    {
        NetSocket control(false);
        if (!control.has_socket())
            return ftp_no_socket;
        int code = ftp_login(*this, control, host, port, user, password, "/");
        if (code != ftp_ok)
            return code;
        code = put ? ftp_transfer_send(*this, control, "STOR " + remote, local)
                   : ftp_transfer_receive(*this, control, "RETR " + remote, local);
        ftp_logout(*this, control);
        return code;
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 8) {
        std::fprintf(stderr, "usage: ftp_throughput_bench HOST PORT USER PASSWORD get|put REMOTE LOCAL\n");
        return 2;
    }
    bench_worker w;
    w.host = argv[1];
    w.port = std::atoi(argv[2]);
    w.user = argv[3];
    w.password = argv[4];
    w.put = std::string(argv[5]) == "put";
    w.remote = argv[6];
    w.local = argv[7];
    std::uint64_t start = os::now_ms();
    if (!w.begin())
        return ftp_thread_failed;
    w.join();
    std::uint64_t ms = os::now_ms() - start;
    int code = w.get_result();
    std::FILE* f = std::fopen(w.local.c_str(), "rb");
    long long bytes = 0;
    if (f) {
        std::fseek(f, 0, SEEK_END);
        bytes = static_cast<long long>(std::ftell(f));
        std::fclose(f);
    }
    std::printf("%lld bytes in %llu ms, code %d\n", bytes, static_cast<unsigned long long>(ms), code);
    return code;
}
