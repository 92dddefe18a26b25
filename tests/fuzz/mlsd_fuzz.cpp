// Fuzzes the handling of MLSD output stored in the cache: the facts kept, times converted.
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
    for (std::string_view line : cache_split_lines(text, listing_line_limit)) {
        cache_entry e = cache_parse_line(line, listing_line_limit);
        std::string stored = mlsd_cache_line(e, server, local);
        if (stored.empty())
            continue;
        // What is stored fits a cache line and reads back as the same entry.
        cache_entry back = cache_parse_line(stored);
        if (stored.size() > cache_line_limit || !back.is_entry || back.name != e.name ||
            back.is_directory != e.is_directory)
            std::abort();
    }
    return 0;
}
