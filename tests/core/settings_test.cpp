// kelvasto.ini: a new file's bytes, reading with defaults, colours, key letters, lists, the dialog's write.
#include "platform/os.h"
#include "settings/settings.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

const std::string font_name = "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E"; // ＭＳ ゴシック
const std::string font_style = "\x95\x57\x8F\x80";                                 // 標準

const std::string new_file = "[switch]\r\nconfirm copy=+\r\nconfirm move=+\r\nuse trash=+\r\n"
                             "[string]\r\nnetdrive=\r\ntext viewer=%WINDIR%\\notepad.exe\r\n"
                             "text extension=.cgi.css.htm.html.pl.txt\r\n"
                             "[font]\r\nname=" +
                             font_name +
                             "\r\nsize=-12\r\npoint=9\r\nbold=400\r\nitalic=-\r\n"
                             "style=" +
                             font_style +
                             "\r\n"
                             "[color]\r\nback source=0:0:64\r\nback target=0:0:0\r\ntext system=255:0:0\r\n"
                             "text hidden=0:0:255\r\ntext readonly=0:255:0\r\ntext directory=0:255:255\r\n"
                             "text unknown=255:255:0\r\ntext normal=255:255:255\r\n"
                             "[key]\r\nselect drive=D\r\nedit wildcard=P\r\nopen menu file=F\r\n"
                             "make directory=K\r\nmake file=N\r\nmark all=A\r\ncompare=C\r\n"
                             "open dual window=W\r\nmask system file=M\r\nopen menu sort=S\r\n"
                             "open menu program=E\r\n";

// Every setting as one text: the defaults a missing key reads as must be the new file's values.
std::string all_of(const app_settings& s)
{
    std::string t = std::to_string(s.confirm_copy) + std::to_string(s.confirm_move) +
                    std::to_string(s.use_trash) + s.text_viewer + "|" + s.font_name + "|" + s.font_style +
                    "|" + std::to_string(s.font_size) + "," + std::to_string(s.font_point) + "," +
                    std::to_string(s.font_weight) + std::to_string(s.font_italic);
    for (color_value c : s.colors)
        t += ":" + std::to_string(c);
    return t + std::string(s.key_letters.begin(), s.key_letters.end());
}

} // namespace

class Settings : public ::testing::Test {
protected:
    temp_dir dir;
    std::string path = dir.file("kelvasto.ini");
};

TEST_F(Settings, NewFileBytesAndDefaults)
{
    ASSERT_TRUE(ensure_settings_file(path, font_name, font_style));
    EXPECT_EQ(os::read_file(path).value_or(""), new_file);
    settings() = app_settings{};
    load_settings(path, font_name, font_style);
    const std::string from_new_file = all_of(settings());
    EXPECT_EQ(read_netdrive_list(path), "");
    EXPECT_EQ(read_text_extension_list(path), ".cgi.css.htm.html.pl.txt");

    // An existing file is never touched, even an empty one; its missing keys read as defaults.
    ASSERT_TRUE(write_text_file(path, ""));
    ASSERT_TRUE(ensure_settings_file(path, font_name, font_style));
    EXPECT_EQ(os::read_file(path).value_or("-"), "");
    settings() = app_settings{};
    load_settings(path, font_name, font_style);
    EXPECT_EQ(all_of(settings()), from_new_file);
    EXPECT_FALSE(ensure_settings_file(dir.file("missing/kelvasto.ini"), font_name, font_style));
}

TEST_F(Settings, ValuesAsWritten)
{
    ASSERT_TRUE(write_text_file(path, "[switch]\nconfirm copy=on\nconfirm move=OFF\nuse trash=yes\n"
                                      "[string]\ntext viewer=C:\\Tools\\\x83\x5C\\view.exe\n"
                                      "netdrive=//server/share/://host/dir/\ntext extension=txt\n"
                                      "[font]\nsize=x\nitalic=+\n"
                                      "[color]\nback source=255\n"
                                      "[key]\nselect drive=XY\nedit wildcard=\n"));
    load_settings(path, font_name, font_style);
    const app_settings& s = settings();
    EXPECT_TRUE(s.confirm_copy);
    EXPECT_FALSE(s.confirm_move);
    EXPECT_FALSE(s.use_trash);
    EXPECT_EQ(s.text_viewer, "C:/Tools/\x83\x5C/view.exe"); // ソ's trail byte stays
    EXPECT_EQ(s.font_size, 0);
    EXPECT_TRUE(s.font_italic);
    EXPECT_EQ(s.colors[color_back_source], 0xFFu);
    EXPECT_EQ(s.key_letters[key_select_drive], 'X');
    EXPECT_EQ(s.key_letters[key_edit_wildcard], '\0');
    EXPECT_EQ(s.key_letters[key_open_menu_file], 'F');
    EXPECT_EQ(read_netdrive_list(path), "//server/share/://host/dir/");
    EXPECT_EQ(read_text_extension_list(path), "txt");
    EXPECT_EQ(read_netdrive_list(path, 8), "//serve");
}

TEST_F(Settings, Colors)
{
    struct {
        const char* text;
        color_value expected;
    } cases[] = {
        {"0:0:64", 64u << 16}, // blue: red comes first
        {"300:0:0", 44},       {":5:6", 5u << 8 | 6u << 16},
        {"-1:0:0", 255},       {"255", 255},
        {"1:2", 1 | 2u << 8},  {"", 0},
        {"a:b:c", 0},          {"1:2:3:4", 1 | 2u << 8 | 3u << 16},
    };
    for (auto& c : cases)
        EXPECT_EQ(parse_color(c.text), c.expected) << c.text;
    EXPECT_EQ(format_color(parse_color("12:34:56")), "12:34:56");
}

TEST_F(Settings, SaveWritesEveryKeyInOrder)
{
    ASSERT_TRUE(ensure_settings_file(path, font_name, font_style));
    settings_values v;
    v.confirm_copy = false;
    v.netdrive = "//a/b/";
    v.text_viewer = "C:\\bin\\v.exe";
    v.text_extension = ".txt";
    v.font_name = "Arial";
    v.font_size = -16;
    v.font_point = 12;
    v.font_weight = 700;
    v.font_italic = true;
    v.font_style = "Bold";
    for (std::size_t i = 0; i < color_count; ++i)
        v.colors[i] = std::to_string(i) + ":0:0";
    for (std::size_t i = 0; i < key_letter_count; ++i)
        v.key_letters[i] = static_cast<char>('a' + i);
    ASSERT_TRUE(save_settings(path, v));
    load_settings(path, font_name, font_style);
    const app_settings& s = settings();
    EXPECT_FALSE(s.confirm_copy);
    EXPECT_EQ(s.text_viewer, "C:/bin/v.exe");
    EXPECT_EQ(s.font_name + s.font_style + std::to_string(s.font_size) + std::to_string(s.font_point) +
                  std::to_string(s.font_weight) + std::to_string(s.font_italic),
              "ArialBold-16127001");
    EXPECT_EQ(s.colors[color_text_normal], 7u);
    EXPECT_EQ(std::string(s.key_letters.begin(), s.key_letters.end()), "abcdefghijk");
    EXPECT_EQ(read_netdrive_list(path), "//a/b/");
    std::string text = os::read_file(path).value_or("");
    EXPECT_NE(text.find("text viewer=C:/bin/v.exe\r\n"), std::string::npos);
    EXPECT_LT(text.find("[switch]"), text.find("[key]")); // sections keep their places
}
