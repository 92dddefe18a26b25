// Shift_JIS, EUC-JP and ISO-2022-JP conversions of whole text files.
#include "ftp/charset.h"

#include "base/cp932.h"
#include "platform/os.h"

#include <optional>

namespace {

// The cells of JIS X 0208 (1990) that hold a character: first row, first and last cell.
struct cell_range {
    unsigned char row, first, last;
};
constexpr cell_range jis_x0208_cells[] = {
    {0x22, 0x21, 0x2E}, {0x22, 0x3A, 0x41}, {0x22, 0x4A, 0x50}, {0x22, 0x5C, 0x6A}, {0x22, 0x72, 0x79},
    {0x22, 0x7E, 0x7E}, {0x23, 0x30, 0x39}, {0x23, 0x41, 0x5A}, {0x23, 0x61, 0x7A}, {0x24, 0x21, 0x73},
    {0x25, 0x21, 0x76}, {0x26, 0x21, 0x38}, {0x26, 0x41, 0x58}, {0x27, 0x21, 0x41}, {0x27, 0x51, 0x71},
    {0x28, 0x21, 0x40}, {0x4F, 0x21, 0x53}, {0x74, 0x21, 0x26},
};

bool is_jis_x0208_character(unsigned row, unsigned cell)
{
    // Whole rows: symbols (1), level 1 kanji (16-46) and level 2 kanji (48-83).
    if (row == 0x21 || (row >= 0x30 && row <= 0x4E) || (row >= 0x50 && row <= 0x73))
        return cell >= 0x21 && cell <= 0x7E;
    for (const cell_range& r : jis_x0208_cells)
        if (r.row == row && cell >= r.first && cell <= r.last)
            return true;
    return false;
}

// JIS X 0201 katakana 0xA1-0xDF as full-width Shift_JIS: punctuation, small letters, the
// long-vowel mark, the syllables, and the voiced and semi-voiced marks as marks of their own.
constexpr unsigned short full_width_kana[0xDF - 0xA1 + 1] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348, 0x8383, 0x8385,
    0x8387, 0x8362, 0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A, 0x834C, 0x834E, 0x8350, 0x8352,
    0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E, 0x8360, 0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B,
    0x836C, 0x836D, 0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D, 0x837E, 0x8380, 0x8381, 0x8382, 0x8384,
    0x8386, 0x8388, 0x8389, 0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B,
};

bool is_half_width_kana(unsigned char c)
{
    return c >= 0xA1 && c <= 0xDF;
}

// Reading as text: CR LF becomes LF and a 0x1A byte ends the file.
std::string read_as_text(std::string_view in)
{
    std::string out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        char c = in[i];
        if (c == '\x1A')
            break;
        if (c == '\r' && i + 1 < in.size() && in[i + 1] == '\n')
            continue;
        out += c;
    }
    return out;
}

// Output written as text turns every LF into CR LF; as bytes it is written as it is.
class output {
public:
    output(std::string& out, bool text) : out_(out), text_(text) { out_.clear(); }
    void byte(unsigned c)
    {
        if (text_ && c == '\n')
            out_ += '\r';
        out_ += static_cast<char>(c);
    }
    void pair(unsigned code)
    {
        byte((code >> 8) & 0xFF);
        byte(code & 0xFF);
    }
    void bytes(std::string_view s)
    {
        for (char c : s)
            byte(static_cast<unsigned char>(c));
    }

private:
    std::string& out_;
    bool text_;
};

constexpr std::string_view esc_ascii = "\x1B(B";
constexpr std::string_view esc_kana = "\x1B(I";
constexpr std::string_view esc_jis = "\x1B$B";

using converter = bool (*)(std::string_view, std::string&);

// The common frame: the converted text replaces the file in one rename of a fully written and
// flushed work file beside it, so a failed conversion or a full disk leaves the file as it was.
bool convert_file(const std::string& path, converter convert)
{
    std::optional<std::string> in = os::read_file(path);
    if (!in)
        return false;
    std::string out;
    return convert(*in, out) && os::write_file_atomic(path, out);
}

} // namespace

