// The FTP client against real servers started by tests/ftp/ftp_peers.sh (a ctest fixture):
// pyftpdlib (MLSD, MLST, MDTM in UTC, SIZE only in TYPE I) and vsftpd (no MLSD; once with SIZE
// and MDTM denied). Their roots hold a.txt (6 bytes), big.bin (102407 bytes), docs/b.bin
// (2048 bytes) and pub/, all dated 2010-05-03 12:34:56 UTC.
#include "ftp/ftp_listing.h"
#include "ftp/listing_cache.h"
#include "ftp/listing_time.h"
#include "ftp_client.h"
#include "platform/os.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#ifndef KV_FTP_PEERS_FILE
#define KV_FTP_PEERS_FILE ""
#endif

namespace {

struct peer {
    int port = 0;
    std::string root; // as this program opens it
    std::string user;
    std::string password;
};

// A path the servers' machine gave, as this program opens it (under Wine the Unix root is Z:).
std::string local_form(const std::string& unix_path)
{
#ifdef _WIN32
    return "Z:" + unix_path;
#else
    return unix_path;
#endif
}

// The server of that name from the fixture's list; a missing list or server fails the test.
peer find_peer(const std::string& name)
{
    peer found;
    auto list = os::read_file(local_form(KV_FTP_PEERS_FILE));
    if (!list) {
        ADD_FAILURE() << "no FTP servers: run the FTP tests through ctest (fixture ftp_peers_start), "
                         "or tests/ftp/ftp_peers.sh start first; list expected at " KV_FTP_PEERS_FILE;
        return found;
    }
    std::istringstream lines(*list);
    std::string n, root;
    int port = 0;
    while (lines >> n >> port >> root)
        if (n == name) {
            found.port = port;
            found.root = local_form(root);
            found.user = name == "pyftpdlib" ? "kv" : "anonymous";
            found.password = name == "pyftpdlib" ? "pw" : "kv@example.com";
        }
    if (found.port == 0)
        ADD_FAILURE() << "FTP server " << name << " is not in " KV_FTP_PEERS_FILE;
    return found;
}

client_run on_peer(const peer& p, const std::string& directory,
                   const std::function<int(thread_net&, NetSocket&)>& body, bool log = false)
{
    client_options options;
    options.log = log;
    return run_client(
        [&](thread_net& w, NetSocket& c) {
            int code = ftp_login(w, c, "127.0.0.1", p.port, p.user, p.password, directory);
            if (code != ftp_ok)
                return code;
            code = body(w, c);
            ftp_logout(w, c);
            return code;
        },
        options);
}

// name → "d" for a directory, else "size/time" as the cache file holds them.
std::map<std::string, std::string> cache_entries(const std::string& path)
{
    std::map<std::string, std::string> entries;
    auto data = os::read_file(path);
    if (!data)
        return entries;
    for (std::string_view line : cache_split_lines(*data)) {
        cache_entry e = cache_parse_line(line);
        if (!e.is_entry || e.name == ".")
            continue;
        entries[e.name] = e.is_directory ? std::string("d") : e.size_text + "/" + e.time_text.substr(0, 14);
    }
    return entries;
}

// A name of its own per test program run, so parallel runs never meet on a server.
std::string unique_name(const char* stem)
{
    temp_dir scratch;
    std::string tail = scratch.path().substr(scratch.path().size() - 8);
    return std::string(stem) + "_" + tail + ".bin";
}

const std::string utc_time = "20100503123456";

} // namespace

