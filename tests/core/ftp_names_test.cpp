// Server names and code page 932, the UTF8 feature, stored password forms and the server's new keys.
#include "ftp/ftp_reply.h"
#include "ftp/listing_cache.h"
#include "ftp/name_charset.h"
#include "ftp/server_registry.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

TEST(ftp_names, utf8_and_code_page_932)
{
    const struct {
        const char* utf8;
        std::optional<std::string> cp932;
    } cases[] = {
        {"plain.txt", "plain.txt"},
        {"\xE6\x97\xA5\xE6\x9C\xAC.txt", "\x93\xFA\x96\x7B.txt"}, // 日本.txt
        {"\xEF\xBD\xB1\xEF\xBE\x9E", "\xB1\xDE"},                 // half-width ｱﾞ
        {"\xE3\x82\xBD", "\x83\x5C"},                             // ソ: its trail byte is a backslash
        {"\xF0\xA0\xAE\xB7", std::nullopt},                       // 𠮷: outside the code page
        {"\xE3\x80\x9C", std::nullopt},                           // WAVE DASH: 0x8160 reads back as U+FF5E
        {"\xFF", std::nullopt},                                   // no UTF-8
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(name_from_server(c.utf8, true), c.cp932);
        if (c.cp932) {
            EXPECT_EQ(name_to_server(*c.cp932, true), c.utf8);
        }
    }
    // 0x8790, the NEC copy of ≒, would come back from the server as 0x81E0: no form there.
    EXPECT_EQ(name_to_server("\x87\x90", true), std::nullopt);
    EXPECT_EQ(name_to_server("\x87\x90", false), "\x87\x90");
    EXPECT_EQ(name_to_server("a\x93", true), std::nullopt);
    // A Shift_JIS server's names: only the code page's own characters, each standing for itself.
    const struct {
        const char* sjis;
        bool kept;
    } sjis_cases[] = {
        {"\x83\x5C.txt", true}, {"\x87\x90", false}, {"\xC6\xFC\xCB\xDC", false}, {"a\x93", false}};
    for (const auto& c : sjis_cases)
        EXPECT_EQ(name_from_server(c.sjis, false).has_value(), c.kept) << c.sjis;
    EXPECT_EQ(name_for_report("\xC6\xFC\xCB\xDC", false), "\xC6?\xDC");
}

TEST(ftp_names, unmappable_names_keep_a_line_that_is_no_entry)
{
    EXPECT_EQ(name_for_report("a\xF0\xA0\xAE\xB7\xE6\x97\xA5\r", true), "a?\x93\xFA?");
    std::string line = no_cp932_cache_line("\xF0\xA0\xAE\xB7.txt", true);
    EXPECT_EQ(no_cp932_line_name(line), "?.txt");
    EXPECT_FALSE(cache_parse_line(line).is_entry);
    EXPECT_EQ(no_cp932_line_name("Type=file;Size=1 a.txt\r\n"), std::nullopt);
    // A long name is cut to a cache line, never into a lone lead byte.
    std::string long_line = no_cp932_cache_line(std::string(400, 'a') + "\xE6\x97\xA5", true);
    EXPECT_LE(long_line.size(), cache_line_limit);
    EXPECT_EQ(cache_split_lines(long_line).size(), 1u);
}

TEST(ftp_names, feature_and_choice_decide_utf8)
{
    const struct {
        const char* feature_line;
        const char* choice;
        bool utf8;
    } cases[] = {
        {" UTF8\r\n", "auto", true}, {" utf8", "", true},     {" UTF8", "sjis", false},
        {" MDTM", "auto", false},    {" MDTM", "utf8", true}, {"UTF8", "auto", false}, // not a middle line
        {" UTF8X", "auto", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.feature_line);
        feature_set features;
        parse_feature_line(c.feature_line, std::strlen(c.feature_line), features);
        EXPECT_EQ(names_in_utf8(c.choice, features.utf8), c.utf8) << c.choice;
    }
}

TEST(ftp_names, stored_password_forms)
{
    // No scrambled form of any password begins with the protected mark.
    for (int b = 1; b < 256; ++b) {
        std::optional<std::string> stored = scramble_password(std::string(1, static_cast<char>(b)) + "pw");
        if (stored) {
            EXPECT_EQ(stored_password_form(*stored), password_form::scrambled) << b;
        }
    }
    EXPECT_EQ(scramble_password(std::string("a\0b", 3)), std::nullopt);
    const struct {
        std::string stored;
        password_form form;
        std::string text;
    } cases[] = {
        {"", password_form::empty, ""},
        {"plain", password_form::plain, "plain"},
        {"?\x3E\x3D\x3C", password_form::scrambled, "abc"},
        // Protected data that cannot be read here (another user, a damaged line) is no password.
        {std::string(protected_password_prefix) + "01D08C9DDF0115D1", password_form::protected_form, ""},
        {std::string(protected_password_prefix) + "0", password_form::protected_form, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(stored_password_form(c.stored), c.form);
        EXPECT_EQ(stored_password_text(c.stored), c.text);
    }
#ifdef _WIN32
    std::optional<std::string> stored = protect_password("secret-pw");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored_password_form(*stored), password_form::protected_form);
    EXPECT_EQ(stored->find("secret"), std::string::npos);
    EXPECT_EQ(stored_password_text(*stored), "secret-pw");
#else
    // Natively there is no protection: never a readable form in its place.
    EXPECT_EQ(protect_password("pw"), std::nullopt);
#endif
}

TEST(ftp_names, new_keys_and_their_defaults)
{
    temp_dir dir;
    std::string path = dir.file("ftp.ini");
    ASSERT_TRUE(
        write_text_file(path, "[old]\r\nserver=h\r\n[odd]\r\nserver=h\r\nsecurity=TLS\r\nname charset=EUC\r\n"
                              "[set]\r\nserver=h\r\nsecurity=Implicit\r\nname charset=utf8\r\n"
                              "protect password=+\r\n"));
    const struct {
        const char* title;
        const char* security;
        const char* name_charset;
        bool protect;
    } cases[] = {
        {"old", "none", "auto", false}, {"odd", "none", "auto", false}, {"set", "implicit", "utf8", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        FtpServerEntry e = server_read(path, c.title);
        EXPECT_EQ(e.security, c.security);
        EXPECT_EQ(e.name_charset, c.name_charset);
        EXPECT_EQ(e.protect_password, c.protect);
    }
    const struct {
        const char* port;
        const char* security;
        const char* shown;
    } ports[] = {{"21", "implicit", "990"},
                 {"990", "none", "21"},
                 {"2121", "implicit", "2121"},
                 {"990", "implicit", "990"}};
    for (const auto& p : ports)
        EXPECT_EQ(port_for_security(p.port, p.security), p.shown) << p.port << " " << p.security;
}
