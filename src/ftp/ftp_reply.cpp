// Pure parsers of FTP replies: every scan is bounded by the length it is given.
#include "ftp/ftp_reply.h"

#include "base/cp932.h"
#include "ftp/net_socket.h"

#include <cstdint>

namespace {

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

// The decimal number at line[i] (i moves past it); false without digits or beyond 63 bits.
bool read_number(const char* line, std::size_t length, std::size_t& i, std::int64_t& number)
{
    std::int64_t value = 0;
    std::size_t start = i;
    while (i < length && is_digit(line[i])) {
        if (value > (INT64_MAX - 9) / 10)
            return false;
        value = value * 10 + (line[i] - '0');
        ++i;
    }
    if (i == start)
        return false;
    number = value;
    return true;
}

} // namespace

std::size_t copy_line_part(const char* data, std::size_t available, char* out, std::size_t room, bool& ended)
{
    ended = false;
    std::size_t n = 0;
    while (n < available && n < room) {
        char c = data[n];
        out[n++] = c == '\0' ? '?' : c;
        if (c == '\n') {
            ended = true;
            break;
        }
    }
    return n;
}

reply_step reply_tracker::take(const char* piece, std::size_t length)
{
    bool begins_line = at_line_start_;
    bool ends_line = length > 0 && piece[length - 1] == '\n';
    last_began_final_ = false;
    last_began_line_ = begins_line;
    bytes_ += length;
    if (begins_line)
        ++lines_;
    if (lines_ > max_reply_lines || bytes_ > max_reply_bytes)
        return reply_step::too_long;
    at_line_start_ = ends_line;
    if (final_started_)
        return ends_line ? reply_step::complete : reply_step::more;
    if (!begins_line)
        return reply_step::more;

    bool coded = length >= 4 && is_digit(piece[0]) && is_digit(piece[1]) && is_digit(piece[2]);
    if (lines_ == 1 && coded && piece[3] == '-') {
        has_code_ = true;
        code_[0] = piece[0];
        code_[1] = piece[1];
        code_[2] = piece[2];
        return reply_step::more;
    }
    bool same_code = !has_code_ || (piece[0] == code_[0] && piece[1] == code_[1] && piece[2] == code_[2]);
    if (!coded || piece[3] != ' ' || !same_code)
        return reply_step::more;
    final_started_ = true;
    last_began_final_ = true;
    result_ = piece[0] < '4' ? ftp_ok : ftp_error_reply;
    return ends_line ? reply_step::complete : reply_step::more;
}

bool parse_pasv(const char* text, std::size_t length, pasv_address& out)
{
    std::size_t i = 0;
    while (i < length && !is_digit(text[i]) && text[i] != '\0')
        ++i;
    if (i == 0 || i >= length || text[i] == '\0')
        return false;
    // A sign before the first number was skipped with the other non-digits; none may follow.
    int numbers[6];
    for (int k = 0; k < 6; ++k) {
        if (k > 0) {
            if (i >= length || text[i] != ',')
                return false;
            ++i;
            while (i < length && (text[i] == ' ' || text[i] == '\t'))
                ++i;
        }
        int value = 0;
        std::size_t start = i;
        while (i < length && is_digit(text[i])) {
            value = value * 10 + (text[i] - '0');
            if (value > 255)
                return false;
            ++i;
        }
        if (i == start)
            return false;
        numbers[k] = value;
    }
    for (int k = 0; k < 4; ++k)
        out.host[k] = static_cast<unsigned char>(numbers[k]);
    out.port = numbers[4] * 256 + numbers[5];
    return out.port != 0;
}

bool parse_epsv(const char* text, std::size_t length, int& port)
{
    std::size_t i = 0;
    while (i < length && text[i] != '(' && text[i] != '\0')
        ++i;
    // '(', d, d, d, at least one digit, d, ')'
    if (i + 7 > length || text[i] != '(')
        return false;
    char d = text[i + 1];
    if (d < 33 || d > 126 || is_digit(d) || text[i + 2] != d || text[i + 3] != d)
        return false;
    i += 4;
    std::size_t start = i;
    long value = 0;
    while (i < length && is_digit(text[i])) {
        value = value * 10 + (text[i] - '0');
        if (value > 65535)
            return false;
        ++i;
    }
    if (i == start || value == 0 || i + 2 > length || text[i] != d || text[i + 1] != ')')
        return false;
    port = static_cast<int>(value);
    return true;
}

void parse_feature_line(const char* line, std::size_t length, feature_set& features)
{
    std::size_t i = 0;
    if (i >= length || line[i] != ' ')
        return; // only the indented middle lines name features
    while (i < length && line[i] == ' ')
        ++i;
    std::size_t start = i;
    while (i < length && line[i] != ' ' && line[i] != '\r' && line[i] != '\n' && line[i] != '\0')
        ++i;
    std::string_view name(line + start, i - start);
    if (equal_text_nocase(name, "MLST")) {
        features.mlst = true;
        features.mlsd = true;
    } else if (equal_text_nocase(name, "MLSD")) {
        features.mlsd = true;
    } else if (equal_text_nocase(name, "MDTM")) {
        features.mdtm = true;
    } else if (equal_text_nocase(name, "SIZE")) {
        features.size = true;
    } else if (equal_text_nocase(name, "UTF8")) {
        features.utf8 = true;
    } else if (equal_text_nocase(name, "EPSV")) {
        features.epsv = true;
    }
}

std::size_t find_modify_fact(std::string_view text)
{
    constexpr std::string_view fact = "modify=";
    for (std::size_t i = 0; i + fact.size() <= text.size(); ++i)
        if (equal_text_nocase(text.substr(i, fact.size()), fact))
            return i;
    return std::string_view::npos;
}

bool reply_number(const char* line, std::size_t length, std::int64_t& number)
{
    std::size_t i = 4;
    return length > i && read_number(line, length, i, number);
}

bool opening_reply_size(const char* line, std::size_t length, std::int64_t& size)
{
    std::string_view text(line, length);
    // Only a binary transfer's byte count is the file's size.
    if (text.find("BINARY") == std::string_view::npos)
        return false;
    // The name comes before the count and may hold brackets itself.
    std::size_t i = text.rfind('(');
    if (i == std::string_view::npos)
        return false;
    ++i;
    std::int64_t value = 0;
    if (!read_number(line, length, i, value) || text.substr(i, 7) != " bytes)")
        return false;
    size = value;
    return true;
}
