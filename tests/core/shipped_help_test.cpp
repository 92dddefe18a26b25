// The shipped help text, dist/kelvasto.txt: code page 932 with CR LF, and each section a dialog
// opens begins at its line, stays inside its range and fits the help window.
#include "base/cp932.h"
#include "fileops/help_text.h"
#include "platform/os.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Position of the first byte that is no character of code page 932, or npos. Lead bytes without
// characters (0x85, 0x86, 0xEB, 0xEC, 0xEF and the user-defined 0xF0 to 0xF9) count as invalid:
// text saved as UTF-8 by mistake soon meets one of them.
std::size_t first_invalid_cp932(const std::string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c == 0x85 || c == 0x86 || c == 0xEB || c == 0xEC || (c >= 0xEF && c <= 0xF9))
            return i;
        if (is_lead_byte(c)) {
            auto t = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
            if (t < 0x40 || t == 0x7F || t > 0xFC)
                return i;
            ++i;
        } else if (c == 0x80 || c == 0xA0 || c >= 0xFD || (c < 0x20 && c != '\r' && c != '\n')) {
            return i;
        }
    }
    return std::string::npos;
}

TEST(ShippedHelp, sections_begin_at_their_lines_and_fit_the_help_window)
{
    auto content = os::read_file(std::string(KV_SOURCE_DIR) + "/dist/kelvasto.txt");
    ASSERT_TRUE(content.has_value());
    const std::string& text = *content;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool pair = text[i] == '\r' ? i + 1 < text.size() && text[i + 1] == '\n'
                                    : text[i] != '\n' || (i > 0 && text[i - 1] == '\r');
        ASSERT_TRUE(pair) << "a line end without CR LF at byte " << i;
    }
    ASSERT_EQ(first_invalid_cp932(text), std::string::npos);

    const std::string section_mark = "\x81\xa1"; // ■
    struct section {
        int first, count;
        const char* heading;
    };
    const section sections[] = {
        // ■オプション設定
        {206, 72, "\x81\xa1\x83\x49\x83\x76\x83\x56\x83\x87\x83\x93\x90\xdd\x92\xe8"},
        // ■拡張子別プログラム
        {279, 104, "\x81\xa1\x8a\x67\x92\xa3\x8e\x71\x95\xca\x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80"},
        // ■手動プログラム
        {384, 84, "\x81\xa1\x8e\xe8\x93\xae\x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80"},
        // ■FTPサーバ設定
        {469, 73, "\x81\xa1\x46\x54\x50\x83\x54\x81\x5b\x83\x6f\x90\xdd\x92\xe8"},
    };
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; at < text.size(); at = end + 2) {
        end = std::min(text.find("\r\n", at), text.size());
        lines.push_back(text.substr(at, end - at));
    }
    for (const section& s : sections) {
        ASSERT_LE(s.first + s.count - 1, static_cast<int>(lines.size())) << s.first;
        EXPECT_EQ(lines[s.first - 1], s.heading) << "line " << s.first;
        for (int n = s.first + 1; n < s.first + s.count; ++n)
            EXPECT_NE(lines[n - 1].rfind(section_mark, 0), 0u) << "another section at line " << n;
        // After the range: blank lines up to the next section, or to the end.
        for (std::size_t n = s.first + s.count; n <= lines.size(); ++n) {
            if (lines[n - 1].rfind(section_mark, 0) == 0)
                break;
            EXPECT_EQ(lines[n - 1], "") << "the section at line " << s.first << " runs on at " << n;
        }
        EXPECT_TRUE(help_lines(text, s.first, s.count).has_value()) << "line " << s.first;
    }
}

} // namespace
