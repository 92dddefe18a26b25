// Listing a remote directory into its cache file against scripted servers: the ways, the fall-backs,
// the parent entry, hostile names and very large listings. Each run checks the commands, the result,
// the cache file, the names a pane shows and the whole temporary tree (nothing outside the cache).
#include "ftp/ftp_listing.h"
#include "ftp/listing_cache.h"
#include "ftp/listing_time.h"
#include "ftp_client.h"
#include "platform/code_page.h"
#include "support/temp_dir.h"
#include "support/tree_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <new>
#include <set>

namespace {

struct listing_run {
    int code = -1;
    std::size_t unstored = 0;
    ftp_capabilities flags; // as the listing left them
    std::string cache;      // "<missing>" when there is none
    strings commands;       // after the log-in
    strings shown;          // the names a pane would show, in file order
    std::set<std::string> tree;
};

// Lists "/pub/" of the server titled "srv" into its cache below a fresh temporary directory,
// over a stale cache file when asked.
listing_run run_listing(const script& serve, ftp_capabilities flags, bool not_root = true, bool stale = false)
{
    temp_dir dir;
    const std::string cache_path = dir.file("ftp_dir/srv/pub/dir.lst");
    EXPECT_TRUE(cache_make_directories(dir.path() + "/", "srv", "/pub/"));
    if (stale) {
        EXPECT_TRUE(write_text_file(cache_path, "Type=file;Size=1 stale\r\n"));
    }
    std::size_t unstored = 0;
    scripted_run run = run_scripted(
        [&](script_session& s) {
            serve(s);
            s.wait_for_close();
        },
        [&](thread_net& w, NetSocket& c) {
            return ftp_list_directory(w, c, local_zone(), cache_path, not_root, flags, unstored);
        },
        {.log = false});
    EXPECT_EQ(run.problems, strings{});
    listing_run r{run.client.code,       unstored, flags, file_text(cache_path), run.commands, {},
                  tree_names(dir.path())};
    for (const cache_entry& e : cache_read_entries(cache_path, !not_root))
        r.shown.push_back(e.name);
    return r;
}

// The tree every listing leaves: the cache directories, the cache file and the listed
// directories' cache subdirectories (joined by '|'), nothing else.
std::set<std::string> cache_tree(const std::string& subdirectories, bool with_cache = true)
{
    std::set<std::string> t{"ftp_dir/", "ftp_dir/srv/", "ftp_dir/srv/pub/"};
    if (with_cache)
        t.insert("ftp_dir/srv/pub/dir.lst");
    for (std::size_t at = 0; at < subdirectories.size();) {
        std::size_t end = std::min(subdirectories.find('|', at), subdirectories.size());
        std::string name = subdirectories.substr(at, end - at);
#ifdef _WIN32
        // The file system iterator gives Windows names in UTF-8.
        name = os::cp932_to_utf8(name).value_or(name);
#endif
        t.insert("ftp_dir/srv/pub/" + name + "/");
        at = end + 1;
    }
    return t;
}

// Names that must never become a path, a cache line or a command of their own. 0x95 0x5C and
// 0x83 0x5C are Shift_JIS characters whose second byte is '\'; 0xC6 0xFC 0xCB 0xDC is EUC-JP.
const std::string sjis = "\x95\x5C\x8E\xA6", sjis_so = "\x83\x5C", euc = "\xC6\xFC\xCB\xDC";

} // namespace

