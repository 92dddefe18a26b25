// The Win32 side of the settings: environment expansion.
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
