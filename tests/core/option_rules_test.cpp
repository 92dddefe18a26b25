// The options dialog's checks as tables: the command letters, the two lists as the settings file
// stores them, and the folders the network-folder browser may hand back.
#include "app/option_rules.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string joined(const std::vector<std::string>& v)
{
    std::string out;
    for (const std::string& s : v)
        out += s + "|";
    return out;
}

} // namespace

TEST(OptionRules, CommandLetters)
{
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"DPFKNACWMSE", true},  {"AAAAAAAAAAA", true},
        {"dpfknacwmse", false}, {"DPFKNACWMSEX", false},
        {"DPFKNACWMS", false},  {"DPFKNACWMS1", false},
        {"DPFKNACWMS@", false}, {"DPFKNACWMS[", false},
        {"DPFKNAC MSE", false}, {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(key_letters_valid(c.text), c.valid) << c.text;
}

TEST(OptionRules, Lists)
{
    EXPECT_EQ(join_netdrive({"//host/dir/", "//server/share/"}), "//host/dir/://server/share/");
    EXPECT_EQ(join_netdrive({}), "");
    EXPECT_EQ(join_text_extensions({"cgi", "txt"}), ".cgi.txt");
    // The 32768-byte buffer takes whole entries only: the one that does not fit is left out.
    std::string big(list_buffer_size - 10, 'x');
    EXPECT_EQ(join_netdrive({"//" + big, "//a/b/"}), "//" + big + "://a/b/");
    EXPECT_EQ(join_netdrive({"//" + big, "//srv/share/"}), "//" + big);
    EXPECT_EQ(join_text_extensions({big, "htm", "html"}), "." + big + ".htm");

    const struct {
        const char* setting;
        const char* entries;
    } cases[] = {
        {".cgi.css.htm.html.pl.txt", "cgi|css|htm|html|pl|txt|"},
        {".txt", "txt|"},
        {"txt.c", ""},
        {"", ""},
        {".a..b.", "a|b|"},
        {".\x83\x5c.c", "\x83\x5c|c|"}, // a trail byte 0x5C
    };
    for (const auto& c : cases)
        EXPECT_EQ(joined(text_extension_entries(c.setting)), c.entries) << c.setting;
}

TEST(OptionRules, NetworkFolders)
{
    const std::string nethood = "C:/Users/me/NetHood";
    const struct {
        const char* path;
        bool chosen;
    } folders[] = {
        {"C:/Users/me/NetHood/share on srv", true},
        {"c:/users/ME/nethood/share on srv", true},
        {"C:/Users/me/NetHood/share on srv/sub", false},
        {"C:/Users/me/NetHood", false},
        {"C:/Users/me/NetHood/", false},
        {"C:/Users/me/NetHoodX/share", false},
        {"C:/Users/me", false},
        {"//srv/share", false},
    };
    for (const auto& f : folders) {
        EXPECT_EQ(directly_inside(f.path, nethood), f.chosen) << f.path;
        EXPECT_EQ(directly_inside(f.path, nethood + "/"), f.chosen) << f.path;
    }

    const struct {
        const char* path;
        const char* entry; // null: not a network folder
    } shares[] = {
        {"\\\\srv\\share", "//srv/share/"},
        {"//srv/share/", "//srv/share/"},
        {"\\\\srv\\share\\sub", "//srv/share/sub/"},
        {"\\\\srv\\", nullptr},
        {"\\\\srv", nullptr},
        {"\\\\\\share", nullptr},
        {"C:\\Users\\me\\NetHood\\share on srv", nullptr},
        {"", nullptr},
    };
    for (const auto& s : shares) {
        auto entry = network_folder_entry(s.path);
        EXPECT_EQ(entry.value_or("(none)"), s.entry ? s.entry : "(none)") << s.path;
    }
}