TEST(FtpListDirectory, WaysFallBacksAndHostileNames)
{
    // One common server writes 157 bytes of facts: a name of 120 bytes still fits the cache.
    const std::string facts =
        "modify=20100503123456;perm=adfrw;size=7;type=file;unique=FD00U12;UNIX.group=1000;"
        "UNIX.groupname=staff;UNIX.mode=0644;UNIX.owner=1000;UNIX.ownername=kelvasto;";
    ASSERT_EQ(facts.size(), 157u);
    const std::string name120(120, 'n'), name240(240, 'm');
    const std::string mlsd = "type=cdir;modify=20100101000000; .\r\n"
                             "type=pdir;modify=20100101000000; ..\r\n"
                             "type=dir;modify=20100503123456; docs\r\n"
                             "type=file;size=12;modify=20100503123456; a.txt\r\n" +
                             facts + " " + name120 + "\r\n" + "type=file;size=1; " + name240 + "\r\n" +
                             facts + " " + std::string(listing_line_limit, 'x') + "\r\n";
    // The cache's own file names as remote names.
    const std::string own_names =
        "type=dir; dir.lst\r\ntype=dir; dir.lst.kv~\r\ntype=file;size=1; dir.$$$\r\n";
    // An ls line over a cache line's length still names a short entry.
    const std::string long_owner =
        "-rw-r--r-- 1 " + std::string(120, 'o') + " " + std::string(120, 'g') + " 6 Mar 03  2008 b.txt\r\n";
    ASSERT_GT(long_owner.size(), 255u);
    // Hostile names in each listing form, one of each kind (the parsers' own tables hold the other
    // path forms).
    const std::string hostile_mlsd =
        std::string("type=cdir; /srv/pub\r\n") + "type=dir;modify=20100503123456; docs\r\n" +
        "type=dir; ../../escape\r\n" + "type=dir; ...\r\n" + "type=dir; " + sjis_so + "\r\n" + "type=dir; " +
        euc + "\r\n" + "type=dir; Type=dir\r\n" + "type=file;size=3; Type=dir\r\n" +
        "type=file;size=4; Size=5\r\n" + "type=file;size=5; Type=file;Size=9 x\r\n" + "type=file;size=6; " +
        sjis + ".txt\r\n" + "type=file;size=7; ctl\x01name\r\n" + "type=file;size=8; del\x7F\r\n" +
        "type=file;size=9; cr\rDELE important\r\n" + "type=file;size=10; tab\tname\r\n" +
        "type=file;size=11; ..\r\n";
    const std::string hostile_nlst =
        "./\r\n../\r\ndocs/\r\n../../escape/\r\n.../\r\n" + sjis_so + "/\r\n" + euc + "/\r\n" + sjis +
        ".txt\r\nType=dir/\r\nType=dir\r\nSize=5*\r\nctl\x01name\r\ncr\rDELE important\r\nlink@\r\n";
    auto dir = [](const std::string& name) { return "drwxr-xr-x 2 0 0 4096 Mar 03  2008 " + name + "\r\n"; };
    auto file = [](const std::string& name) { return "-rw-r--r-- 1 0 0 5 Mar 03  2008 " + name + "\r\n"; };
    const std::string hostile_ls = "total 1\r\n" + dir(".") + dir("..") + dir("docs") + dir("../../escape") +
                                   dir("..\\..\\escape") + dir("...") + dir(sjis_so) + dir(euc) +
                                   dir("Type=dir") + dir("sub dir") + file("Type=dir") + file("Size=5") +
                                   file(sjis + ".txt") + file("ctl\x01name") + file("cr\rDELE important") +
                                   "lrwxrwxrwx 1 0 0 5 Mar 03  2008 up -> ../..\r\n";
    // EUC-JP bytes are no Shift_JIS name (0xFCCB is no character): only their place is kept.
    const std::string no_cp932_euc = "Type=x.kv.nocp932 \xC6?\xDC\r\n";
    const std::string subdirs = "docs|Type=dir|" + sjis_so;
    const std::string long_subdirs = "docs|Type=dir|sub dir|" + sjis_so;
    const std::string mlsd_shown =
        "docs|...|" + sjis_so + "|Type=dir|Type=dir|Size=5|Type=file;Size=9 x|" + sjis + ".txt|..";
    const std::string nlst_shown = "docs|...|" + sjis_so + "|" + sjis + ".txt|Type=dir|Type=dir|Size=5|..";
    const std::string long_shown =
        "docs|...|" + sjis_so + "|Type=dir|sub dir|Type=dir|Size=5|" + sjis + ".txt|..";
    const std::string nlst_commands = "PASV|NLST -aFL|SIZE " + sjis + ".txt|MDTM " + sjis +
                                      ".txt|SIZE Type=dir|MDTM Type=dir|SIZE Size=5|MDTM Size=5";
    struct row {
        const char* name;
        const char* flags;
        const char* flags_after;
        bool not_root;
        bool stale; // a cache file from before
        int code;
        const char* commands;
        std::string cache;
        const char* shown; // the names a pane shows, joined by '|'; nullptr: not looked at
        const char* subdirectories;
        script serve;
        std::size_t unstored = 0; // entries reported as not stored
    };
    const row rows[] = {
        // The pdir line is the parent entry: no second "..". Only the facts the cache uses are
        // kept; names too long for a cache line are reported.
        {"MLSD stored with its cache facts", "11111", "11111", true, false, ftp_ok, "PASV|MLSD",
         "Type=pdir ..\r\nType=dir;Modify=20100503123456 docs\r\n"
         "Type=file;Size=12;Modify=20100503123456 a.txt\r\n"
         "Type=file;Size=7;Modify=20100503123456 " +
             name120 + "\r\n",
         nullptr, "docs", [&](script_session& s) { s.serve_download("MLSD", mlsd); }, 2},
        {"remote names that are the cache's own", "11111", "11111", true, false, ftp_ok, "PASV|MLSD",
         "Type=dir dir.lst\r\nType=dir dir.lst.kv~\r\nType=file;Size=1 dir.$$$\r\nType=pdir ..\r\n",
         "dir.lst|dir.lst.kv~|dir.$$$|..", "dir.lst.dir.lst|dir.lst.dir.lst.kv~",
         [&](script_session& s) { s.serve_download("MLSD", own_names); }},
        // Lines of another form are no empty directory.
        {"long listing whose options were ignored", "10000", "10000", true, false, ftp_error_reply,
         "PASV|NLST -alL", "<missing>", nullptr, "",
         [](script_session& s) { s.serve_download("NLST -alL", "a.txt\r\nb.txt\r\n"); }},
        {"unknown MLSD falls back to NLST with SIZE and MDTM", "11111", "10111", true, false, ftp_ok,
         "PASV|MLSD|PASV|NLST -aFL|SIZE run.sh|MDTM run.sh",
         "Type=dir docs\r\nType=file;Size=42;Modify=20100503123456 run.sh\r\nType=pdir ..\r\n", nullptr,
         "docs",
         [](script_session& s) {
             s.expect("PASV", s.listen_passive());
             s.expect("MLSD", "500 Unknown command.\r\n");
             s.serve_download("NLST -aFL", "./\r\n../\r\ndocs/\r\nrun.sh*\r\nlink@\r\n");
             s.expect("SIZE run.sh", "213 42\r\n");
             s.expect("MDTM run.sh", "213 20100503123456\r\n");
         }},
        // After the refusal the next listing goes straight to the long listing.
        {"unknown NLST options fall back to the long listing", "10011", "10000", true, false, ftp_ok,
         "PASV|NLST -aFL|PASV|NLST -alL", "Type=file;Size=6;Modify=20080303000000 a.txt\r\nType=pdir ..\r\n",
         nullptr, "",
         [](script_session& s) {
             s.expect("PASV", s.listen_passive());
             s.expect("NLST -aFL", "501 bad options\r\n");
             s.serve_download("NLST -alL", "-rw-r--r-- 1 0 0 6 Mar 03  2008 a.txt\r\n");
         }},
        {"long owner names drop no entry", "10000", "10000", false, false, ftp_ok, "PASV|NLST -alL",
         "Type=file;Size=6;Modify=20080303000000 b.txt\r\n", nullptr, "",
         [&](script_session& s) { s.serve_download("NLST -alL", long_owner); }},
        // vsftpd's answer when it cannot bind a port says nothing about MLSD.
        {"refused PASV keeps the flags", "11111", "11111", true, false, ftp_error_reply, "PASV", "<missing>",
         nullptr, "", [](script_session& s) { s.expect("PASV", "500 OOPS: failed to bind\r\n"); }},
        // A failure leaves no cache file: listed again next time, never shown half.
        {"failure", "10011", "10011", true, true, ftp_error_reply,
         "PASV|NLST -aFL|SIZE a.txt|MDTM a.txt|SIZE b.txt", "<missing>", nullptr, "",
         [](script_session& s) {
             s.serve_download("NLST -aFL", "a.txt\r\nb.txt\r\n");
             s.expect("SIZE a.txt", "213 1\r\n");
             s.expect("MDTM a.txt", "213 20100503123456\r\n");
             s.expect("SIZE b.txt", "550 Permission denied.\r\n");
         }},
        // The cache file marks the directory as listed: without it an empty root directory would
        // be listed again at every visit. A "total 0" line is no line of another form.
        {"empty MLSD at the root", "11111", "11111", false, false, ftp_ok, "PASV|MLSD", "", "", "",
         [](script_session& s) { s.serve_download("MLSD", ""); }},
        {"empty long listing", "10000", "10000", true, false, ftp_ok, "PASV|NLST -alL", "Type=pdir ..\r\n",
         "..", "", [](script_session& s) { s.serve_download("NLST -alL", "total 0\r\n"); }},
        // Stored are only the safe names, then the parent entry (no pdir came; a file named ".."
        // is none). "..." would be the directory itself on Windows:
        // it gets no cache directory. Whole code page 932 characters are names (a Shift_JIS server).
        {"hostile MLSD", "11111", "11111", true, false, ftp_ok, "PASV|MLSD",
         "Type=dir;Modify=20100503123456 docs\r\nType=dir ...\r\nType=dir " + sjis_so + "\r\n" +
             no_cp932_euc +
             "Type=dir Type=dir\r\n"
             "Type=file;Size=3 Type=dir\r\nType=file;Size=4 Size=5\r\nType=file;Size=5 Type=file;Size=9 x\r\n"
             "Type=file;Size=6 " +
             sjis + ".txt\r\nType=pdir ..\r\n",
         mlsd_shown.c_str(), subdirs.c_str(),
         [&](script_session& s) { s.serve_download("MLSD", hostile_mlsd); }},
        // SIZE and MDTM are asked only about safe names.
        {"hostile NLST", "10011", "10011", true, false, ftp_ok, nlst_commands.c_str(),
         "Type=dir docs\r\nType=dir ...\r\nType=dir " + sjis_so + "\r\n" +
             no_cp932_euc.substr(0, no_cp932_euc.size() - 2) +
             "/\r\nType=file;Size=6;Modify=20100503123458 " + sjis +
             ".txt\r\n"
             "Type=dir Type=dir\r\n"
             "Type=file;Size=3;Modify=20100503123456 Type=dir\r\n"
             "Type=file;Size=4;Modify=20100503123457 Size=5\r\n"
             "Type=pdir ..\r\n",
         nlst_shown.c_str(), subdirs.c_str(),
         [&](script_session& s) {
             s.serve_download("NLST -aFL", hostile_nlst);
             s.expect("SIZE " + sjis + ".txt", "213 6\r\n");
             s.expect("MDTM " + sjis + ".txt", "213 20100503123458\r\n");
             s.expect("SIZE Type=dir", "213 3\r\n");
             s.expect("MDTM Type=dir", "213 20100503123456\r\n");
             s.expect("SIZE Size=5", "213 4\r\n");
             s.expect("MDTM Size=5", "213 20100503123457\r\n");
         }},
        // The long listing keeps blanks but takes no paths or foreign bytes.
        {"hostile long listing", "10000", "10000", true, false, ftp_ok, "PASV|NLST -alL",
         "Type=dir;Modify=20080303000000 docs\r\nType=dir;Modify=20080303000000 ...\r\n"
         "Type=dir;Modify=20080303000000 " +
             sjis_so +
             "\r\n"
             "Type=dir;Modify=20080303000000 Type=dir\r\n"
             "Type=dir;Modify=20080303000000 sub dir\r\n"
             "Type=file;Size=5;Modify=20080303000000 Type=dir\r\n"
             "Type=file;Size=5;Modify=20080303000000 Size=5\r\n"
             "Type=file;Size=5;Modify=20080303000000 " +
             sjis + ".txt\r\nType=pdir ..\r\n",
         long_shown.c_str(), long_subdirs.c_str(),
         [&](script_session& s) { s.serve_download("NLST -alL", hostile_ls); }, 1},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        listing_run l = run_listing(r.serve, caps(r.flags), r.not_root, r.stale);
        EXPECT_EQ(l.code, r.code);
        EXPECT_EQ(l.unstored, r.unstored);
        EXPECT_EQ(joined(l.commands), r.commands);
        EXPECT_EQ(l.cache, r.cache);
        EXPECT_EQ(l.flags, caps(r.flags_after));
        if (r.shown) {
            EXPECT_EQ(joined(l.shown), r.shown);
        }
        EXPECT_EQ(l.tree, cache_tree(r.subdirectories, r.cache != "<missing>"));
    }
}

