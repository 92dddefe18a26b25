// Fuzzes NLST -aFL line parsing.
#include "ftp/listing_cache.h"
#include "ftp/listing_formats.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    for (std::string_view line : cache_split_lines(input, listing_line_limit)) {
        nlst_entry e = nlst_parse_line(line);
        if (e.kind == nlst_kind::none)
            continue;
        // Every entry of a name that is not too long fits a cache line with any size and time,
        // and reads back the same.
        std::int64_t entry_size = e.kind == nlst_kind::directory ? -1 : INT64_MAX;
        std::string stored = cache_format_entry("20100101000000", e.name, entry_size);
        // A name within the limit always fits; a longer one fits while its line does (a
        // short size leaves room).
        if (stored.empty() && e.name.size() <= cache_name_limit)
            std::abort();
        if (stored.empty())
            continue;
        cache_entry back = cache_parse_line(stored);
        if (!back.is_entry || back.name != e.name || back.is_directory != (e.kind == nlst_kind::directory))
            std::abort();
    }
    return 0;
}