unsigned jis_to_sjis(unsigned jis)
{
    unsigned c1 = jis >> 8, c2 = jis & 0xFF;
    if (c1 < 0x21 || c1 > 0x7E || c2 < 0x21 || c2 > 0x7E)
        return 0;
    if (c1 & 1) {
        c2 += 0x1F;
        if (c2 >= 0x7F)
            ++c2;
    } else {
        c2 += 0x7E;
    }
    c1 = ((c1 - 0x21) >> 1) + 0x81;
    if (c1 > 0x9F)
        c1 += 0x40;
    return (c1 << 8) | c2;
}

unsigned sjis_to_jis(unsigned sjis)
{
    unsigned c1 = sjis >> 8, c2 = sjis & 0xFF;
    if (!is_lead_byte(static_cast<unsigned char>(c1)) || sjis > 0xFFFF || c2 < 0x40 || c2 == 0x7F ||
        c2 > 0xFC)
        return 0;
    unsigned row = (c1 >= 0xE0 ? c1 - 0x40 : c1) - 0x81; // 0-based pair of rows
    row = row * 2 + 0x21;
    unsigned cell;
    if (c2 >= 0x9F) {
        ++row;
        cell = c2 - 0x7E;
    } else {
        cell = c2 - (c2 >= 0x80 ? 0x20 : 0x1F);
    }
    // The vendor rows of code page 932 (NEC special characters, NEC-selected and IBM
    // extensions, user-defined area) have no JIS X 0208 character.
    if (row > 0x7E || !is_jis_x0208_character(row, cell))
        return 0;
    return (row << 8) | cell;
}

unsigned kana_to_full_width(unsigned char c)
{
    return is_half_width_kana(c) ? full_width_kana[c - 0xA1] : 0;
}

bool euc_to_sjis_text(std::string_view in, std::string& out)
{
    output w(out, true);
    std::size_t i = 0;
    while (i < in.size()) {
        unsigned c = static_cast<unsigned char>(in[i++]);
        if (c < 0x80) {
            w.byte(c);
        } else if (c == 0x8E) {
            // Single shift 2: one half-width katakana.
            if (i >= in.size())
                break;
            unsigned t = static_cast<unsigned char>(in[i]);
            if (is_half_width_kana(static_cast<unsigned char>(t))) {
                w.byte(t);
                ++i;
            } else {
                w.pair(replacement_sjis); // a byte below 0x80 is read again as itself
                if (t >= 0x80)
                    ++i;
            }
        } else if (c == 0x8F) {
            // Single shift 3: a JIS X 0212 character of two more bytes, which Shift_JIS lacks.
            if (in.size() - i < 2)
                return false;
            i += 2;
            w.pair(replacement_sjis);
        } else {
            if (i >= in.size())
                return false;
            unsigned t = static_cast<unsigned char>(in[i]);
            // A byte below 0x80 cannot end the character (a line end after a broken byte):
            // it is read again as itself.
            if (t >= 0x80)
                ++i;
            unsigned sjis = (t >= 0x80 && c >= 0xA1) ? jis_to_sjis(((c << 8) | t) - 0x8080) : 0;
            w.pair(sjis ? sjis : replacement_sjis);
        }
    }
    return true;
}

bool jis_to_sjis_text(std::string_view raw, std::string& out)
{
    std::string in = read_as_text(raw);
    output w(out, true);
    bool double_byte = false, kana = false;
    std::size_t i = 0;
    while (i < in.size()) {
        unsigned c = static_cast<unsigned char>(in[i++]);
        if (c == 0x1B) {
            if (in.size() - i < 2)
                return false;
            std::string_view seq = std::string_view(in).substr(i - 1, 3);
            i += 2;
            if (seq == "\x1B$@" || seq == "\x1B$B") {
                double_byte = true;
                kana = false;
            } else if (seq == "\x1B(B" || seq == "\x1B(J") {
                double_byte = kana = false;
            } else if (seq == "\x1B(I") {
                kana = true;
                double_byte = false;
            }
        } else if (c < 0x21 || c > 0x7E) {
            // Control bytes (line ends above all) are never part of a character in either
            // mode, so a text that omits the switch back before a line end keeps its line end.
            w.byte(c);
        } else if (double_byte) {
            if (i >= in.size())
                return false;
            unsigned t = static_cast<unsigned char>(in[i++]);
            unsigned sjis = jis_to_sjis((c << 8) | t);
            w.pair(sjis ? sjis : replacement_sjis);
        } else if (kana && c <= 0x5F) {
            w.byte(c + 0x80);
        } else {
            w.byte(c);
        }
    }
    return true;
}

