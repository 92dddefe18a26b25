// Pure parsers of what an FTP server sends: reply lines, PASV addresses, FEAT lines, MLST facts.
#pragma once

#include "ftp/ftp_result.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// A reply may not run on forever: more lines or bytes than this end it as a receive error.
constexpr int max_reply_lines = 200;
constexpr std::size_t max_reply_bytes = 32768;

// Copies the front of `data` up to and including its first '\n', at most `room` bytes, into `out`;
// a NUL is copied as '?' so that it never cuts the text short for later readers. Returns the
// count copied; `ended` tells whether it ended with the '\n'.
std::size_t copy_line_part(const char* data, std::size_t available, char* out, std::size_t room, bool& ended);

enum class reply_step {
    more,     // keep reading pieces
    complete, // the reply has ended with this piece
    too_long, // the reply broke its line or byte bound
};

// Follows one reply piece by piece (a piece is what read_line returns: at most 252 bytes, a
// whole line only when it ends in '\n'). Only a piece that begins a line can be the final line:
// three digits and a blank, and when the first line was "ddd-" the same three digits. The rest
// of a final line longer than one piece still belongs to this reply, so the next reply starts
// on a fresh line.
class reply_tracker {
public:
    reply_step take(const char* piece, std::size_t length);
    // True when the last piece taken began the final line (its text is the reply's last line).
    bool last_began_final() const { return last_began_final_; }
    // True when the last piece taken began a line of the reply.
    bool last_began_line() const { return last_began_line_; }
    // 0 when the final line's first digit is below '4', else 12 (an error reply).
    ftp_result result() const { return result_; }
    int lines() const { return lines_; }

private:
    bool at_line_start_ = true;
    bool final_started_ = false;
    bool last_began_final_ = false;
    bool last_began_line_ = false;
    bool has_code_ = false;
    char code_[3] = {};
    int lines_ = 0;
    std::size_t bytes_ = 0;
    ftp_result result_ = ftp_ok;
};

// The address of a PASV reply. The text is the reply after its code and blank: one or more
// non-digits, then six comma-separated numbers h1,h2,h3,h4,p1,p2 (blanks allowed before each
// number). Each must lie in 0..255 and the port p1 * 256 + p2 must not be 0; otherwise false.
struct pasv_address {
    unsigned char host[4] = {};
    int port = 0;
};
bool parse_pasv(const char* text, std::size_t length, pasv_address& out);

// The port of an EPSV reply; the text is the reply after its code and blank, as in "Entering
// Extended Passive Mode (|||6446|)": any text, '(', three equal delimiters (a printable
// character that is no digit), the port 1-65535 in decimal, the delimiter again and ')'.
bool parse_epsv(const char* text, std::size_t length, int& port);

// The capability flags a server names in its FEAT reply. A line of the reply's middle is a
// blank, a feature name and optional parameters; MLST implies MLSD (both come together).
struct feature_set {
    bool mlsd = false;
    bool mlst = false;
    bool mdtm = false;
    bool size = false;
    bool utf8 = false; // "UTF8": names may travel in UTF-8 (after OPTS UTF8 ON)
    bool epsv = false;
};
void parse_feature_line(const char* line, std::size_t length, feature_set& features);

// The position of the first "Modify=" (any case) in the text, or npos.
std::size_t find_modify_fact(std::string_view text);

// The decimal number after a reply code and blank ("213 4096"); false without digits or when it
// does not fit 63 bits.
bool reply_number(const char* line, std::size_t length, std::int64_t& number);

// The byte count a binary transfer's opening reply names, as vsftpd and proftpd write it:
// "150 Opening BINARY mode data connection for f (2048 bytes)."; false when there is none.
bool opening_reply_size(const char* line, std::size_t length, std::int64_t& size);
