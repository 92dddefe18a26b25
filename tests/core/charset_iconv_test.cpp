// The charset arithmetic against the C library's iconv for every JIS X 0208 character, every
// Shift_JIS double-byte code and the half-width katakana; native only (no iconv on Windows).
#ifndef _WIN32

#include "ftp/charset.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <optional>
#include <string>

namespace {

class converter {
public:
    converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~converter()
    {
        if (valid())
            iconv_close(cd_);
    }
    converter(const converter&) = delete;
    converter& operator=(const converter&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // The whole input converted, or nothing when iconv refuses any of it.
    std::optional<std::string> operator()(const std::string& in)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out(in.size() * 4 + 16, '\0');
        char* src = const_cast<char*>(in.data());
        std::size_t src_left = in.size();
        char* dst = out.data();
        std::size_t dst_left = out.size();
        if (iconv(cd_, &src, &src_left, &dst, &dst_left) == static_cast<std::size_t>(-1) || src_left != 0)
            return std::nullopt;
        if (iconv(cd_, nullptr, nullptr, &dst, &dst_left) == static_cast<std::size_t>(-1))
            return std::nullopt;
        out.resize(out.size() - dst_left);
        return out;
    }

private:
    iconv_t cd_;
};

std::string pair_bytes(unsigned code)
{
    return std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

// One character through every conversion and back, against the library's ISO-2022-JP (`iso_lib`, LF).
void expect_round_trips(const std::string& sjis, const std::string& euc, converter& iso_lib)
{
    std::string out;
    ASSERT_TRUE(euc_to_sjis_text(euc, out));
    EXPECT_EQ(out, sjis);
    ASSERT_TRUE(sjis_to_euc_text(sjis, out));
    EXPECT_EQ(out, euc);
    std::optional<std::string> iso = iso_lib(sjis + "\n");
    ASSERT_TRUE(iso);
    ASSERT_TRUE(sjis_to_jis_text(sjis + "\n", out));
    EXPECT_EQ(out, iso->substr(0, iso->size() - 1) + "\r\n");
    ASSERT_TRUE(jis_to_sjis_text(*iso, out));
    EXPECT_EQ(out, sjis + "\r\n");
}

} // namespace

TEST(CharsetIconv, EveryJisX0208CharacterBothWays)
{
    converter euc_to_sjis_lib("SHIFT_JIS", "EUC-JP");
    converter sjis_to_jis_lib("ISO-2022-JP", "SHIFT_JIS");
    ASSERT_TRUE(euc_to_sjis_lib.valid() && sjis_to_jis_lib.valid());
    int characters = 0;
    for (unsigned row = 0x21; row <= 0x7E; ++row) {
        for (unsigned cell = 0x21; cell <= 0x7E; ++cell) {
            unsigned jis = (row << 8) | cell;
            std::string euc = pair_bytes(jis + 0x8080);
            std::optional<std::string> sjis = euc_to_sjis_lib(euc);
            if (!sjis) {
                // Not a JIS X 0208 character: an upload never produces it.
                EXPECT_EQ(sjis_to_jis(jis_to_sjis(jis)), 0u) << std::hex << jis;
                continue;
            }
            ++characters;
            SCOPED_TRACE(testing::PrintToString(euc));
            expect_round_trips(*sjis, euc, sjis_to_jis_lib);
            if (HasFatalFailure())
                return;
        }
    }
    EXPECT_EQ(characters, 6879); // JIS X 0208:1990
}

TEST(CharsetIconv, EveryShiftJisDoubleByteCode)
{
    // Codes the library's Shift_JIS lacks (vendor rows of code page 932, unassigned) become full-width '?'.
    converter sjis_to_euc_lib("EUC-JP", "SHIFT_JIS");
    converter cp932_lib("UTF-8", "CP932");
    ASSERT_TRUE(sjis_to_euc_lib.valid() && cp932_lib.valid());
    int vendor = 0;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead > 0x9F && lead < 0xE0)
            continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F)
                continue;
            std::string sjis = pair_bytes((lead << 8) | trail);
            SCOPED_TRACE(testing::PrintToString(sjis));
            std::optional<std::string> euc = sjis_to_euc_lib(sjis);
            std::string out;
            ASSERT_TRUE(sjis_to_euc_text(sjis, out));
            if (euc) {
                EXPECT_EQ(out, *euc);
            } else {
                EXPECT_EQ(out, pair_bytes(replacement_euc));
                ASSERT_TRUE(sjis_to_jis_text(sjis, out));
                EXPECT_EQ(out, "\x1B$B\x21\x29\x1B(B");
                if (cp932_lib(sjis))
                    ++vendor;
            }
        }
    }
    // Row 13 (83), NEC-selected IBM (374), IBM (388), user-defined (1880), and more.
    EXPECT_GT(vendor, 83 + 374 + 388 + 1880 - 1);
}

TEST(CharsetIconv, HalfWidthKatakana)
{
    converter sjis_to_euc_lib("EUC-JP", "SHIFT_JIS");
    converter sjis_to_utf8("UTF-8", "SHIFT_JIS");
    // Plain ISO-2022-JP has no katakana set; the -3 variant switches to it with ESC ( I.
    converter sjis_to_iso_lib("ISO-2022-JP-3", "SHIFT_JIS");
    ASSERT_TRUE(sjis_to_euc_lib.valid() && sjis_to_utf8.valid() && sjis_to_iso_lib.valid());
    // What each half-width katakana becomes in full width, in Unicode; voiced marks stand alone.
    const std::string expected_full_width = "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタ"
                                            "チツテトナニヌネノハヒフヘホマミムメモ"
                                            "ヤユヨラリルレロワン゛゜";
    std::string full_width_utf8;
    for (unsigned c = 0xA1; c <= 0xDF; ++c) {
        std::string kana(1, static_cast<char>(c));
        SCOPED_TRACE(testing::PrintToString(kana));
        std::optional<std::string> euc = sjis_to_euc_lib(kana);
        ASSERT_TRUE(euc);
        expect_round_trips(kana, *euc, sjis_to_iso_lib);
        ASSERT_FALSE(HasFatalFailure());
        std::string out;
        ASSERT_TRUE(kana_to_full_width_text(kana, out));
        ASSERT_EQ(out.size(), 2u);
        std::optional<std::string> utf8 = sjis_to_utf8(out);
        ASSERT_TRUE(utf8);
        full_width_utf8 += *utf8;
    }
    EXPECT_EQ(full_width_utf8, expected_full_width);
}

#endif