// The long listing's dates are the native parser's (ftp_listing_formats_test); one way shows the
// whole listing comes out.
TEST(FtpListLarge, HundredThousandEntriesComeOutComplete)
{
    constexpr int count = 100000;
    // Every 1000th entry a directory; sizes and minutes vary so a shifted line shows.
    std::string mlsd, stored;
    std::set<std::string> tree = cache_tree("");
    for (int i = 0; i < count; ++i) {
        char name[16], line[160];
        std::snprintf(name, sizeof name, "f%06d", i);
        const int hour = i / 60 % 24, minute = i % 60;
        const bool dir = i % 1000 == 0;
        std::string size = dir ? "" : "size=" + std::to_string(i * 7) + ";";
        std::snprintf(line, sizeof line, "type=%s;%smodify=20100503%02d%02d00; %s\r\n", dir ? "dir" : "file",
                      size.c_str(), hour, minute, name);
        mlsd += line;
        std::snprintf(line, sizeof line, "Type=%s;%sModify=20100503%02d%02d00 %s\r\n", dir ? "dir" : "file",
                      dir ? "" : ("Size=" + std::to_string(i * 7) + ";").c_str(), hour, minute, name);
        stored += line;
        if (dir)
            tree.insert(std::string("ftp_dir/srv/pub/") + name + "/");
    }
    listing_run r = run_listing([&](script_session& s) { s.serve_download("MLSD", mlsd); }, caps("11111"));
    EXPECT_EQ(r.code, ftp_ok);
    EXPECT_EQ(joined(r.commands), "PASV|MLSD");
    EXPECT_TRUE(r.cache == stored + "Type=pdir ..\r\n") << r.cache.size() << " bytes";
    ASSERT_EQ(r.shown.size(), count + 1u);
    EXPECT_EQ(r.shown[0], "f000000");
    EXPECT_EQ(r.shown[count - 1], "f099999");
    EXPECT_TRUE(r.tree == tree);
}

TEST(FtpListLarge, AListingWithoutEndFailsInsteadOfFillingTheMemory)
{
    const std::string lines = std::string(1 << 20, 'x') + "\r\n";
    std::uint64_t sent = 0;
    listing_run r = run_listing(
        [&](script_session& s) {
            s.expect("PASV", s.listen_passive());
            s.expect("MLSD", "150 ok\r\n");
            if (!s.accept_data())
                return;
            // Twice the bound: the client stops taking bytes at the bound and aborts.
            while (sent < 2 * listing_size_limit && s.data_send(lines))
                sent += lines.size();
            s.data_close();
            s.expect("ABOR", "426 aborted\r\n226 abort done\r\n");
        },
        caps("11111"));
    EXPECT_EQ(r.code, ftp_thread_failed);
    EXPECT_LT(sent, 2 * listing_size_limit);
    EXPECT_EQ(r.cache, "<missing>");
    // A worker that throws all the same (memory ran out elsewhere) ends with that code too.
    client_run thrown = run_client([](thread_net&, NetSocket&) -> int { throw std::bad_alloc(); });
    EXPECT_EQ(thrown.code, ftp_thread_failed);
}
