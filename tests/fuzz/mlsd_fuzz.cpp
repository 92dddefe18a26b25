// Fuzzes the handling of MLSD output stored in the cache: facts, times converted in place.
#include "ftp/listing_cache.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes choose the zones: -1200 to +1400 in half hours.
    auto zone = [](std::uint8_t b) {
        int half_hours = b % 53 - 24;
        int sign = half_hours < 0 ? -1 : 1;
        int a = half_hours * sign;
        return sign * ((a / 2) * 100 + (a % 2) * 30);
    };
    int server = zone(data[0]), local = zone(data[1]);
    std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    std::string before = text;
    mlsd_result r = mlsd_normalize(text, server, local);
    // Only digits of times change; the length and every other byte stay.
    if (text.size() != before.size())
        std::abort();
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] != before[i] && (text[i] < '0' || text[i] > '9' || before[i] < '0' || before[i] > '9'))
            std::abort();
    for (const std::string& d : r.directories)
        if (!cache_component_rule(d))
            std::abort();
    return 0;
}
