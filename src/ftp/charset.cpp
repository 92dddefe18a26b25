// Shift_JIS, EUC-JP and ISO-2022-JP conversions of whole text files.
#include "ftp/charset.h"

#include "base/cp932.h"
#include "platform/os.h"

#include <cstdio>

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

// Output written as text turns every LF into CR LF; as bytes it is written as it is.
class output {
public:
    output(std::string& out, bool text) : out_(out), text_(text) {}
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

// What a conversion carries from one piece of its input to the next.
struct convert_state {
    bool double_byte = false; // ISO-2022-JP: the mode the text is in
    bool kana = false;
    bool cr_pending = false; // reading as text: a CR ended the last piece
    bool text_ended = false; // reading as text: a 0x1A byte ended the text
};

constexpr std::size_t cut = std::string_view::npos;

// Reading as text: CR LF becomes LF and a 0x1A byte ends the file. A CR at the end of a piece
// waits for the next one, which may begin with its LF.
void append_as_text(std::string_view raw, bool last, convert_state& st, std::string& text)
{
    for (char c : raw) {
        if (st.text_ended)
            break;
        if (st.cr_pending) {
            st.cr_pending = false;
            if (c != '\n')
                text += '\r';
        }
        if (c == '\x1A') {
            st.text_ended = true;
        } else if (c == '\r') {
            st.cr_pending = true;
        } else {
            text += c;
        }
    }
    if ((last || st.text_ended) && st.cr_pending) {
        st.cr_pending = false;
        text += '\r';
    }
}

// One conversion step over a piece of text: converts its whole characters and returns how many
// bytes it took; the rest, a character or escape cut by the piece's end, comes again at the front
// of the next piece. With `last` nothing follows: a cut character fails the conversion (`cut`)
// or is dropped, as each conversion's rules say.
using step = std::size_t (*)(std::string_view in, bool last, convert_state& st, output& w);

struct conversion {
    step convert;
    bool text_in;  // the input is read as text
    bool text_out; // the output is written as text
};

std::size_t euc_to_sjis_step(std::string_view in, bool last, convert_state&, output& w)
{
    std::size_t i = 0;
    while (i < in.size()) {
        std::size_t start = i;
        unsigned c = static_cast<unsigned char>(in[i++]);
        if (c < 0x80) {
            w.byte(c);
        } else if (c == 0x8E) {
            // Single shift 2: one half-width katakana.
            if (i >= in.size())
                return last ? in.size() : start;
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
                return last ? cut : start;
            i += 2;
            w.pair(replacement_sjis);
        } else {
            if (i >= in.size())
                return last ? cut : start;
            unsigned t = static_cast<unsigned char>(in[i]);
            // A byte below 0x80 cannot end the character (a line end after a broken byte):
            // it is read again as itself.
            if (t >= 0x80)
                ++i;
            unsigned sjis = (t >= 0x80 && c >= 0xA1) ? jis_to_sjis(((c << 8) | t) - 0x8080) : 0;
            w.pair(sjis ? sjis : replacement_sjis);
        }
    }
    return in.size();
}

std::size_t jis_to_sjis_step(std::string_view in, bool last, convert_state& st, output& w)
{
    std::size_t i = 0;
    while (i < in.size()) {
        std::size_t start = i;
        unsigned c = static_cast<unsigned char>(in[i++]);
        if (c == 0x1B) {
            if (in.size() - i < 2)
                return last ? cut : start;
            std::string_view seq = in.substr(i - 1, 3);
            i += 2;
            if (seq == "\x1B$@" || seq == "\x1B$B") {
                st.double_byte = true;
                st.kana = false;
            } else if (seq == "\x1B(B" || seq == "\x1B(J") {
                st.double_byte = st.kana = false;
            } else if (seq == "\x1B(I") {
                st.kana = true;
                st.double_byte = false;
            }
        } else if (c < 0x21 || c > 0x7E) {
            // Control bytes (line ends above all) are never part of a character in either
            // mode, so a text that omits the switch back before a line end keeps its line end.
            w.byte(c);
        } else if (st.double_byte) {
            if (i >= in.size())
                return last ? cut : start;
            unsigned t = static_cast<unsigned char>(in[i++]);
            unsigned sjis = jis_to_sjis((c << 8) | t);
            w.pair(sjis ? sjis : replacement_sjis);
        } else if (st.kana && c <= 0x5F) {
            w.byte(c + 0x80);
        } else {
            w.byte(c);
        }
    }
    return in.size();
}

std::size_t sjis_to_euc_step(std::string_view in, bool last, convert_state&, output& w)
{
    std::size_t i = 0;
    while (i < in.size()) {
        std::size_t start = i;
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
                return last ? cut : start;
            unsigned t = static_cast<unsigned char>(in[i]);
            unsigned jis = sjis_to_jis((c << 8) | t);
            // A byte that cannot be a trail byte (a line end after a broken lead byte) is
            // read again as itself.
            if (t >= 0x40)
                ++i;
            w.pair(jis ? jis + 0x8080 : replacement_euc);
        }
    }
    return in.size();
}

