// The FTP operation threads end to end, run as the log window runs them, against scripted servers
// (exact commands) and real ones: trees deleted and moved both ways, names passed over, text
// conversion, connections lost mid-transfer, TLS and IPv6.
#include "ftp/ftp_operations.h"
#include "ftp/listing_cache.h"
#include "ftp/listing_time.h"
#include "ftp_client.h"
#include "platform/os.h"
#include "support/ftp_peers.h"
#include "support/temp_dir.h"
#include "support/tree_names.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The owner side: every log line shown and acknowledged until the thread has finished; a
// certificate question is counted and given `answer`.
int run_op(thread_ftp& op, std::string* log = nullptr, certificate_answer answer = certificate_answer::refuse,
           int* asked = nullptr)
{
    return own_worker(op, [&] {
        if (certificate_question* q = op.question()) {
            q->answer = answer;
            if (asked)
                ++*asked;
        } else if (log) {
            *log += op.log_line();
        }
        return false;
    });
}

// A program directory with the cache of `directory` on server "srv", a local pane directory and
// the list file.
struct op_place {
    temp_dir program, local;
    std::string cache, list;
    op_place(const std::string& directory, const std::string& cache_text, const std::string& list_text)
    {
        cache = cache_file_path(program.path() + "/", "srv", directory);
        EXPECT_TRUE(cache_make_directories(program.path() + "/", "srv", directory));
        EXPECT_TRUE(write_text_file(cache, cache_text));
        list = program.file("kv_rsp1.tmp");
        EXPECT_TRUE(write_text_file(list, list_text));
    }
    // Fills the operation's inputs for a server at 127.0.0.1.
    template <class op_type>
    void fill(op_type& op, int port, const std::string& user, const std::string& password,
              const std::string& directory, const char* charset = "Shift_JIS",
              tls_mode security = tls_mode::none, const char* server = "127.0.0.1")
    {
        op.take({server, 0, charset, port, user, password, directory, cache,
                 support_ini_path(program.path() + "/", "srv"), "auto", "srv", security, ""});
        op.local_dir = local.path() + "/";
        if constexpr (requires { op.second; }) {
            op.target = list;
            op.second = ".txt";
        }
    }
};

std::string skipped_text(const std::vector<ftp_skipped>& skipped)
{
    strings all;
    for (const ftp_skipped& s : skipped)
        all.push_back(s.name + ":" + std::to_string(static_cast<int>(s.reason)));
    std::sort(all.begin(), all.end());
    return joined(all);
}

// A tree under root: directories end in '/', files get their bytes.
void make_files(const std::string& root, const std::vector<std::pair<std::string, std::string>>& entries)
{
    os::make_directory(root);
    for (const auto& [name, bytes] : entries) {
        if (name.back() == '/')
            EXPECT_TRUE(os::make_directory(root + "/" + name.substr(0, name.size() - 1))) << name;
        else
            EXPECT_TRUE(write_text_file(root + "/" + name, bytes)) << name;
    }
}

const std::string binary = [] {
    std::string b;
    for (int i = 0; i < 256; ++i)
        b += static_cast<char>(i);
    return b + "\r\n\x1a";
}();

} // namespace

// Subdirectories never listed are listed first; DELE and RMD go bottom-up and each removal leaves
// its cache. The password is gone from the thread once it has logged in.
TEST(FtpOperations, DeleteTreeNeverListed)
{
    ftp_script_server server([](script_session& s) {
        s.serve_login();
        s.expect("CWD d", "250 ok\r\n");
        s.serve_download("MLSD", "type=dir; sub\r\ntype=file;size=1;modify=20100503123456; f1\r\n");
        s.expect("CWD sub", "250 ok\r\n");
        s.serve_download("MLSD", "type=file;size=1; f2\r\n");
        for (const char* step : {"DELE f2", "CDUP", "RMD sub", "DELE f1", "CDUP", "RMD d", "DELE g"})
            s.expect(step, "250 ok\r\n");
        s.expect("QUIT", "221 bye\r\n");
        s.wait_for_close();
    });
    op_place place("/", "Type=dir d\r\nType=file;Size=1 g\r\nType=file;Size=2 keep\r\n",
                   "Type=dir d\r\nType=file g\r\n");
    ftp_capabilities flags = caps("11111");
    thread_ftp_get_remove op(flags);
    place.fill(op, server.port(), "kv", "pw", "/");
    op.remove = true;
    EXPECT_EQ(run_op(op), ftp_ok);
    EXPECT_EQ(server.problems(), strings{});
    EXPECT_EQ(joined(op.done), "d|g");
    EXPECT_EQ(file_text(place.cache), "Type=file;Size=2 keep\r\n");
    EXPECT_EQ(tree_names(place.program.path() + "/ftp_dir/srv"), std::set<std::string>{"dir.lst"});
    EXPECT_EQ(op.password, "**");
}

