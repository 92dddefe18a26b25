// Fuzzes the zone correction of cache times.
#include "ftp/listing_time.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    int from = static_cast<std::int16_t>(data[0] | (data[1] << 8)) % 3000;
    int to = static_cast<std::int16_t>(data[2] | (data[3] << 8)) % 3000;
    std::string time(reinterpret_cast<const char*>(data + 4), size - 4);
    std::string before = time;
    if (!convert_zone_time(from, to, std::span<char>(time.data(), time.size()))) {
        if (time != before)
            std::abort();
        return 0;
    }
    // Fourteen digits are rewritten, everything after them stays, and the way back restores them.
    if (time.size() != before.size() || time.compare(14, std::string::npos, before, 14) != 0)
        std::abort();
    for (int i = 0; i < 14; ++i)
        if (time[i] < '0' || time[i] > '9')
            std::abort();
    std::string back = time;
    if (convert_zone_time(to, from, std::span<char>(back.data(), back.size())) && back != before)
        std::abort();
    return 0;
}
