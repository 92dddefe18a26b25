// Text conversions between Shift_JIS, EUC-JP and ISO-2022-JP: upload and download cases, whole files.
#include "ftp/charset.h"
#include "platform/os.h"
#include "support/temp_dir.h"
#include "support/tree_names.h"

#include <gtest/gtest.h>

namespace {

using text_converter = bool (*)(std::string_view, std::string&);

struct conversion_case {
    const char* what;
    text_converter convert;
    std::string in;
    bool ok;
    std::string out;
};

// 日本 in each encoding; ソ (0x83 0x5C) ends in the byte of '\'.
const std::string nihon_sjis = "\x93\xFA\x96\x7B";
const std::string nihon_jis = "\x46\x7C\x4B\x5C";
const std::string nihon_euc = "\xC6\xFC\xCB\xDC";
const std::string esc_jis = "\x1B$B";
const std::string esc_ascii = "\x1B(B";
const std::string esc_kana = "\x1B(I";

} // namespace

// Single codes, vendor rows and each character's ISO-2022-JP form are checked against iconv
// (charset_iconv_test); here the framing: escapes, line ends, cut input, a piece's end.
TEST(Charset, Conversions)
{
    const conversion_case cases[] = {
        // Uploads to ISO-2022-JP servers.
        {"so to jis", sjis_to_jis_text, "a\x83\x5C\\\n", true,
         "a" + esc_jis + "\x25\x3D" + esc_ascii + "\\\r\n"},
        {"kana then kanji", sjis_to_jis_text, "\xB1" + nihon_sjis + "\n", true,
         esc_kana + "\x31" + esc_jis + nihon_jis + esc_ascii + "\r\n"},
        {"lead byte at the end", sjis_to_jis_text, "a\x93", false, ""},
        {"mode closed at the end", sjis_to_jis_text, nihon_sjis, true, esc_jis + nihon_jis + esc_ascii},
        {"ctrl-z ends the text", sjis_to_jis_text, "a\r\n\x1A" + nihon_sjis, true, "a\r\n"},
        // The first step of those uploads: no half-width katakana reach the server.
        {"kana full width", kana_to_full_width_text, "\xB1\xDE\xDF\xA1x\n", true,
         "\x83\x41\x81\x4A\x81\x4B\x81\x42x\r\n"},
        {"double-byte kept", kana_to_full_width_text, "\x83\x5C\xB1", true, "\x83\x5C\x83\x41"},
        {"lead byte at the end is kept", kana_to_full_width_text, "a\x93", true, "a\x93"},
        {"no equivalent", kana_to_full_width_text, "\x80\xA0\xFD", true, "\x80\xA0\xFD"},
        // Uploads to EUC-JP servers: CR LF becomes LF.
        {"nihon to euc", sjis_to_euc_text, nihon_sjis + "\r\n", true, nihon_euc + "\n"},
        {"lead byte at the end to euc", sjis_to_euc_text, "\x93", false, ""},
        {"broken lead keeps the line end", sjis_to_euc_text, "\x93\r\nx", true, "\xA1\xA9\nx"},
        {"a lone cr stays", sjis_to_euc_text, "a\r\nb\rc\r\r\n", true, "a\nb\rc\r\n"},
        // Downloads from EUC-JP servers: LF becomes CR LF.
        {"empty", euc_to_sjis_text, "", true, ""},
        {"euc is read as bytes: cr and ctrl-z stay", euc_to_sjis_text, "a\r\n\x1A", true, "a\r\r\n\x1A"},
        {"nihon from euc", euc_to_sjis_text, nihon_euc + "\n", true, nihon_sjis + "\r\n"},
        {"kana from euc", euc_to_sjis_text, "\x8E\xB1", true, "\xB1"},
        {"single shift 2 at the end", euc_to_sjis_text, "a\x8E", true, "a"},
        {"single shift 3", euc_to_sjis_text,
         "a\x8F\xB0\xA1"
         "b",
         true,
         "a\x81\x48"
         "b"},
        {"single shift 3 cut", euc_to_sjis_text, "\x8F\xB0", false, ""},
        {"lead at the end from euc", euc_to_sjis_text, "\xC6", false, ""},
        {"not a euc pair", euc_to_sjis_text, "\xFF\xFF", true, "\x81\x48"},
        {"broken euc keeps the line end", euc_to_sjis_text, "\xC6\nx", true, "\x81\x48\r\nx"},
        // Downloads from ISO-2022-JP servers.
        {"old jis and roman", jis_to_sjis_text, "\x1B$@" + nihon_jis + "\x1B(J\\\n", true,
         nihon_sjis + "\\\r\n"},
        {"kana from jis", jis_to_sjis_text, esc_kana + "\x31" + esc_ascii + "1", true,
         "\xB1"
         "1"},
        {"unknown escape ignored", jis_to_sjis_text, "\x1B$(" + std::string("x"), true, "x"},
        {"cut escape", jis_to_sjis_text, "a\x1B(", false, ""},
        {"cut pair", jis_to_sjis_text, esc_jis + "\x46", false, ""},
        {"line end inside double-byte mode", jis_to_sjis_text, esc_jis + nihon_jis + "\r\n" + nihon_jis, true,
         nihon_sjis + "\r\n" + nihon_sjis},
    };
    for (const conversion_case& c : cases) {
        std::string out = "stale";
        bool ok = c.convert(c.in, out);
        EXPECT_EQ(ok, c.ok) << c.what;
        if (ok && c.ok) {
            EXPECT_EQ(out, c.out) << c.what;
        }
        // Texts are converted in pieces: the same case with each of its bytes at a piece's end.
        for (std::size_t shift = 1; shift <= c.in.size(); ++shift) {
            const std::string ascii(charset_piece_size - shift, 'a');
            ok = c.convert(ascii + c.in, out);
            EXPECT_EQ(ok, c.ok) << c.what << " cut after " << shift;
            if (ok && c.ok) {
                EXPECT_TRUE(out == ascii + c.out) << c.what << " cut after " << shift;
            }
        }
    }
}