bool sjis_to_euc_text(std::string_view raw, std::string& out)
{
    std::string in = read_as_text(raw);
    output w(out, false);
    std::size_t i = 0;
    while (i < in.size()) {
        unsigned c = static_cast<unsigned char>(in[i++]);
        if (c < 0x80) {
            w.byte(c);
        } else if (is_half_width_kana(static_cast<unsigned char>(c))) {
            w.byte(0x8E);
            w.byte(c);
        } else if (!is_lead_byte(static_cast<unsigned char>(c))) {
            w.pair(replacement_euc); // 0x80, 0xA0, 0xFD-0xFF: no character of their own
        } else {
            if (i >= in.size())
                return false;
            unsigned t = static_cast<unsigned char>(in[i]);
            unsigned jis = sjis_to_jis((c << 8) | t);
            // A byte that cannot be a trail byte (a line end after a broken lead byte) is
            // read again as itself.
            if (t >= 0x40)
                ++i;
            w.pair(jis ? jis + 0x8080 : replacement_euc);
        }
    }
    return true;
}

bool kana_to_full_width_text(std::string_view raw, std::string& out)
{
    std::string in = read_as_text(raw);
    output w(out, true);
    std::size_t i = 0;
    while (i < in.size()) {
        unsigned c = static_cast<unsigned char>(in[i++]);
        if (c < 0x80) {
            w.byte(c);
        } else if (is_lead_byte(static_cast<unsigned char>(c))) {
            w.byte(c);
            if (i >= in.size())
                break;
            w.byte(static_cast<unsigned char>(in[i++]));
        } else if (unsigned full = kana_to_full_width(static_cast<unsigned char>(c))) {
            w.pair(full);
        } else {
            w.byte(c);
        }
    }
    return true;
}

bool sjis_to_jis_text(std::string_view raw, std::string& out)
{
    std::string in = read_as_text(raw);
    output w(out, true);
    bool double_byte = false, kana = false;
    std::size_t i = 0;
    while (i < in.size()) {
        unsigned c = static_cast<unsigned char>(in[i++]);
        if (c < 0x80) {
            if (double_byte || kana) {
                w.bytes(esc_ascii);
                double_byte = kana = false;
            }
            w.byte(c);
        } else if (is_half_width_kana(static_cast<unsigned char>(c))) {
            if (!kana) {
                w.bytes(esc_kana);
                kana = true;
                double_byte = false;
            }
            w.byte(c - 0x80);
        } else {
            if (!double_byte) {
                w.bytes(esc_jis);
                double_byte = true;
                kana = false;
            }
            unsigned jis = 0;
            if (is_lead_byte(static_cast<unsigned char>(c))) {
                if (i >= in.size())
                    return false;
                unsigned t = static_cast<unsigned char>(in[i]);
                jis = sjis_to_jis((c << 8) | t);
                if (t >= 0x40)
                    ++i;
            }
            w.pair(jis ? jis : replacement_jis);
        }
    }
    // Text that does not end in ASCII still ends readable: the reader expects ASCII after it.
    if (double_byte || kana)
        w.bytes(esc_ascii);
    return true;
}

bool convert_euc_to_sjis(const std::string& path)
{
    return convert_file(path, euc_to_sjis_text);
}
bool convert_jis_to_sjis(const std::string& path)
{
    return convert_file(path, jis_to_sjis_text);
}
bool convert_sjis_to_euc(const std::string& path)
{
    return convert_file(path, sjis_to_euc_text);
}
bool convert_kana_to_full_width(const std::string& path)
{
    return convert_file(path, kana_to_full_width_text);
}
bool convert_sjis_to_jis(const std::string& path)
{
    return convert_file(path, sjis_to_jis_text);
}
