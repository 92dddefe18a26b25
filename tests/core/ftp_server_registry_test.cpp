// ftp.ini: sections and keys, stored passwords, zones, start directories, text files, capabilities.
#include "ftp/server_registry.h"
#include "platform/os.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <optional>
#include <string>
#include <utility>

class ftp_ini : public ::testing::Test {
protected:
    temp_dir dir;
    std::string path = dir.file("ftp.ini");
};

TEST(ftp_registry, passwords_stored_and_read)
{
    const struct {
        std::string typed;
        std::optional<std::string> stored;
    } cases[] = {
        {"", ""},
        {"abc", "?\x3E\x3D\x3C"},
        // A password beginning with '?' is scrambled too, or it would read back changed.
        {"?abc", "?\x60\x3E\x3D\x3C"},
        {std::string(200, 'a'), "?" + std::string(127, '\x3E')},
        // Bytes whose stored form would break the line or be trimmed from its end.
        {"a\x92z", std::nullopt},
        {"a\x95z", std::nullopt},
        {"a\x9Fz", std::nullopt},
        {"ab\x7F", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(scramble_password(c.typed), c.stored);
        if (c.stored) {
            EXPECT_EQ(unscramble_password(*c.stored), c.typed.substr(0, 127));
        }
    }
}

TEST(ftp_registry, zone_entries_and_values)
{
    const struct {
        const char* text;
        std::optional<std::size_t> entry;
        int value;
    } cases[] = {
        {"-12:00", 0, -1200}, {"-09:30", 5, -930},  {"-00:30", 23, -30},           {"+00:00", 24, 0},
        {"+09:00", 42, 900},  {"+12:00", 48, 1200}, {"+05:45", std::nullopt, 545}, {"", std::nullopt, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(time_zone_entry(c.text), c.entry);
        EXPECT_EQ(time_zone_value(c.text), c.value);
        if (c.entry) {
            EXPECT_EQ(time_zone_text(*c.entry), c.text);
        }
    }
    EXPECT_EQ(charset_entry("euc-jp"), 1u);
    EXPECT_EQ(charset_entry("SJIS"), std::nullopt);
}

TEST(ftp_registry, start_directories)
{
    const struct {
        std::string typed, saved;
    } cases[] = {
        {"", "/"},
        {"/", "/"},
        {"pub", "/pub/"},
        {"/pub", "/pub/"},
        {"pub/x/", "/pub/x/"},
        {std::string(300, 'a'), "/" + std::string(253, 'a') + "/"},
        // A cut through a double-byte character drops its lead byte.
        {std::string(252, 'a') + "\x83\x41", "/" + std::string(252, 'a') + "/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(normalize_start_directory(c.typed), c.saved) << c.typed;
}

TEST(ftp_registry, text_files)
{
    const char* list = ".cgi.css.htm.html.pl.txt";
    const struct {
        const char *name, *extensions;
        bool text;
    } cases[] = {
        {"a.txt", list, true},    {"A.TXT", list, true},  {"a.b.pl", list, true},  {"a.htm", list, true},
        {".profile", list, true}, {".profile", "", true}, {"a.h", list, false},    {"a.tx", list, false},
        {"README", list, false},  {"a.", list, false},    {"a.txt", "txt", false}, {"x.bin", list, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(is_text_file(c.name, c.extensions), c.text) << c.name << " in " << c.extensions;
}

TEST_F(ftp_ini, sections_sorted_deleted_and_at_most_99)
{
    FtpServerEntry e;
    e.server = "h";
    for (const char* title : {"c", "a", "b"})
        ASSERT_TRUE(server_save(path, title, e));
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(server_title(path, i), std::string(1, static_cast<char>('a' + i)));
    std::string first = "[a]\r\nserver=h\r\ntimezone=+09:00\r\ncharset=Shift_JIS\r\nport=21\r\nid=\r\n"
                        "password=\r\nstart directory=/\r\nkeep dirlist=+\r\nsecurity=none\r\n"
                        "name charset=auto\r\nprotect password=-\r\n[b]\r\n";
    EXPECT_EQ(os::read_file(path).value_or("").substr(0, first.size()), first);
    EXPECT_TRUE(server_exists(path, "b") && !server_exists(path, "B"));
    ASSERT_TRUE(server_delete(path, "b"));
    ASSERT_TRUE(server_delete(path, "a"));
    EXPECT_EQ(server_title(path, 0), "c");
    ASSERT_TRUE(server_delete(path, "c"));
    EXPECT_FALSE(os::path_exists(path));
    std::string text;
    for (int i = 0; i < 99; ++i)
        text += "[s" + std::to_string(100 + i) + "]\r\nserver=h\r\n";
    ASSERT_TRUE(write_text_file(path, text));
    EXPECT_FALSE(server_save(path, "t", FtpServerEntry{}));
    EXPECT_TRUE(server_save(path, "s150", FtpServerEntry{}));
    EXPECT_EQ(server_count(path), 99u);
}

TEST_F(ftp_ini, defaults_and_the_exit_clean_up)
{
    ASSERT_TRUE(write_text_file(path, "[a]\nserver=h\n[b]\nkeep dirlist=OFF\n[c]\nkeep dirlist=on\n"
                                      "[..]\nkeep dirlist=-\n[..\\..]\n"));
    FtpServerEntry a = server_read(path, "a");
    EXPECT_EQ(a.timezone + a.charset + a.port + a.start_directory, "+09:00Shift_JIS21/");
    EXPECT_TRUE(a.keep_dirlist);
    ASSERT_TRUE(os::make_directory(dir.file("ftp_dir")));
    for (const char* title : {"a", "b", "c"})
        ASSERT_TRUE(os::make_directory(dir.file("ftp_dir/") + title));
    // A server without the key loses its cache; titles ".." and "..\\.." never reach the program
    // directory or above it (links inside a cache: tests/win/ftp_cache_links.sh).
    remove_dropped_caches(path, dir.path() + "/");
    EXPECT_FALSE(os::path_exists(dir.file("ftp_dir/a")));
    EXPECT_FALSE(os::path_exists(dir.file("ftp_dir/b")));
    EXPECT_TRUE(os::path_exists(dir.file("ftp_dir/c")));
    EXPECT_TRUE(os::path_exists(path));
}

TEST_F(ftp_ini, operation_parameters)
{
    ASSERT_TRUE(write_text_file(path, "[s]\nserver=h\ntimezone=-09:30\nport=2121\npassword=?\x3E\x3D\x3C\n"
                                      "[t]\nport=99999\n[u]\nid=x\n"));
    auto s = server_operation_params(path, "/p/", "s", "ftp://h/pub/", "typed");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->server + s->charset + s->password + s->directory, "hShift_JISabc/pub/");
    EXPECT_EQ(std::make_pair(s->zone, s->port), std::make_pair(-930, 2121));
    EXPECT_EQ(s->cache_file, "/p/ftp_dir/s/pub/dir.lst");
    auto u = server_operation_params(path, "/p/", "u", "ftp://h/", "typed");
    ASSERT_TRUE(u);
    EXPECT_EQ(u->password + u->directory + u->id, "typed/x");
    EXPECT_EQ(u->port, 21);
    EXPECT_FALSE(server_operation_params(path, "/p/", "t", "ftp://h/", "")); // port beyond 65535
    EXPECT_FALSE(server_operation_params(path, "/p/", "x", "ftp://h/", ""));
}

TEST(ftp_registry, capability_cache)
{
    temp_dir dir;
    EXPECT_EQ(support_ini_path("/p/", "t"), "/p/ftp_dir/t/support.ini");
    std::string path = dir.file("support.ini");
    ftp_capabilities flags{1, 1, 1, 1, 1, 0, epsv_works};
    read_support(path, flags);
    EXPECT_EQ(flags, (ftp_capabilities{0, 1, 1, 1, 1, 0, epsv_unknown}));
    ASSERT_TRUE(write_support(path, {0, 1, 0, 0, 1, 0, epsv_unknown}));
    read_support(path, flags);
    EXPECT_EQ(flags, (ftp_capabilities{1, 1, 0, 0, 1, 0, epsv_unknown}));
    ASSERT_TRUE(write_text_file(path, "[support]\nMLSD=ON\n"));
    read_support(path, flags);
    EXPECT_EQ(flags, (ftp_capabilities{1, 1, 0, 1, 1, 0, epsv_unknown}));
    EXPECT_FALSE(write_support(dir.file("none/support.ini"), flags));

    // An EPSV refused since the file was written is added and read back refused; one it names stays.
    flags[flag_epsv] = epsv_refused;
    ASSERT_TRUE(keep_support(path, flags));
    read_support(path, flags);
    EXPECT_EQ(flags, (ftp_capabilities{1, 1, 0, 1, 1, 0, epsv_refused}));
    flags[flag_epsv] = epsv_works;
    ASSERT_TRUE(keep_support(path, flags));
    read_support(path, flags);
    EXPECT_EQ(flags[flag_epsv], epsv_refused);
    // A refused REST is kept beside the flags. A new file gets the probed flags first, or it would
    // read as a server with the defaults; unprobed flags keep nothing.
    EXPECT_FALSE(support_rest_refused(path));
    ASSERT_TRUE(remember_rest_refused(path, flags));
    EXPECT_TRUE(support_rest_refused(path));
    const std::string fresh = dir.file("fresh.ini");
    EXPECT_FALSE(remember_rest_refused(fresh, {0, 1, 1, 1, 1}));
    EXPECT_FALSE(os::path_exists(fresh));
    ASSERT_TRUE(remember_rest_refused(fresh, {1, 1, 0, 1, 0}));
    read_support(fresh, flags);
    EXPECT_EQ(flags, (ftp_capabilities{1, 1, 0, 1, 0}));
    EXPECT_TRUE(support_rest_refused(fresh));
}

TEST_F(ftp_ini, security_hosts_and_certificates)
{
    ASSERT_TRUE(write_text_file(path, "[a]\nsecurity=explicit\n[b]\nsecurity=implicit\n[c]\nsecurity=tls\n"
                                      "[d]\nserver=h\n[e]\nsecurity=none\n"));
    std::string modes;
    for (const char* title : {"a", "b", "c", "d", "e", "missing"})
        modes += std::to_string(static_cast<int>(server_security(path, title)));
    EXPECT_EQ(modes, "120000"); // an unknown value and a missing key are plain FTP
    struct host_row {
        const char* server;
        const char* host; // "" refused
    };
    const host_row hosts[] = {{"[::1]", "::1"}, {"::1", "::1"}, {"127.0.0.1", "127.0.0.1"}, {"[::1", ""},
                              {"::1]", ""},     {"[]", ""},     {"[127.0.0.1]", ""}};
    for (const host_row& r : hosts)
        EXPECT_EQ(server_host(r.server), r.host) << r.server;

    std::array<std::uint8_t, 32> sha{};
    for (std::size_t i = 0; i < sha.size(); ++i)
        sha[i] = static_cast<std::uint8_t>(i * 8 + 10);
    const std::string text = fingerprint_text(sha);
    EXPECT_EQ(text.size(), 95u);
    EXPECT_EQ(text.substr(0, 12), "0A:12:1A:22:");
    std::string lower = text;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    struct match_row {
        std::string stored;
        certificate_match match;
    };
    const match_row matches[] = {
        {text, certificate_match::same},
        {lower, certificate_match::same},
        {"", certificate_match::none_stored},
        {text.substr(0, 94), certificate_match::changed}, // a prefix is another certificate
        {text + ":00", certificate_match::changed},
        {"0B" + text.substr(2), certificate_match::changed},
    };
    for (const match_row& r : matches)
        EXPECT_EQ(match_certificate(r.stored, sha), r.match) << r.stored;

    // Accepting always keeps the fingerprint in the server's own section.
    EXPECT_TRUE(server_set_certificate(path, "b", text));
    EXPECT_FALSE(server_set_certificate(path, "missing", text));
    auto b = server_operation_params(path, "/p/", "b", "ftp://h/", "");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->certificate + "|" + b->title, text + "|b");
    EXPECT_EQ(b->security, tls_mode::implicit_tls);
}
