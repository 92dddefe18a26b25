// Fuzzes reading FTP replies: the bytes are cut into lines exactly as the control connection
// does, replies are followed piece by piece, and every reply line goes through the line parsers.
#include "ftp/ftp_reply.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    std::size_t at = 0;
    reply_tracker tracker;
    feature_set features;
    while (at < size) {
        char piece[253];
        bool ended = false;
        std::size_t n = copy_line_part(bytes + at, size - at, piece, sizeof piece - 1, ended);
        if (n == 0 || n > sizeof piece - 1)
            std::abort();
        piece[n] = '\0';
        at += n;
        if (std::memchr(piece, '\0', n))
            std::abort(); // a NUL never reaches the readers of a line
        reply_step step = tracker.take(piece, n);
        if (tracker.last_began_line()) {
            parse_feature_line(piece, n, features);
            std::int64_t number = 0;
            if (reply_number(piece, n, number) && number < 0)
                std::abort();
            if (opening_reply_size(piece, n, number) && number < 0)
                std::abort();
            std::size_t m = find_modify_fact(std::string_view(piece, n));
            if (m != std::string_view::npos && m + 7 > n)
                std::abort();
        }
        if (step == reply_step::too_long) {
            if (tracker.lines() <= max_reply_lines && at <= max_reply_bytes)
                std::abort();
            tracker = reply_tracker();
        } else if (step == reply_step::complete) {
            if (tracker.result() != 0 && tracker.result() != 12)
                std::abort();
            tracker = reply_tracker(); // the next reply starts on a fresh line
        }
    }
    return 0;
}