TEST(FtpPeers, PyftpdlibProbeTimesAndSizes)
{
    peer p = find_peer("pyftpdlib");
    ASSERT_NE(p.port, 0);
    ftp_capabilities flags{};
    std::string mdtm, mlst, size;
    // The local zone as the server's: the times come back as the server sent them (UTC).
    const int zone = local_zone();
    client_run run = on_peer(p, "/", [&](thread_net& w, NetSocket& c) {
        int code = ftp_probe(w, c, flags);
        code = code ? code : ftp_modify_time(w, c, "a.txt", zone);
        mdtm = std::string(c.payload() + 4, 14);
        code = code ? code : ftp_mlst_time(w, c, "a.txt", zone);
        mlst = std::string(c.payload() + 4, 14);
        code = code ? code : ftp_size(w, c, "a.txt");
        size = c.payload();
        return code;
    });
    EXPECT_EQ(run.code, ftp_ok);
    EXPECT_EQ(flags, (ftp_capabilities{1, 1, 1, 1, 1}));
    EXPECT_EQ(mdtm, utc_time);
    EXPECT_EQ(mlst, utc_time);
    EXPECT_EQ(size, "213 6\r\n");
}

TEST(FtpPeers, PyftpdlibListingWithMlsd)
{
    peer p = find_peer("pyftpdlib");
    ASSERT_NE(p.port, 0);
    temp_dir cache;
    ftp_capabilities flags{1, 1, 1, 1, 1};
    client_run run = on_peer(p, "/", [&](thread_net& w, NetSocket& c) {
        return ftp_list_directory(w, c, local_zone(), cache.file("dir.lst"), false, flags);
    });
    ASSERT_EQ(run.code, ftp_ok);
    auto root = cache_entries(cache.file("dir.lst"));
    EXPECT_EQ(root["a.txt"], "6/" + utc_time);
    EXPECT_EQ(root["big.bin"], "102407/" + utc_time);
    EXPECT_EQ(root["docs"], "d");
    EXPECT_EQ(root.count(".."), 0u); // the root has no parent entry
    EXPECT_TRUE(os::is_directory(cache.file("docs")));

    run = on_peer(p, "/docs/", [&](thread_net& w, NetSocket& c) {
        return ftp_list_directory(w, c, local_zone(), cache.file("docs/dir.lst"), true, flags);
    });
    ASSERT_EQ(run.code, ftp_ok);
    auto docs = cache_entries(cache.file("docs/dir.lst"));
    EXPECT_EQ(docs["b.bin"], "2048/" + utc_time);
    EXPECT_EQ(docs[".."], "d");
}

TEST(FtpPeers, PyftpdlibDownloadUploadAndPassword)
{
    peer p = find_peer("pyftpdlib");
    ASSERT_NE(p.port, 0);
    temp_dir local;
    const std::string up = unique_name("up");
    const std::string content = std::string(3000, 'u') + "\r\nend";
    ASSERT_TRUE(write_text_file(local.file(up), content));
    client_run run = on_peer(
        p, "/docs/",
        [&](thread_net& w, NetSocket& c) {
            int code = ftp_transfer_receive(w, c, "RETR b.bin", local.file("b.bin"));
            code = code ? code : ftp_change_dir(w, c, "..");
            code = code ? code : ftp_change_dir(w, c, "pub");
            code = code ? code : ftp_transfer_send(w, c, "STOR " + up, local.file(up));
            return code;
        },
        true);
    EXPECT_EQ(run.code, ftp_ok);
    EXPECT_EQ(file_text(local.file("b.bin")), file_text(p.root + "/docs/b.bin"));
    EXPECT_EQ(file_text(p.root + "/pub/" + up), content);
    EXPECT_EQ(run.dots(), 2 + 3); // 2048 bytes down, 3005 up

    run = on_peer(p, "/pub/", [&](thread_net& w, NetSocket& c) { return ftp_delete(w, c, up); });
    EXPECT_EQ(run.code, ftp_ok);
    EXPECT_FALSE(os::path_exists(p.root + "/pub/" + up));

    client_options quiet;
    quiet.log = false;
    run = run_client(
        [&](thread_net& w, NetSocket& c) { return ftp_login(w, c, "127.0.0.1", p.port, "kv", "wrong", "/"); },
        quiet);
    EXPECT_EQ(run.code, ftp_bad_password);
}

