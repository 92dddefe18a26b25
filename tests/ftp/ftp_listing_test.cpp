// Listing a remote directory into its cache file, against scripted servers: the way chosen by
// the flags, the fall-back when a listing command is unknown, and the parent entry.
#include "ftp/ftp_listing.h"
#include "ftp/listing_time.h"
#include "ftp_client.h"
#include "platform/os.h"
#include "support/ftp_script_server.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using strings = std::vector<std::string>;

namespace {

void serve_login(script_session& s)
{
    s.send("220 ready\r\n");
    s.expect("USER kv", "331 pw\r\n");
    s.expect("PASS pw", "230 ok\r\n");
    s.expect("TYPE I", "200 ok\r\n");
}

// One passive listing: PASV, the command, the lines on the data connection, 226.
void serve_listing(script_session& s, const std::string& command, const std::string& lines)
{
    s.expect("PASV", s.listen_passive());
    s.expect(command, "150 listing\r\n");
    if (s.accept_data())
        s.data_send(lines);
    s.data_close();
    s.send("226 done\r\n");
}

struct listing_result {
    int code = -1;
    ftp_capabilities flags;
    std::string cache; // the cache file, or "<missing>"
    strings commands;
};

listing_result list_with(const std::function<void(script_session&)>& serve, ftp_capabilities flags,
                         bool not_root, const temp_dir& dir)
{
    ftp_script_server server([&](script_session& s) {
        serve_login(s);
        serve(s);
        s.wait_for_close();
    });
    listing_result result;
    const std::string cache = dir.file("dir.lst");
    client_options options;
    options.log = false;
    client_run run = run_client(
        [&](thread_net& w, NetSocket& c) {
            int code = ftp_login(w, c, "127.0.0.1", server.port(), "kv", "pw", "/");
            return code ? code : ftp_list_directory(w, c, local_zone(), cache, not_root, flags);
        },
        options);
    result.code = run.code;
    result.flags = flags;
    auto data = os::read_file(cache);
    result.cache = data ? *data : "<missing>";
    result.commands = server.commands();
    result.commands.erase(result.commands.begin(), result.commands.begin() + 3);
    return result;
}

} // namespace

TEST(FtpListDirectory, MlsdIsStoredAsItCameWithItsParentEntry)
{
    temp_dir dir;
    const std::string mlsd = "type=cdir;modify=20100101000000; .\r\n"
                             "type=pdir;modify=20100101000000; ..\r\n"
                             "type=dir;modify=20100503123456; docs\r\n"
                             "type=file;size=12;modify=20100503123456; a.txt\r\n";
    listing_result r =
        list_with([&](script_session& s) { serve_listing(s, "MLSD", mlsd); }, {1, 1, 1, 1, 1}, true, dir);
    EXPECT_EQ(r.code, ftp_ok);
    EXPECT_EQ(r.commands, (strings{"PASV", "MLSD"}));
    EXPECT_EQ(r.cache, mlsd); // the pdir line is the parent entry: no second ".."
    EXPECT_TRUE(os::is_directory(dir.file("docs")));
}

TEST(FtpListDirectory, UnknownMlsdFallsBackToNlstWithSizeAndMdtm)
{
    temp_dir dir;
    listing_result r = list_with(
        [](script_session& s) {
            s.expect("PASV", s.listen_passive());
            s.expect("MLSD", "500 Unknown command.\r\n");
            serve_listing(s, "NLST -aFL", "./\r\n../\r\ndocs/\r\nrun.sh*\r\nlink@\r\n");
            s.expect("SIZE run.sh", "213 42\r\n");
            s.expect("MDTM run.sh", "213 20100503123456\r\n");
        },
        {1, 1, 1, 1, 1}, true, dir);
    EXPECT_EQ(r.code, ftp_ok);
    EXPECT_EQ(r.commands, (strings{"PASV", "MLSD", "PASV", "NLST -aFL", "SIZE run.sh", "MDTM run.sh"}));
    EXPECT_EQ(r.flags, (ftp_capabilities{1, 0, 1, 1, 1}));
    EXPECT_EQ(r.cache, "Type=dir docs\r\nType=file;Size=42;Modify=20100503123456 run.sh\r\nType=pdir ..\r\n");
}

