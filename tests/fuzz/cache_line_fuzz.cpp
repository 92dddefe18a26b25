// Fuzzes the reading of cache and list files: line splitting and cache_parse_line.
#include "base/name_rules.h"
#include "ftp/listing_cache.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    for (std::string_view line : cache_split_lines(input)) {
        if (line.size() > cache_text_limit || line.find('\n') != std::string_view::npos)
            std::abort();
        cache_entry e = cache_parse_line(line);
        if (!e.is_entry)
            continue;
        bool dots = e.name == "." || e.name == "..";
        if (!dots && !ftp_name_rule(e.name))
            std::abort();
        if (e.has_time && line.substr(e.time_offset, e.time_text.size()) != e.time_text)
            std::abort();
        if (dots)
            continue;
        // Whatever is read can be written back and read again as the same entry.
        std::int64_t entry_size = e.is_directory ? -1 : cache_size_unknown;
        cache_entry back = cache_parse_line(cache_format_entry(e.time_text, e.name, entry_size));
        if (!back.is_entry || back.name != e.name || back.is_directory != e.is_directory)
            std::abort();
        cache_size_value(e.size_text);
        cache_time_to_text(e.time_text);
    }
    cache_parse_line(input);
    return 0;
}