// EUC-JP text arrives in Shift_JIS with CR LF, a binary byte for byte; names the local disk cannot
// hold are passed over with their reasons, and so is their directory; a file without a time keeps
// the time of its arrival.
TEST(FtpOperations, DownloadTreeConvertsAndPassesOverNames)
{
    peer p = find_peer("pyftpdlib");
    ASSERT_NE(p.port, 0);
    const std::string dir = unique_name("get", "");
    const std::string euc = "\xC6\xFC\xCB\xDC\n", sjis = "\x93\xFA\x96\x7B\r\n";
    make_files(p.root + "/" + dir,
               {{"t/", ""}, {"t/a.txt", euc}, {"t/a.bin", binary}, {"plain.bin", "plain"}, {"dir.lst/", ""}});
    // Windows takes "nul.txt" for its device: that file goes up through the server itself.
    temp_dir up;
    ASSERT_TRUE(write_text_file(up.file("f"), "x"));
    client_run run = run_client([&](thread_net& w, NetSocket& c) {
        int code = ftp_login(w, c, "127.0.0.1", p.port, p.user, p.password, "/" + dir + "/");
        code = code ? code : ftp_transfer_send(w, c, "STOR t/nul.txt", up.file("f"));
        ftp_logout(w, c);
        return code;
    });
    ASSERT_EQ(run.code, ftp_ok);
    op_place place("/" + dir + "/", "",
                   "Type=dir t\r\nType=file plain.bin\r\nType=file;Modify=20100503123456 com1.log\r\n"
                   "Type=dir dir.lst\r\nType=dir aux\r\n");
    ftp_capabilities flags = caps("11111");
    thread_ftp_get_remove op(flags);
    place.fill(op, p.port, p.user, p.password, "/" + dir + "/", "EUC-JP");
    op.get = true;
    EXPECT_EQ(run_op(op), ftp_ok);
    EXPECT_EQ(joined(op.done), "plain.bin");
    EXPECT_EQ(skipped_text(op.skipped), "aux:0|com1.log:0|dir.lst:2|t/nul.txt:0");
    EXPECT_EQ(tree_names(place.local.path()),
              (std::set<std::string>{"plain.bin", "t/", "t/a.bin", "t/a.txt"}));
    EXPECT_EQ(file_text(place.local.file("t/a.txt")), sjis);
    EXPECT_EQ(file_text(place.local.file("t/a.bin")), binary);
    os::remove_directory_tree(p.root + "/" + dir);
}

// A text file without its final line feed is sent with one and stays as it was; a name that would
// come back from a UTF-8 server as another (0x8790, the NEC copy of ≒) is passed over and not done,
// so a move deletes only what arrived; the cache is listed again.
TEST(FtpOperations, UploadMoveSendsLineFeedAndPassesOverNamesWithoutServerForm)
{
    peer p = find_peer("pyftpdlib");
    ASSERT_NE(p.port, 0);
    const std::string dir = unique_name("put", "");
    make_files(p.root + "/" + dir, {});
    const std::string japanese = "\x87\x90.txt";
    op_place place("/" + dir + "/", "",
                   "Type=dir up\r\nType=file;Modify=20100503123456 " + japanese +
                       "\r\nType=file;Modify=20100503123456 z.bin\r\n");
    make_files(
        place.local.path(),
        {{"up/", ""}, {"up/x.txt", "abc\r\ndef"}, {"up/y.bin", binary}, {japanese, "j"}, {"z.bin", "z"}});
    ftp_capabilities flags = caps("11111");
    thread_ftp_put op(flags);
    place.fill(op, p.port, p.user, p.password, "/" + dir + "/");
    op.name_charset = "utf8";
    op.get = true;
    EXPECT_EQ(run_op(op), ftp_ok);
    EXPECT_EQ(joined(op.done), "up|z.bin");
    EXPECT_EQ(skipped_text(op.skipped), japanese + ":6");
    EXPECT_EQ(file_text(p.root + "/" + dir + "/up/x.txt"), "abc\r\ndef\r\n");
    EXPECT_EQ(file_text(place.local.file("up/x.txt")), "abc\r\ndef");
    EXPECT_EQ(file_text(p.root + "/" + dir + "/up/y.bin"), binary);
    EXPECT_FALSE(os::path_exists(p.root + "/" + dir + "/" + japanese));
    strings cached;
    for (const cache_entry& e : cache_read_entries(place.cache, false))
        cached.push_back(e.name);
    std::sort(cached.begin(), cached.end());
    EXPECT_EQ(joined(cached), "..|up|z.bin");
    os::remove_directory_tree(p.root + "/" + dir);
}