TEST(FtpListDirectory, LongListingAtTheRootHasNoParentEntry)
{
    temp_dir dir;
    listing_result r = list_with(
        [](script_session& s) {
            serve_listing(s, "NLST -alL",
                          "total 8\r\n"
                          "drwxr-xr-x    2 0        0            4096 Jan 02  2009 .\r\n"
                          "drwxr-xr-x    2 0        0            4096 Feb 12  2009 docs\r\n"
                          "-rw-r--r--    1 0        0               6 Mar 03  2008 a.txt\r\n"
                          "lrwxrwxrwx    1 0        0               6 Mar 03  2008 link -> a.txt\r\n");
        },
        {1, 0, 0, 0, 0}, false, dir);
    EXPECT_EQ(r.code, ftp_ok);
    EXPECT_EQ(r.commands, (strings{"PASV", "NLST -alL"}));
    EXPECT_EQ(r.cache,
              "Type=dir;Modify=20090212000000 docs\r\nType=file;Size=6;Modify=20080303000000 a.txt\r\n");
}

TEST(FtpListDirectory, UnknownNlstOptionsFallBackToTheLongListing)
{
    temp_dir dir;
    listing_result r = list_with(
        [](script_session& s) {
            s.expect("PASV", s.listen_passive());
            s.expect("NLST -aFL", "501 bad options\r\n");
            serve_listing(s, "NLST -alL", "-rw-r--r-- 1 0 0 6 Mar 03  2008 a.txt\r\n");
        },
        {1, 0, 0, 1, 1}, true, dir);
    EXPECT_EQ(r.code, ftp_ok);
    EXPECT_EQ(r.commands, (strings{"PASV", "NLST -aFL", "PASV", "NLST -alL"}));
    EXPECT_EQ(r.cache, "Type=file;Size=6;Modify=20080303000000 a.txt\r\nType=pdir ..\r\n");
}

TEST(FtpListDirectory, LongOwnerNamesDoNotDropAnEntry)
{
    // An ls line over a cache line's length still names a short entry.
    temp_dir dir;
    const std::string owner(120, 'o'), group(120, 'g');
    const std::string line = "-rw-r--r-- 1 " + owner + " " + group + " 6 Mar 03  2008 b.txt\r\n";
    ASSERT_GT(line.size(), 255u);
    listing_result r = list_with([&](script_session& s) { serve_listing(s, "NLST -alL", line); },
                                 {1, 0, 0, 0, 0}, false, dir);
    EXPECT_EQ(r.code, ftp_ok);
    EXPECT_EQ(r.cache, "Type=file;Size=6;Modify=20080303000000 b.txt\r\n");
}

TEST(FtpListDirectory, AFailureLeavesNoCacheFile)
{
    temp_dir dir;
    ASSERT_TRUE(write_text_file(dir.file("dir.lst"), "Type=file;Size=1 stale\r\n"));
    listing_result r = list_with(
        [](script_session& s) {
            serve_listing(s, "NLST -aFL", "a.txt\r\nb.txt\r\n");
            s.expect("SIZE a.txt", "213 1\r\n");
            s.expect("MDTM a.txt", "213 20100503123456\r\n");
            s.expect("SIZE b.txt", "550 Permission denied.\r\n");
        },
        {1, 0, 0, 1, 1}, true, dir);
    EXPECT_EQ(r.code, ftp_error_reply);
    EXPECT_EQ(r.commands, (strings{"PASV", "NLST -aFL", "SIZE a.txt", "MDTM a.txt", "SIZE b.txt"}));
    EXPECT_EQ(r.cache, "<missing>"); // listed again next time, never shown half
}