TEST(Charset, CodeArithmetic)
{
    // Every double-byte code is checked against iconv natively; here the codes outside their ranges.
    for (unsigned s : {0x817Fu, 0x8130u, 0x8040u, 0xA040u, 0xFD40u, 0x41u})
        EXPECT_EQ(sjis_to_jis(s), 0u) << std::hex << s;
    for (unsigned j : {0x2020u, 0x217Fu, 0x7F21u})
        EXPECT_EQ(jis_to_sjis(j), 0u) << std::hex << j;
    for (unsigned k : {0xA0u, 0xE0u})
        EXPECT_EQ(kana_to_full_width(k), 0u) << std::hex << k;
}

TEST(Charset, FilesAreReplacedOnlyOnSuccess)
{
    temp_dir dir;
    std::string file = dir.file("text.txt");
    ASSERT_TRUE(write_text_file(file, nihon_sjis + "\r\n"));
    EXPECT_TRUE(convert_sjis_to_euc(file));
    EXPECT_EQ(os::read_file(file).value_or(""), nihon_euc + "\n");
    EXPECT_TRUE(convert_euc_to_sjis(file));
    EXPECT_EQ(os::read_file(file).value_or(""), nihon_sjis + "\r\n");
    EXPECT_TRUE(convert_kana_to_full_width(file));
    EXPECT_TRUE(convert_sjis_to_jis(file));
    EXPECT_EQ(os::read_file(file).value_or(""), esc_jis + nihon_jis + esc_ascii + "\r\n");
    EXPECT_TRUE(convert_jis_to_sjis(file));
    EXPECT_EQ(os::read_file(file).value_or(""), nihon_sjis + "\r\n");

    // A text cut in the middle of a character is a failure and the file stays as it was.
    std::string cut = "abc\x93";
    ASSERT_TRUE(write_text_file(file, cut));
    EXPECT_FALSE(convert_sjis_to_euc(file));
    EXPECT_FALSE(convert_sjis_to_jis(file));
    EXPECT_EQ(os::read_file(file).value_or(""), cut);

    EXPECT_FALSE(convert_euc_to_sjis(dir.file("missing.txt")));
    EXPECT_FALSE(os::path_exists(dir.file("missing.txt")));

    // No work file is left beside it, after successes and failures alike.
    EXPECT_EQ(tree_names(dir.path()), std::set<std::string>{"text.txt"});
}
