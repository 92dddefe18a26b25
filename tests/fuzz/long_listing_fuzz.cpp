// Fuzzes long-listing line parsing.
#include "ftp/listing_cache.h"
#include "ftp/listing_formats.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    int month = data[0] % 12 + 1;
    std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    for (std::string_view line : cache_split_lines(input, listing_line_limit)) {
        long_listing_entry e = long_listing_parse_line(line, 2011, month);
        if (e.is_entry && !e.is_listing_line)
            std::abort();
        if (!e.is_entry)
            continue;
        if (e.time.size() != 14 || (e.is_directory ? e.size != -1 : e.size < 0))
            std::abort();
        std::string stored = cache_format_entry(e.time, e.name, e.size);
        // A name within the limit always fits; a longer one fits while its line does (a
        // short size leaves room).
        if (stored.empty() && e.name.size() <= cache_name_limit)
            std::abort();
        if (stored.empty())
            continue;
        cache_entry back = cache_parse_line(stored);
        if (!back.is_entry || back.name != e.name || back.time_text != e.time ||
            (!e.is_directory && cache_size_value(back.size_text) != e.size))
            std::abort();
    }
    return 0;
}