TEST(FtpPeers, VsftpdWithoutMlsdListsWithNlstSizeAndMdtm)
{
    peer p = find_peer("vsftpd");
    ASSERT_NE(p.port, 0);
    temp_dir cache;
    ftp_capabilities probed{};
    // A stale MLSD flag: the server answers 500 and the next way is taken.
    ftp_capabilities flags{1, 1, 1, 1, 1};
    client_run run = on_peer(p, "/", [&](thread_net& w, NetSocket& c) {
        int code = ftp_probe(w, c, probed);
        return code ? code : ftp_list_directory(w, c, local_zone(), cache.file("dir.lst"), false, flags);
    });
    ASSERT_EQ(run.code, ftp_ok);
    EXPECT_EQ(probed, (ftp_capabilities{1, 0, 0, 1, 1})); // FEAT, although HELP would claim MLSD
    EXPECT_EQ(flags[flag_mlsd], 0);
    auto root = cache_entries(cache.file("dir.lst"));
    EXPECT_EQ(root["a.txt"], "6/" + utc_time); // use_localtime=NO: MDTM in UTC
    EXPECT_EQ(root["big.bin"], "102407/" + utc_time);
    EXPECT_EQ(root["docs"], "d");
    EXPECT_EQ(root["pub"], "d");
    EXPECT_EQ(root.count(".."), 0u);
}

TEST(FtpPeers, VsftpdTransfersWholeFiles)
{
    peer p = find_peer("vsftpd");
    ASSERT_NE(p.port, 0);
    temp_dir local;
    const std::string up = unique_name("vs");
    std::string content;
    for (int i = 0; i < 5000; ++i)
        content += static_cast<char>(i * 7);
    ASSERT_TRUE(write_text_file(local.file(up), content));
    ASSERT_TRUE(write_text_file(local.file("big.bin"), "kept until the download is complete"));
    client_run run = on_peer(p, "/", [&](thread_net& w, NetSocket& c) {
        int code = ftp_transfer_receive(w, c, "RETR big.bin", local.file("big.bin"));
        code = code ? code : ftp_change_dir(w, c, "/pub/");
        code = code ? code : ftp_transfer_send(w, c, "STOR " + up, local.file(up));
        code = code ? code : ftp_transfer_receive(w, c, "RETR " + up, local.file("back.bin"));
        int missing = ftp_transfer_receive(w, c, "RETR no-such-file", local.file("big.bin"));
        return code ? code : (missing == ftp_error_reply ? ftp_ok : missing);
    });
    EXPECT_EQ(run.code, ftp_ok);
    EXPECT_EQ(file_text(local.file("big.bin")), std::string(100 * 1024 + 7, 'k'));
    EXPECT_EQ(file_text(local.file("back.bin")), content);
    EXPECT_EQ(file_text(p.root + "/pub/" + up), content);
}

TEST(FtpPeers, VsftpdWithDeniedSizeAndMdtmUsesTheLongListing)
{
    peer p = find_peer("vsftpd_denied");
    ASSERT_NE(p.port, 0);
    temp_dir cache;
    ftp_capabilities flags{1, 0, 0, 0, 0};
    int size_code = -1;
    client_run run = on_peer(p, "/docs/", [&](thread_net& w, NetSocket& c) {
        size_code = ftp_size(w, c, "b.bin");
        return ftp_list_directory(w, c, local_zone(), cache.file("dir.lst"), true, flags);
    });
    ASSERT_EQ(run.code, ftp_ok);
    EXPECT_EQ(size_code, ftp_error_reply);
    auto docs = cache_entries(cache.file("dir.lst"));
    // Old entries show their year: the day at 00:00, as the listing gives it.
    EXPECT_EQ(docs["b.bin"], "2048/20100503000000");
    EXPECT_EQ(docs[".."], "d");
    EXPECT_EQ(docs.size(), 2u);
}