std::size_t kana_to_full_width_step(std::string_view in, bool last, convert_state&, output& w)
{
    std::size_t i = 0;
    while (i < in.size()) {
        std::size_t start = i;
        unsigned c = static_cast<unsigned char>(in[i++]);
        if (c < 0x80) {
            w.byte(c);
        } else if (is_lead_byte(static_cast<unsigned char>(c))) {
            if (i >= in.size()) {
                if (!last)
                    return start;
                w.byte(c); // a lead byte at the very end is kept as it is
                break;
            }
            w.byte(c);
            w.byte(static_cast<unsigned char>(in[i++]));
        } else if (unsigned full = kana_to_full_width(static_cast<unsigned char>(c))) {
            w.pair(full);
        } else {
            w.byte(c);
        }
    }
    return in.size();
}

std::size_t sjis_to_jis_step(std::string_view in, bool last, convert_state& st, output& w)
{
    std::size_t i = 0;
    while (i < in.size()) {
        std::size_t start = i;
        unsigned c = static_cast<unsigned char>(in[i++]);
        if (c < 0x80) {
            if (st.double_byte || st.kana) {
                w.bytes(esc_ascii);
                st.double_byte = st.kana = false;
            }
            w.byte(c);
        } else if (is_half_width_kana(static_cast<unsigned char>(c))) {
            if (!st.kana) {
                w.bytes(esc_kana);
                st.kana = true;
                st.double_byte = false;
            }
            w.byte(c - 0x80);
        } else {
            bool lead = is_lead_byte(static_cast<unsigned char>(c));
            if (lead && i >= in.size())
                return last ? cut : start;
            if (!st.double_byte) {
                w.bytes(esc_jis);
                st.double_byte = true;
                st.kana = false;
            }
            unsigned jis = 0;
            if (lead) {
                unsigned t = static_cast<unsigned char>(in[i]);
                jis = sjis_to_jis((c << 8) | t);
                if (t >= 0x40)
                    ++i;
            }
            w.pair(jis ? jis : replacement_jis);
        }
    }
    // Text that does not end in ASCII still ends readable: the reader expects ASCII after it.
    if (last && (st.double_byte || st.kana)) {
        w.bytes(esc_ascii);
        st.double_byte = st.kana = false;
    }
    return in.size();
}

constexpr conversion euc_to_sjis{euc_to_sjis_step, false, true};
constexpr conversion jis_to_sjis_conv{jis_to_sjis_step, true, true};
constexpr conversion sjis_to_euc{sjis_to_euc_step, true, false};
constexpr conversion kana_to_full{kana_to_full_width_step, true, true};
constexpr conversion sjis_to_jis_conv{sjis_to_jis_step, true, true};

// Feeds the input through the conversion in pieces of charset_piece_size: `read` gives the next
// raw piece (empty at the end; false on a read failure), `write` takes each piece of output. At
// most a piece and one cut character are held at any time.
template <class Read, class Write> bool convert_pieces(const conversion& c, Read read, Write write)
{
    convert_state st;
    std::string raw, pending, out;
    output w(out, c.text_out);
    for (bool last = false; !last;) {
        if (!read(raw))
            return false;
        last = raw.empty();
        if (c.text_in) {
            append_as_text(raw, last, st, pending);
            last = last || st.text_ended;
        } else {
            pending += raw;
        }
        out.clear();
        std::size_t used = c.convert(pending, last, st, w);
        if (used == cut)
            return false;
        pending.erase(0, used);
        if (!write(std::string_view(out)))
            return false;
    }
    return true;
}

bool convert_text(const conversion& c, std::string_view in, std::string& out)
{
    out.clear();
    return convert_pieces(
        c,
        [&](std::string& raw) {
            raw.assign(in.substr(0, charset_piece_size));
            in.remove_prefix(raw.size());
            return true;
        },
        [&](std::string_view piece) {
            out += piece;
            return true;
        });
}

// The converted text replaces the file in one rename of a fully written and flushed work file
// beside it, so a failed conversion or a full disk leaves the file as it was. Neither the file
// nor its conversion is ever held whole.
bool convert_file(const std::string& path, const conversion& c)
{
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in)
        return false;
    bool ok = false;
    {
        os::atomic_file work(path);
        ok = work.is_open() && convert_pieces(
                                   c,
                                   [&](std::string& raw) {
                                       raw.resize(charset_piece_size);
                                       raw.resize(std::fread(raw.data(), 1, raw.size(), in));
                                       return !std::ferror(in);
                                   },
                                   [&](std::string_view piece) { return work.write(piece); });
        ok = std::fclose(in) == 0 && ok;
        ok = ok && work.commit();
    }
    return ok;
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
    return convert_text(euc_to_sjis, in, out);
}
bool jis_to_sjis_text(std::string_view in, std::string& out)
{
    return convert_text(jis_to_sjis_conv, in, out);
}
bool sjis_to_euc_text(std::string_view in, std::string& out)
{
    return convert_text(sjis_to_euc, in, out);
}
bool kana_to_full_width_text(std::string_view in, std::string& out)
{
    return convert_text(kana_to_full, in, out);
}
bool sjis_to_jis_text(std::string_view in, std::string& out)
{
    return convert_text(sjis_to_jis_conv, in, out);
}

bool convert_euc_to_sjis(const std::string& path)
{
    return convert_file(path, euc_to_sjis);
}
bool convert_jis_to_sjis(const std::string& path)
{
    return convert_file(path, jis_to_sjis_conv);
}
bool convert_sjis_to_euc(const std::string& path)
{
    return convert_file(path, sjis_to_euc);
}
bool convert_kana_to_full_width(const std::string& path)
{
    return convert_file(path, kana_to_full);
}
bool convert_sjis_to_jis(const std::string& path)
{
    return convert_file(path, sjis_to_jis_conv);
}