// A server whose FEAT names UTF8: the first listing probes, switches UTF-8 on and stores the names
// in code page 932; a name without such a form is shown nowhere. Downloads and uploads carry the
// names both ways (UTF-8 on the server's disk); the name without a form is passed over and reported.
TEST(FtpOperations, Utf8NamesListedAndTransferredBothWays)
{
    peer p = find_peer("pyftpdlib_utf8");
    ASSERT_NE(p.port, 0);
    const std::string nihongo = "\x93\xFA\x96{\x8C\xEA.txt", kana = "\xB6\xC5.bin",
                      shiryou = "\x8E\x91\x97\xBF";
    op_place place("/", "",
                   "Type=file " + nihongo + "\r\nType=file " + kana + "\r\nType=dir " + shiryou + "\r\n");
    ftp_capabilities flags{};
    thread_ftp_listing listing(flags);
    place.fill(listing, p.port, p.user, p.password, "/");
    ASSERT_EQ(run_op(listing), ftp_ok);
    EXPECT_EQ(flags[flag_utf8], 1);
    strings cached;
    for (const cache_entry& e : cache_read_entries(place.cache, true))
        cached.push_back(e.name);
    std::sort(cached.begin(), cached.end());
    EXPECT_EQ(joined(cached), shiryou + "|" + nihongo + "|" + kana);

    thread_ftp_get_remove get(flags);
    place.fill(get, p.port, p.user, p.password, "/");
    get.get = true;
    EXPECT_EQ(run_op(get), ftp_ok);
    EXPECT_EQ(joined(get.done), nihongo + "|" + kana);
    EXPECT_EQ(skipped_text(get.skipped), shiryou + "/?\x96\xEC\x89\xC6.txt:5");
    EXPECT_EQ(file_text(place.local.file(nihongo)), "nihongo\n");
    EXPECT_EQ(file_text(place.local.file(kana)), binary.substr(0, 256));
    EXPECT_EQ(file_text(place.local.file(shiryou + "/\x95\\.bin")), "hyou");

    // Up into a directory of its own; the files are read back from the server's disk under their
    // names (through the Windows side as code page 932, natively as the bytes the server wrote).
    const std::string dir = unique_name("up", "");
    make_files(p.root + "/" + dir, {});
    const std::string shinki = "\x90V\x8BK.txt", ue = "\x8F\xE3", shita = "\x89\xBA.bin";
    op_place up("/" + dir + "/", "", "Type=file " + shinki + "\r\nType=dir " + ue + "\r\n");
    make_files(up.local.path(), {{shinki, "new\r\n"}, {ue + "/", ""}, {ue + "/" + shita, "bytes"}});
    thread_ftp_put put(flags);
    up.fill(put, p.port, p.user, p.password, "/" + dir + "/");
    EXPECT_EQ(run_op(put), ftp_ok);
    EXPECT_EQ(joined(put.done), shinki + "|" + ue);
#ifdef _WIN32
    const std::string new_on_disk = shinki, sub_on_disk = ue + "/" + shita;
#else
    const std::string new_on_disk = "\xE6\x96\xB0\xE8\xA6\x8F.txt",
                      sub_on_disk = "\xE4\xB8\x8A/\xE4\xB8\x8B.bin";
#endif
    EXPECT_EQ(file_text(p.root + "/" + dir + "/" + new_on_disk), "new\r\n");
    EXPECT_EQ(file_text(p.root + "/" + dir + "/" + sub_on_disk), "bytes");
    os::remove_directory_tree(p.root + "/" + dir);
}

