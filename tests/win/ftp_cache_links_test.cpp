// Run by tests/win/ftp_cache_links.sh (KV_LINKS_DIR): caches in p/ftp_dir hold Unix links to
// outside/, which Wine shows as reparse points but cannot make itself.
#include "ftp/server_registry.h"
#include "platform/os.h"

#include <gtest/gtest.h>

TEST(FtpCacheLinks, DISABLED_TheExitCleanUpChangesNothingALinkLeadsTo)
{
    auto dir = os::get_env("KV_LINKS_DIR");
    ASSERT_TRUE(dir && !dir->empty()) << "KV_LINKS_DIR is not set";
    remove_dropped_caches(*dir + "/p/ftp.ini", *dir + "/p/");
    EXPECT_TRUE(os::path_exists(*dir + "/outside/keep.txt"));
    // Wine cannot remove a Unix link to a directory (it removes the directory it leads to or
    // nothing): the links stay, and so does the cache directory holding one.
    EXPECT_TRUE(os::path_exists(*dir + "/p/ftp_dir/held/in/keep.txt"));
}
