// Names, wildcards, time and size texts from outside (FTP listings, the cache, the user): split,
// match, parse, build rows and sort them without reading out of bounds.
#include "pane/entry_text.h"
#include "pane/listing.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    // Fields separated by '\n': name, wildcard, time text, 14-digit time, size text, ...
    std::string_view fields[8];
    std::size_t n = 0;
    while (n < 8) {
        std::size_t end = input.find('\n');
        fields[n++] = input.substr(0, end);
        if (end == std::string_view::npos)
            break;
        input.remove_prefix(end + 1);
    }
    match_wildcard(fields[0], fields[1]);
    match_wildcard(fields[1], fields[0]);
    auto parts = split_entry_name(fields[0], false);
    if (auto t = parse_time_text(fields[2]))
        format_time_text(*t);
    parse_size_text(fields[4]);

    listing rows;
    for (std::size_t i = 0; i < n; ++i) {
        FileEntry e = make_ftp_entry(i % 3 == 0, fields[i], parse_size_text(fields[(i + 4) % n]),
                                     fields[(i + 3) % n], 1, 2);
        e.set_size_text(i % 2 ? std::string(fields[(i + 4) % n]) : e.size_text());
        FileEntry kept = e;
        kept.set_time_text(fields[(i + 1) % n]);
        kept.set_attr_text(fields[(i + 2) % n]);
        if (kept.time_text() != fields[(i + 1) % n] || kept.attr_text() != fields[(i + 2) % n])
            __builtin_trap(); // a row gives back every text it was given
        rows.append(e);
    }
    rows.set_cursor(0);
    for (int column = 0; column < column_count; ++column)
        rows.sort({column, column % 2});
    rows.find(false, fields[0]);
    return parts.name.size() > 300; // never
}
