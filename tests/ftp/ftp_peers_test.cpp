// The FTP client against real servers started by tests/ftp/ftp_peers.sh (a ctest fixture):
// pyftpdlib (MLSD, MLST, MDTM in UTC, SIZE only in TYPE I) and vsftpd (no MLSD; once with SIZE
// and MDTM denied). Their roots hold a.txt (6 bytes), big.bin (102407 bytes), docs/b.bin
// (2048 bytes) and pub/, all dated 2010-05-03 12:34:56 UTC.
#include "ftp/ftp_listing.h"
#include "ftp/listing_cache.h"
#include "ftp/listing_time.h"
#include "ftp_client.h"
#include "platform/os.h"
#include "support/ftp_peers.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// The cache file's entries sorted, joined by '|': "name=d" for a directory, else "name=size/time"
// as the cache file holds them.
std::string cache_entries(const std::string& path)
{
    std::set<std::string> entries;
    const std::string text = file_text(path);
    for (std::string_view line : cache_split_lines(text)) {
        cache_entry e = cache_parse_line(line);
        if (e.is_entry && e.name != ".")
            entries.insert(
                e.name + "=" +
                (e.is_directory ? std::string("d") : e.size_text + "/" + e.time_text.substr(0, 14)));
    }
    return joined(strings(entries.begin(), entries.end()));
}

} // namespace

// Each way of listing against the server that needs it; every row also asks SIZE of a file.
TEST(FtpPeers, Listings)
{
    struct row {
        const char* server;
        const char* directory;
        const char* probed; // the flags FEAT gives; "": no probe
        const char* flags;  // as the listing starts
        const char* flags_after;
        const char* size_of;
        int size_code;
        std::string entries;
    };
    // Its MLSD line, facts and all, is longer than a cache line.
    const std::string longest = std::string(192, 'n') + ".txt=6/20100503";
    const row rows[] = {
        // The root has no parent entry; the time is the server's UTC.
        {"pyftpdlib", "/", "1111111", "11111", "11111", "a.txt", ftp_ok,
         "a.txt=6/20100503123456|big.bin=102407/20100503123456|docs=d|pub=d"},
        {"pyftpdlib", "/docs/", "", "11111", "11111", "b.bin", ftp_ok,
         "..=d|b.bin=2048/20100503123456|" + longest + "123456"},
        // FEAT, although HELP would claim MLSD; a stale MLSD flag is answered 500 and the next way
        // taken. use_localtime=NO: MDTM in UTC.
        {"vsftpd", "/", "1001101", "11111", "10111", "a.txt", ftp_ok,
         "a.txt=6/20100503123456|big.bin=102407/20100503123456|docs=d|pub=d"},
        // SIZE and MDTM denied: old entries of the long listing show their year, the day at 00:00.
        {"vsftpd_denied", "/docs/", "", "10000", "10000", "b.bin", ftp_error_reply,
         "..=d|b.bin=2048/20100503000000|" + longest + "000000"},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(std::string(r.server) + " " + r.directory);
        peer p = find_peer(r.server);
        ASSERT_NE(p.port, 0);
        temp_dir cache;
        ftp_capabilities probed{}, flags = caps(r.flags);
        int size_code = -1;
        const bool root = std::string(r.directory) == "/";
        std::size_t unstored = 1;
        client_run run = run_client(
            [&](thread_net& w, NetSocket& c) {
                int code = ftp_login(w, c, "127.0.0.1", p.port, p.user, p.password, r.directory);
                if (code != ftp_ok)
                    return code;
                code = *r.probed ? ftp_probe(w, c, probed) : ftp_ok;
                size_code = ftp_size(w, c, r.size_of);
                if (code == ftp_ok)
                    code =
                        ftp_list_directory(w, c, local_zone(), cache.file("dir.lst"), !root, flags, unstored);
                ftp_logout(w, c);
                return code;
            },
            {.log = false});
        ASSERT_EQ(run.code, ftp_ok);
        EXPECT_EQ(unstored, 0u);
        EXPECT_EQ(probed, caps(r.probed));
        EXPECT_EQ(flags, caps(r.flags_after));
        EXPECT_EQ(size_code, r.size_code);
        EXPECT_EQ(cache_entries(cache.file("dir.lst")), r.entries);
        EXPECT_EQ(os::is_directory(cache.file("docs")), root);
    }
}
