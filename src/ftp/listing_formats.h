// Parsers of the two listing formats used when a server has no MLSD: NLST -aFL lines (type
// suffixes) and long ls-style lines (NLST -alL).
// The received file is read line by line with listing_reader (listing_cache.h) up to
// listing_line_limit, so an over-long line is skipped whole; each entry is then stored as
// cache_write_entry stores it (make_subdir on), and a name too long for a cache line is counted
// as an entry that could not be stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// True for one or more ASCII digits and nothing else (sizes, times and years of listing lines).
bool is_digits(std::string_view s);

enum class nlst_kind { none, file, directory };

struct nlst_entry {
    nlst_kind kind = nlst_kind::none;
    std::string name;
};

// One NLST -aFL line (line end already removed): a trailing '/' is a directory, '*' a file, '=',
// '@' and '|' (socket, link, pipe) nothing, anything else a file. "." and "..", names that fail
// the FTP name rule and lines over listing_line_limit give nothing.
nlst_entry nlst_parse_line(std::string_view line);

struct long_listing_entry {
    // The line has the shape of a long listing (size, month, day and time after the first field,
    // or "total <n>"), whether or not it names an entry.
    bool is_listing_line = false;
    bool is_entry = false;
    bool is_directory = false;
    std::string name;
    std::int64_t size = -1; // -1 for directories
    std::string time;       // YYYYMMDDhhmm00, as the server shows it (no zone correction)
};

// One line of a long listing, read with today's local year and month (1-12): only lines
// beginning with '-' (file) or 'd' (directory); the fields size, month word, day and hh:mm or
// year are followed by the name, which runs to the line end (blanks included). A year field
// gives that year at 00:00; an hh:mm field gives the current year, less one when the entry's
// month lies after the current month. "." and "..", names failing the FTP name rule and lines
// over listing_line_limit give nothing.
long_listing_entry long_listing_parse_line(std::string_view line, int current_year, int current_month);
