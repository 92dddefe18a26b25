// The Win32 side of the settings: environment expansion, mark menu texts.
#include "settings/layout.h"
#include "settings/layout_win.h"
#include "settings/settings.h"
#include "settings/settings_win.h"

#include <gtest/gtest.h>

TEST(SettingsWin, ExpandEnv)
{
    ASSERT_TRUE(SetEnvironmentVariableA("KV_TOOLS", "C:\\Tools"));
    std::string out;
    ASSERT_TRUE(expand_env(out, 256, "%KV_TOOLS%\\view.exe"));
    EXPECT_EQ(out, "C:\\Tools\\view.exe");
    // Wine counts 17 bytes and the terminator; Windows documents a possible extra byte for ANSI.
    EXPECT_TRUE(expand_env(out, 18, "%KV_TOOLS%\\view.exe"));
    EXPECT_FALSE(expand_env(out, 17, "%KV_TOOLS%\\view.exe"));
    ASSERT_TRUE(expand_env(out, 256, "%KV_NOT_SET%"));
    EXPECT_EQ(out, "%KV_NOT_SET%"); // an unknown variable stays as it is written
}

TEST(SettingsWin, MarkMenuTexts)
{
    HMENU menu = CreatePopupMenu();
    for (int i = 0; i < 12; ++i) {
        AppendMenuA(menu, MF_STRING, first_set_mark_command + i, "set");
        AppendMenuA(menu, MF_STRING, first_go_to_mark_command + i, "go");
    }
    update_mark_menu_text(menu, 4, "C:/\x83\x5C/");
    update_mark_menu_text(menu, 9, "D:/");
    char text[64];
    GetMenuStringA(menu, first_set_mark_command + 4, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, " 5 C:/\x83\x5C/");
    GetMenuStringA(menu, first_go_to_mark_command + 4, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, " 5 C:/\x83\x5C/");
    GetMenuStringA(menu, first_go_to_mark_command + 9, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "10 D:/");
    GetMenuStringA(menu, first_go_to_mark_command + 3, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "go");
    DestroyMenu(menu);
}