// A download broken off after 1000 bytes keeps them in its work file and the target as it was; the
// walk logs in again and continues with REST while the file on the server is the same, or starts over.
TEST(FtpOperations, BrokenDownloadContinuesAfterLoggingInAgain)
{
    std::string whole(3000, '\0');
    for (std::size_t i = 0; i < whole.size(); ++i)
        whole[i] = static_cast<char>(i % 251);
    const std::string changed = whole + "!";
    struct row {
        const char* name;
        const char* size_reply;
        const char* rest_reply; // nullptr: no REST
        std::string sent;       // on the data connection of the second RETR
        bool remembered;        // support.ini keeps the refusal
    };
    const row rows[] = {
        {"continued", "213 3000\r\n", "350 Restarting at 1000\r\n", whole.substr(1000), false},
        {"REST refused", "213 3000\r\n", "502 not implemented\r\n", whole, true},
        {"changed on the server", "213 3001\r\n", nullptr, changed, false},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        op_place place("/", "Type=file;Size=3000;Modify=20100503123456 f.bin\r\n",
                       "Type=file;Modify=20100503123456 f.bin\r\n");
        const std::string target = place.local.file("f.bin");
        ASSERT_TRUE(write_text_file(target, "old"));
        int connection = 0;
        std::string at_second; // the target and the work file's size when the client came back
        ftp_script_server server(
            [&](script_session& s) {
                if (++connection == 2)
                    at_second =
                        file_text(target) + "|" + std::to_string(file_text(target + ".kvpart").size());
                s.serve_login();
                if (connection == 1) {
                    s.expect("PASV", s.listen_passive());
                    s.expect("RETR f.bin", "150 ok\r\n");
                    if (s.accept_data())
                        s.data_send(whole.substr(0, 1000));
                    s.data_close();
                    s.close();
                    return;
                }
                s.expect("SIZE f.bin", r.size_reply);
                if (r.rest_reply) {
                    s.expect("MDTM f.bin", "213 20100503123456\r\n");
                    s.expect("PASV", s.listen_passive());
                    s.expect("REST 1000", r.rest_reply);
                }
                if (!r.rest_reply || r.remembered) // from the start
                    s.expect("PASV", s.listen_passive());
                s.expect("RETR f.bin", "150 ok\r\n");
                if (s.accept_data())
                    s.data_send(r.sent);
                s.data_close();
                s.send("226 done\r\n");
                s.expect("QUIT", "221 bye\r\n");
                s.wait_for_close();
            },
            2);
        ftp_capabilities flags = caps("10011");
        thread_ftp_get_remove op(flags);
        place.fill(op, server.port(), "kv", "pw", "/");
        op.zone = local_zone();
        op.get = true;
        op.reconnect_text = "lost";
        std::string log;
        EXPECT_EQ(run_op(op, &log), ftp_ok);
        EXPECT_EQ(server.problems(), strings{});
        EXPECT_EQ(at_second, "old|1000");
        EXPECT_TRUE(file_text(target) == (r.rest_reply ? whole : changed));
        EXPECT_NE(log.find("lost (1/3)\r\n"), std::string::npos) << log;
        EXPECT_EQ(support_rest_refused(support_ini_path(place.program.path() + "/", "srv")), r.remembered);
        EXPECT_EQ(tree_names(place.local.path()), std::set<std::string>{"f.bin"}); // no work file left
    }
}

// The control connection drops after the first file of a subdirectory: the walk logs in again,
// goes back into the directory and fetches only the file still missing.
TEST(FtpOperations, TreeDownloadContinuesAfterLostConnection)
{
    int connection = 0;
    ftp_script_server server(
        [&](script_session& s) {
            s.serve_login();
            if (++connection == 1) {
                s.serve_download("RETR a.bin", "aaa");
                s.expect("CWD d", "250 ok\r\n");
                s.serve_download("RETR b.bin", "bbb");
                s.read_command();
                s.close();
                return;
            }
            s.expect("CWD d", "250 ok\r\n");
            s.serve_download("RETR c.bin", "ccc");
            s.expect("CDUP", "250 ok\r\n");
            s.expect("QUIT", "221 bye\r\n");
            s.wait_for_close();
        },
        2);
    const char* time = ";Modify=20100503123456 ";
    op_place place("/", std::string("Type=file;Size=3") + time + "a.bin\r\nType=dir d\r\n",
                   std::string("Type=file") + time + "a.bin\r\nType=dir d\r\n");
    ASSERT_TRUE(cache_make_directories(place.program.path() + "/", "srv", "/d/"));
    ASSERT_TRUE(write_text_file(cache_file_path(place.program.path() + "/", "srv", "/d/"),
                                std::string("Type=file;Size=3") + time + "b.bin\r\nType=file;Size=3" + time +
                                    "c.bin\r\n"));
    ftp_capabilities flags = caps("11111");
    thread_ftp_get_remove op(flags);
    place.fill(op, server.port(), "kv", "pw", "/");
    op.get = true;
    op.reconnect_text = "lost";
    std::string log;
    EXPECT_EQ(run_op(op, &log), ftp_ok);
    EXPECT_EQ(server.problems(), strings{}); // each file fetched once, c.bin after logging in again
    EXPECT_EQ(joined(op.done), "a.bin|d");
    EXPECT_EQ(tree_names(place.local.path()), (std::set<std::string>{"a.bin", "d/", "d/b.bin", "d/c.bin"}));
    EXPECT_EQ(file_text(place.local.file("d/c.bin")), "ccc");
    EXPECT_NE(log.find("lost (1/3)\r\n"), std::string::npos) << log;
}

