// Fuzzes the PASV reply parser: an accepted reply always names a port 1-65535, and the address
// written back in the reply's own form parses to the same address.
#include "ftp/ftp_reply.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    pasv_address a;
    if (!parse_pasv(reinterpret_cast<const char*>(data), size, a))
        return 0;
    if (a.port < 1 || a.port > 65535)
        std::abort();
    char text[64];
    int n = std::snprintf(text, sizeof text, "(%u,%u,%u,%u,%d,%d)", a.host[0], a.host[1], a.host[2],
                          a.host[3], a.port / 256, a.port % 256);
    pasv_address b;
    if (!parse_pasv(text, static_cast<std::size_t>(n), b) || b.port != a.port ||
        std::memcmp(a.host, b.host, 4) != 0)
        std::abort();
    return 0;
}
