// The options dialog's checks: command letters, the two stored lists, the network folders handed back.
#include "app/option_rules.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(OptionRules, CommandLetters)
{
    for (const char* valid : {"DPFKNACWMSE", "AAAAAAAAAAA"})
        EXPECT_TRUE(key_letters_valid(valid)) << valid;
    for (const char* refused : {"dpfknacwmse", "DPFKNACWMSEX", "DPFKNACWMS", "DPFKNACWMS1", "DPFKNACWMS@",
                                "DPFKNACWMS[", "DPFKNAC MSE", ""})
        EXPECT_FALSE(key_letters_valid(refused)) << refused;
}

TEST(OptionRules, Lists)
{
    EXPECT_EQ(join_netdrive({"//host/dir/", "//server/share/"}), "//host/dir/://server/share/");
    EXPECT_EQ(join_text_extensions({"cgi", "txt"}), ".cgi.txt");
    // The 32768-byte buffer takes whole entries only: the one that does not fit is left out.
    std::string big(list_buffer_size - 10, 'x');
    EXPECT_EQ(join_netdrive({"//" + big, "//a/b/"}), "//" + big + "://a/b/");
    EXPECT_EQ(join_netdrive({"//" + big, "//srv/share/"}), "//" + big);
    EXPECT_EQ(join_text_extensions({big, "htm", "html"}), "." + big + ".htm");

    EXPECT_EQ(text_extension_entries(".cgi.css.htm.html.pl.txt"),
              (std::vector<std::string>{"cgi", "css", "htm", "html", "pl", "txt"}));
    EXPECT_EQ(text_extension_entries("txt.c"), std::vector<std::string>{});
    EXPECT_EQ(text_extension_entries(".a..\x83\x5c."),
              (std::vector<std::string>{"a", "\x83\x5c"})); // trail 0x5C
}

TEST(OptionRules, NetworkFolders)
{
    for (const char* nethood : {"C:/Users/me/NetHood", "C:/Users/me/NetHood/"}) {
        EXPECT_TRUE(directly_inside("C:/Users/me/NetHood/share on srv", nethood));
        EXPECT_TRUE(directly_inside("c:/users/ME/nethood/share on srv", nethood));
        for (const char* refused : {"C:/Users/me/NetHood/share on srv/sub", "C:/Users/me/NetHood/",
                                    "C:/Users/me/NetHoodX/share", "//srv/share"})
            EXPECT_FALSE(directly_inside(refused, nethood)) << refused;
    }
    EXPECT_EQ(network_folder_entry("\\\\srv\\share").value_or(""), "//srv/share/");
    EXPECT_EQ(network_folder_entry("//srv/share/").value_or(""), "//srv/share/");
    for (const char* refused :
         {"\\\\srv\\", "\\\\srv", "\\\\\\share", "C:\\Users\\me\\NetHood\\share on srv"})
        EXPECT_FALSE(network_folder_entry(refused)) << refused;
}
