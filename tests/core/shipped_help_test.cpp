// dist/kelvasto.txt: CR LF code page 932; each dialog's section starts at its line, stays in range, fits.
#include "fileops/help_text.h"
#include "platform/code_page.h"
#include "platform/os.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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
    ASSERT_TRUE(os::cp932_to_utf8(text)); // code page 932 that reads back as itself, no UTF-8

    const std::string section_mark = os::utf8_to_cp932("■").value_or("?");
    struct section {
        int first, count;
        const char* heading;
    };
    const section sections[] = {{206, 72, "■オプション設定"},
                                {279, 104, "■拡張子別プログラム"},
                                {384, 84, "■手動プログラム"},
                                {469, 73, "■FTPサーバ設定"}};
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; at < text.size(); at = end + 2) {
        end = std::min(text.find("\r\n", at), text.size());
        lines.push_back(text.substr(at, end - at));
    }
    for (const section& s : sections) {
        ASSERT_LE(s.first + s.count - 1, static_cast<int>(lines.size())) << s.first;
        EXPECT_EQ(lines[s.first - 1], os::utf8_to_cp932(s.heading).value_or("?")) << "line " << s.first;
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
