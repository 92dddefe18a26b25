// Fuzzes the EPSV reply parser: an accepted reply always names a port 1-65535, and the port
// written back in the reply's own form parses to the same port.
#include "ftp/ftp_reply.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    int port = 0;
    if (!parse_epsv(reinterpret_cast<const char*>(data), size, port))
        return 0;
    if (port < 1 || port > 65535)
        std::abort();
    char text[32];
    int n = std::snprintf(text, sizeof text, "(|||%d|)", port);
    int again = 0;
    if (!parse_epsv(text, static_cast<std::size_t>(n), again) || again != port)
        std::abort();
    return 0;
}