// One listing of the root, a download of big.bin and an upload into pub/ against a real server,
// each a whole operation, protected (explicit and implicit TLS) or on [::1]. Under TLS a
// self-signed certificate asks once per operation and the log names the protocol and cipher. Data
// connections resume the control connection's session through one credentials handle and one
// target name, which Windows' Schannel finds in its session cache; Wine's (8.0, on GnuTLS) keeps
// none, so vsftpd with require_ssl_reuse at its default answers 522. On [::1] (the bare ::1 is the
// same host, server_host's table) EPSV carries every transfer: PASV cannot name an IPv6 address.
TEST(FtpOperations, TlsAndIpv6ListDownloadUpload)
{
    struct row {
        const char* peer;
        const char* server;
        tls_mode security;
        certificate_answer answer;
        int code;            // of the listing
        const char* log_has; // in the listing's log
    };
    const row rows[] = {
        {"pyftpdlib_tls", "127.0.0.1", tls_mode::explicit_tls, certificate_answer::once, ftp_ok,
         "C: PROT P\r\n"},
        {"vsftpd_implicit_noreuse", "127.0.0.1", tls_mode::implicit_tls, certificate_answer::once, ftp_ok,
         "C: EPSV\r\n"},
        {"vsftpd_tls", "127.0.0.1", tls_mode::explicit_tls, certificate_answer::once, ftp_error_reply,
         "S: 522 SSL connection failed: session reuse required\r\n"},
        // Refused: nothing more goes out, not even the user name.
        {"vsftpd_tls", "127.0.0.1", tls_mode::explicit_tls, certificate_answer::refuse,
         ftp_certificate_refused, "C: AUTH TLS"},
        {"pyftpdlib_v6", "[::1]", tls_mode::none, certificate_answer::refuse, ftp_ok, "C: EPSV\r\n"},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.peer);
        const bool tls = r.security != tls_mode::none;
        if (tls && !os::tls_available())
            continue; // TLS is the system's: the native build has none (its refusal is a native test)
        peer p = find_peer(r.peer);
        ASSERT_NE(p.port, 0);
        ftp_capabilities flags = caps("000002"); // a pane that has not probed, EPSV not known
        int asked = 0;                           // certificate questions, one per operation at most
        std::string log;
        op_place root("/", "", "Type=file big.bin\r\n");
        thread_ftp_listing list(flags);
        root.fill(list, p.port, p.user, p.password, "/", "Shift_JIS", r.security, r.server);
        list.log_enabled = true;
        EXPECT_EQ(run_op(list, &log, r.answer, &asked), r.code) << log;
        EXPECT_NE(log.find(r.log_has), std::string::npos) << log;
        if (r.code != ftp_ok) {
            EXPECT_EQ(asked, 1);
            EXPECT_EQ(log.find("C: USER") == std::string::npos, r.code == ftp_certificate_refused) << log;
            continue;
        }
        EXPECT_EQ(log.find("C: PASV"), std::string::npos) << log;
        EXPECT_EQ(log.find("?: TLS 1.2, ") != std::string::npos, tls) << log;
        EXPECT_NE(file_text(root.cache).find(" big.bin"), std::string::npos);
        thread_ftp_get_remove get(flags);
        root.fill(get, p.port, p.user, p.password, "/", "Shift_JIS", r.security, r.server);
        get.get = true;
        EXPECT_EQ(run_op(get, nullptr, r.answer, &asked), ftp_ok);
        EXPECT_EQ(file_text(root.local.file("big.bin")), file_text(p.root + "/big.bin"));

        const std::string name = unique_name("up");
        op_place pub("/pub/", "", "Type=file " + name + "\r\n");
        std::string bytes;
        for (int i = 0; i < 70000; ++i)
            bytes += static_cast<char>(i * 7 % 251);
        EXPECT_TRUE(write_text_file(pub.local.file(name), bytes));
        thread_ftp_put put(flags);
        pub.fill(put, p.port, p.user, p.password, "/pub/", "Shift_JIS", r.security, r.server);
        EXPECT_EQ(run_op(put, nullptr, r.answer, &asked), ftp_ok);
        EXPECT_EQ(file_text(p.root + "/pub/" + name), bytes);
        os::remove_file(p.root + "/pub/" + name);
        EXPECT_EQ(asked, tls ? 3 : 0);
    }
}
