// The FTP client against scripted servers: exact command sequences, result codes, log lines
// and what lands on the disk.
#include "ftp/ftp_data.h"
#include "ftp/ftp_protocol.h"
#include "ftp/ftp_reply.h"
#include "ftp/listing_time.h"
#include "ftp_client.h"
#include "platform/os.h"
#include "support/ftp_script_server.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using strings = std::vector<std::string>;

namespace {

// The greeting and a log-in that the client goes through before its real work.
void serve_login(script_session& s)
{
    s.send("220 ready\r\n");
    s.expect("USER kv", "331 password please\r\n");
    s.expect("PASS secret", "230 welcome\r\n");
    s.expect("TYPE I", "200 binary\r\n");
}

const strings login_commands = {"USER kv", "PASS secret", "TYPE I"};

strings with_login(strings more)
{
    strings all = login_commands;
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

int login(thread_net& w, NetSocket& c, int port)
{
    return ftp_login(w, c, "127.0.0.1", port, "kv", "secret", "/");
}

std::string file_text(const std::string& path)
{
    auto data = os::read_file(path);
    return data ? *data : std::string("<missing>");
}

// Names in the directory: a failed download must leave no work file behind.
strings directory_names(const std::string& dir)
{
    strings names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

int count_dots(const client_run& run)
{
    int dots = 0;
    for (const std::string& line : run.log)
        if (line == ".")
            ++dots;
    return dots;
}

} // namespace

TEST(FtpReply, SplitAndMergedRepliesAreReadLineByLine)
{
    ftp_script_server server([](script_session& s) {
        s.send("220-fir");
        s.pause_ms(50);
        s.send("st\r\n22");
        s.pause_ms(50);
        s.send("0 second\r\n331 next one\r\n");
        s.wait_for_close();
    });
    strings finals;
    client_run run = run_client([&](thread_net& w, NetSocket& c) {
        int code = c.connect_to(w, "127.0.0.1", server.port());
        for (int i = 0; code == ftp_ok && i < 2; ++i) {
            code = c.read_reply(w);
            finals.push_back(c.payload());
        }
        return code;
    });
    EXPECT_EQ(run.code, ftp_ok);
    EXPECT_EQ(finals, (strings{"220 second\r\n", "331 next one\r\n"}));
    EXPECT_EQ(run.log, (strings{"S: 220-first\r\n", "S: 220 second\r\n", "S: 331 next one\r\n"}));
}

TEST(FtpReply, LongLinesAreReadInPiecesAndTheNextReplyStaysInStep)
{
    const std::string exact = "220 " + std::string(248, 'x'); // 252 characters before CR LF
    const std::string long_error = "550 " + std::string(300, 'y');
    // A piece of a long line that happens to look like "123 " does not end the reply.
    const std::string fake_final = "220-" + std::string(248, 'z') + "123 not a reply\r\n220 end\r\n";
    ftp_script_server server([&](script_session& s) {
        s.send(exact + "\r\n");
        s.send(fake_final);
        s.send(long_error + "\r\n");
        s.send("200 in step\r\n");
        s.wait_for_close();
    });
    strings finals;
    std::vector<int> codes;
    client_run run = run_client([&](thread_net& w, NetSocket& c) {
        int code = c.connect_to(w, "127.0.0.1", server.port());
        for (int i = 0; code == ftp_ok && i < 4; ++i) {
            codes.push_back(c.read_reply(w));
            finals.push_back(c.payload());
        }
        return code;
    });
    EXPECT_EQ(run.code, ftp_ok);
    EXPECT_EQ(codes, (std::vector<int>{ftp_ok, ftp_ok, ftp_error_reply, ftp_ok}));
    EXPECT_EQ(finals, (strings{exact, "220 end\r\n", long_error.substr(0, 252), "200 in step\r\n"}));
}

TEST(FtpReply, ReplyCodesGiveTheirResults)
{
    struct row {
        std::string reply;
        int code;
        std::string last; // the payload afterwards
    };
    const row rows[] = {
        {"530 not logged in\r\n", ftp_error_reply, "530 not logged in\r\n"},
        {"331 password\r\n", ftp_ok, "331 password\r\n"},
        {"421 bye\r\n", ftp_error_reply, "421 bye\r\n"},
        // Text lines that merely have a blank as their fourth character do not end a reply.
        {"220-a\r\n 550 text inside\r\nMax 5 users\r\n230 other code\r\n220 done\r\n", ftp_ok,
         "220 done\r\n"},
        // A NUL never cuts the line short.
        {std::string("220 he\0llo\r\n", 12), ftp_ok, "220 he?llo\r\n"},
    };
    for (const row& r : rows) {
        ftp_script_server server([&](script_session& s) {
            s.send(r.reply);
            s.wait_for_close();
        });
        std::string last;
        client_run run = run_client([&](thread_net& w, NetSocket& c) {
            int code = c.connect_to(w, "127.0.0.1", server.port());
            if (code == ftp_ok)
                code = c.read_reply(w);
            last = c.payload();
            return code;
        });
        EXPECT_EQ(run.code, r.code) << r.reply;
        EXPECT_EQ(last, r.last);
    }
}

TEST(FtpReply, MultiLineGreetingIsOneReply)
{
    ftp_script_server server([](script_session& s) {
        s.send("220-Welcome\r\n220-to the test\r\n220 server\r\n");
        s.expect("USER kv", "230 logged in already\r\n");
        s.expect("PASS secret", "230 fine\r\n");
        s.expect("TYPE I", "200 binary\r\n");
        s.expect("QUIT", "221 bye\r\n");
    });
    client_run run = run_client([&](thread_net& w, NetSocket& c) {
        int code = login(w, c, server.port());
        ftp_logout(w, c);
        return code;
    });
    EXPECT_EQ(run.code, ftp_ok);
    EXPECT_EQ(server.commands(), (strings{"USER kv", "PASS secret", "TYPE I", "QUIT"}));
    EXPECT_TRUE(server.problems().empty());
    EXPECT_EQ(strings(run.log.begin(), run.log.begin() + 5),
              (strings{"S: 220-Welcome\r\n", "S: 220-to the test\r\n", "S: 220 server\r\n", "C: USER kv\r\n",
                       "S: 230 logged in already\r\n"}));
    EXPECT_EQ(run.log[5], "C: PASS ******\r\n"); // sent as it is, logged masked
}

TEST(FtpLogin, SequencesAndCodes)
{
    struct row {
        const char* name;
        const char* pass_reply;
        const char* directory;
        const char* cwd_reply;
        int code;
        strings commands;
    };
    const row rows[] = {
        {"root", "230 ok\r\n", "/", nullptr, ftp_ok, {"USER kv", "PASS secret", "TYPE I"}},
        {"subdir",
         "230 ok\r\n",
         "/pub/",
         "250 ok\r\n",
         ftp_ok,
         {"USER kv", "PASS secret", "CWD /pub/", "TYPE I"}},
        {"bad password", "530 no\r\n", "/", nullptr, ftp_bad_password, {"USER kv", "PASS secret", "QUIT"}},
        {"missing dir",
         "230 ok\r\n",
         "/gone/",
         "550 no\r\n",
         ftp_error_reply,
         {"USER kv", "PASS secret", "CWD /gone/", "QUIT"}},
    };
    for (const row& r : rows) {
        ftp_script_server server([&](script_session& s) {
            s.send("220 ready\r\n");
            s.expect("USER kv", "331 pw\r\n");
            s.expect("PASS secret", r.pass_reply);
            if (r.cwd_reply)
                s.expect(std::string("CWD ") + r.directory, r.cwd_reply);
            s.answer_until_closed(r.code == ftp_ok ? "200 ok\r\n" : "221 bye\r\n");
        });
        client_run run = run_client([&](thread_net& w, NetSocket& c) {
            return ftp_login(w, c, "127.0.0.1", server.port(), "kv", "secret", r.directory);
        });
        EXPECT_EQ(run.code, r.code) << r.name;
        EXPECT_EQ(server.commands(), r.commands) << r.name;
    }
}

TEST(FtpLogin, RefusedUserSendsNoQuitAndEmptyPasswordIsLoggedEmpty)
{
    ftp_script_server refused([](script_session& s) {
        s.send("220 ready\r\n");
        s.expect("USER kv", "530 go away\r\n");
        s.wait_for_close();
    });
    client_run run = run_client([&](thread_net& w, NetSocket& c) {
        return ftp_login(w, c, "127.0.0.1", refused.port(), "kv", "x", "/");
    });
    EXPECT_EQ(run.code, ftp_error_reply);
    EXPECT_EQ(refused.commands(), (strings{"USER kv"}));

    ftp_script_server empty([](script_session& s) {
        s.send("220 ready\r\n");
        s.expect("USER kv", "331 pw\r\n");
        s.expect("PASS ", "230 ok\r\n");
        s.expect("TYPE I", "200 ok\r\n");
    });
    run = run_client([&](thread_net& w, NetSocket& c) {
        return ftp_login(w, c, "127.0.0.1", empty.port(), "kv", "", "/");
    });
    EXPECT_EQ(run.code, ftp_ok);
    EXPECT_EQ(run.log[3], "C: PASS \r\n");
}

TEST(FtpCommands, TextsSent)
{
    ftp_script_server server([](script_session& s) {
        serve_login(s);
        s.answer_until_closed("250 ok\r\n");
    });
    client_run run = run_client([&](thread_net& w, NetSocket& c) {
        int code = login(w, c, server.port());
        int codes[] = {ftp_change_dir(w, c, ".."),
                       ftp_change_dir(w, c, "sub dir"),
                       ftp_make_dir(w, c, "new"),
                       ftp_remove_dir(w, c, "old"),
                       ftp_delete(w, c, "f.txt"),
                       ftp_rename(w, c, "a", "b"),
                       ftp_abort(w, c)};
        for (int k : codes)
            code = code ? code : k;
        return code;
    });
    EXPECT_EQ(run.code, ftp_ok);
    EXPECT_EQ(server.commands(), with_login({"CDUP", "CWD sub dir", "MKD new", "RMD old", "DELE f.txt",
                                             "RNFR a", "RNTO b", "ABOR"}));
}

TEST(FtpCommands, UnsafeOrOversizedArgumentsAreNeverSent)
{
    ftp_script_server server([](script_session& s) {
        serve_login(s);
        s.answer_until_closed("250 ok\r\n");
    });
    std::vector<int> codes;
    client_run run = run_client([&](thread_net& w, NetSocket& c) {
        int code = login(w, c, server.port());
        codes.push_back(ftp_delete(w, c, "a\r\nDELE b"));
        codes.push_back(ftp_make_dir(w, c, "x\ny"));
        codes.push_back(ftp_delete(w, c, std::string_view("n\0ul", 4)));
        codes.push_back(ftp_rename(w, c, "ok", "bad\rname"));
        codes.push_back(ftp_delete(w, c, std::string(246, 'n'))); // "DELE " + 246 + CR LF = 253
        codes.push_back(ftp_delete(w, c, std::string(245, 'n'))); // 252 fits
        return code;
    });
    EXPECT_EQ(run.code, ftp_ok);
    EXPECT_EQ(codes, (std::vector<int>{ftp_file_error, ftp_file_error, ftp_file_error, ftp_file_error,
                                       ftp_file_error, ftp_ok}));
    EXPECT_EQ(server.commands(), with_login({"DELE " + std::string(245, 'n')}));
}

TEST(FtpProbe, FeatureListsSetTheFlags)
{
    struct row {
        const char* name;
        const char* feat_reply;
        ftp_capabilities flags;
    };
    const row rows[] = {
        {"vsftpd",
         "211-Features:\r\n EPRT\r\n EPSV\r\n MDTM\r\n PASV\r\n REST STREAM\r\n SIZE\r\n TVFS\r\n211 End\r\n",
         {1, 0, 0, 1, 1}},
        {"pyftpdlib",
         "211-Features supported:\r\n EPRT\r\n MDTM\r\n MLST type*;perm;size*;modify*;\r\n SIZE\r\n"
         " UTF8\r\n211 End FEAT.\r\n",
         {1, 1, 1, 1, 1}},
        {"mlsd only", "211-x\r\n mlsd\r\n211 end\r\n", {1, 1, 0, 0, 0}},
        {"nothing", "211 no features\r\n", {1, 0, 0, 0, 0}},
        // Feature names only count on the indented lines.
        {"unindented", "211-MLST\r\nSIZE\r\n211 MDTM\r\n", {1, 0, 0, 0, 0}},
    };
    for (const row& r : rows) {
        ftp_script_server server([&](script_session& s) {
            serve_login(s);
            s.expect("FEAT", r.feat_reply);
            s.wait_for_close();
        });
        ftp_capabilities flags{0, 1, 1, 1, 1};
        client_run run = run_client([&](thread_net& w, NetSocket& c) {
            int code = login(w, c, server.port());
            return code ? code : ftp_probe(w, c, flags);
        });
        EXPECT_EQ(run.code, ftp_ok) << r.name;
        EXPECT_EQ(flags, r.flags) << r.name;
        EXPECT_EQ(server.commands(), with_login({"FEAT"})) << r.name;
    }
}

TEST(FtpProbe, HelpOnlyWhenFeatIsRefused)
{
    ftp_script_server server([](script_session& s) {
        serve_login(s);
        s.expect("FEAT", "500 unknown\r\n");
        s.expect("HELP MLSD", "214-help\r\n text\r\n214 ok\r\n");
        s.expect("HELP MLST", "501 no\r\n");
        s.expect("HELP MDTM", "214 ok\r\n");
        s.expect("HELP SIZE", "502 not implemented\r\n");
        s.wait_for_close();
    });
    ftp_capabilities flags{0, 0, 1, 0, 1};
    client_run run = run_client([&](thread_net& w, NetSocket& c) {
        int code = login(w, c, server.port());
        return code ? code : ftp_probe(w, c, flags);
    });
    EXPECT_EQ(run.code, ftp_ok);
    EXPECT_EQ(flags, (ftp_capabilities{1, 1, 0, 1, 0}));
    EXPECT_EQ(server.commands(), with_login({"FEAT", "HELP MLSD", "HELP MLST", "HELP MDTM", "HELP SIZE"}));

    ftp_script_server closing([](script_session& s) {
        serve_login(s);
        s.expect("FEAT", "502 no\r\n");
        s.expect("HELP MLSD", "214 ok\r\n");
        s.read_command();
        s.close();
    });
    flags = {0, 0, 0, 0, 0};
    run = run_client([&](thread_net& w, NetSocket& c) {
        int code = login(w, c, closing.port());
        return code ? code : ftp_probe(w, c, flags);
    });
    EXPECT_EQ(run.code, ftp_closed);
    EXPECT_EQ(flags[flag_probed], 0);
    EXPECT_EQ(closing.commands(), with_login({"FEAT", "HELP MLSD", "HELP MLST"}));
}

TEST(FtpTimes, MlstAndMdtm)
{
    const int zone = local_zone(); // same zone: the time passes unchanged
    ftp_script_server server([](script_session& s) {
        serve_login(s);
        s.expect("MLST a.txt",
                 "250-Listing a.txt\r\n type=file;size=3;Modify=20100503123456; a.txt\r\n250 End\r\n");
        s.expect("MLST b.txt", "250-Listing b.txt\r\n type=file;size=3; b.txt\r\n250 End\r\n");
        s.expect("MLST gone", "550 no such file\r\n");
        s.expect("MDTM a.txt", "213 20100503123456\r\n");
        s.expect("MDTM short", "213 2010\r\n");
        s.wait_for_close();
    });
    strings times;
    std::vector<int> codes;
    client_run run = run_client([&](thread_net& w, NetSocket& c) {
        int code = login(w, c, server.port());
        for (const char* name : {"a.txt", "b.txt", "gone"}) {
            codes.push_back(ftp_mlst_time(w, c, name, zone));
            times.push_back(std::string(c.payload() + 4, 14));
        }
        for (const char* name : {"a.txt", "short"}) {
            codes.push_back(ftp_modify_time(w, c, name, zone));
            times.push_back(std::string(c.payload() + 4, 14));
        }
        return code;
    });
    EXPECT_EQ(run.code, ftp_ok);
    EXPECT_EQ(codes, (std::vector<int>{ftp_ok, ftp_error_reply, ftp_error_reply, ftp_ok, ftp_error_reply}));
    EXPECT_EQ(times[0], "20100503123456");
    EXPECT_EQ(times[3], "20100503123456");
    EXPECT_EQ(server.commands(),
              with_login({"MLST a.txt", "MLST b.txt", "MLST gone", "MDTM a.txt", "MDTM short"}));
}

TEST(FtpPasv, ReplyTexts)
{
    struct row {
        const char* text; // after the code and blank
        bool ok;
        int port;
    };
    const row rows[] = {
        {"Entering Passive Mode (192,168,1,2,19,137)", true, 5001},
        {"Entering Passive Mode (127, 0, 0, 1, 4, 1).", true, 1025},
        {"=127,0,0,1,0,21", true, 21},
        {"192,168,1,2,19,137", false, 0}, // a digit right after the code
        {"Entering Passive Mode (192,168,1,2,19)", false, 0},
        {"Entering Passive Mode (192,168,1,256,19,137)", false, 0},
        {"Entering Passive Mode (1,2,3,4,300,1)", false, 0},
        {"Entering Passive Mode (1,2,3,4,0,0)", false, 0}, // port 0
        {"Entering Passive Mode (1,2,3,4,99999999999999999999,1)", false, 0},
        {"Entering Passive Mode (1,2,3,4,-1,1)", false, 0},
        {"", false, 0},
    };
    for (const row& r : rows) {
        pasv_address a;
        EXPECT_EQ(parse_pasv(r.text, std::strlen(r.text), a), r.ok) << r.text;
        if (r.ok) {
            EXPECT_EQ(a.port, r.port) << r.text;
        }
    }
}

TEST(FtpTransfer, DownloadOfTwoBlocksShowsTwoDots)
{
    temp_dir dir;
    const std::string payload(2048, 'k');
    ftp_script_server server([&](script_session& s) {
        serve_login(s);
        s.expect("PASV", s.listen_passive());
        s.expect("RETR f.bin", "150 here it comes\r\n");
        if (s.accept_data())
            s.data_send(payload);
        s.data_close();
        s.send("226 done\r\n");
        s.wait_for_close();
    });
    client_run run = run_client([&](thread_net& w, NetSocket& c) {
        int code = login(w, c, server.port());
        return code ? code : ftp_transfer_receive(w, c, "RETR f.bin", dir.file("f.bin"));
    });
    EXPECT_EQ(run.code, ftp_ok);
    EXPECT_EQ(server.commands(), with_login({"PASV", "RETR f.bin"}));
    EXPECT_EQ(file_text(dir.file("f.bin")), payload);
    EXPECT_EQ(count_dots(run), 2);
    // The reply to RETR, the opening, one dot per block, the line end, then the closing reply.
    EXPECT_NE(run.text().find("S: 150 here it comes\r\ns: .....\r\nS: 226 done\r\n"), std::string::npos)
        << run.text();
    EXPECT_EQ(directory_names(dir.path()), strings{"f.bin"});
}

TEST(FtpTransfer, ProgressLinesHoldAtMost79Characters)
{
    temp_dir dir;
    const std::string payload(160 * 1024 + 5, 'p');
    ftp_script_server server([&](script_session& s) {
        serve_login(s);
        s.expect("PASV", s.listen_passive());
        s.expect("RETR big", "150 ok\r\n");
        if (s.accept_data())
            s.data_send(payload);
        s.data_close();
        s.send("226 done\r\n");
        s.wait_for_close();
    });
    client_run run = run_client([&](thread_net& w, NetSocket& c) {
        int code = login(w, c, server.port());
        return code ? code : ftp_transfer_receive(w, c, "RETR big", dir.file("big"));
    });
    ASSERT_EQ(run.code, ftp_ok);
    std::string text = run.text();
    std::string progress = text.substr(text.find("s: ..."));
    progress = progress.substr(0, progress.find("S: 226"));
    // 160 dots: 73 after "s: ...", then 76 after three blanks, then 11.
    EXPECT_EQ(progress, "s: ..." + std::string(73, '.') + "\r\n   " + std::string(76, '.') + "\r\n   " +
                            std::string(11, '.') + "\r\n");
    EXPECT_EQ(file_text(dir.file("big")).size(), payload.size());
}

TEST(FtpTransfer, UploadSendsTheFileWhole)
{
    temp_dir dir;
    const std::string content = std::string(3000, 'u') + "end";
    ASSERT_TRUE(write_text_file(dir.file("up.bin"), content));
    std::string received;
    ftp_script_server server([&](script_session& s) {
        serve_login(s);
        s.expect("PASV", s.listen_passive());
        s.expect("STOR up.bin", "150 send it\r\n");
        if (s.accept_data())
            received = s.data_receive_all();
        s.data_close();
        s.send("226 stored\r\n");
        s.wait_for_close();
    });
    client_run run = run_client([&](thread_net& w, NetSocket& c) {
        int code = login(w, c, server.port());
        return code ? code : ftp_transfer_send(w, c, "STOR up.bin", dir.file("up.bin"));
    });
    EXPECT_EQ(run.code, ftp_ok);
    EXPECT_EQ(server.commands(), with_login({"PASV", "STOR up.bin"}));
    EXPECT_EQ(received, content);
    EXPECT_EQ(count_dots(run), 3);
    EXPECT_NE(run.text().find("c: ...."), std::string::npos);
}

TEST(FtpTransfer, ForeignPasvAddressIsNotUsed)
{
    temp_dir dir;
    ftp_script_server server([&](script_session& s) {
        serve_login(s);
        // The listener is on 127.0.0.1 only: a client that believed the reply would fail.
        s.expect("PASV", s.listen_passive("127.0.0.2"));
        s.expect("RETR f", "150 ok\r\n");
        if (s.accept_data())
            s.data_send("data");
        s.data_close();
        s.send("226 done\r\n");
        s.wait_for_close();
    });
    client_run run = run_client([&](thread_net& w, NetSocket& c) {
        int code = login(w, c, server.port());
        return code ? code : ftp_transfer_receive(w, c, "RETR f", dir.file("f"));
    });
    EXPECT_EQ(run.code, ftp_ok);
    EXPECT_EQ(file_text(dir.file("f")), "data");
    EXPECT_TRUE(server.problems().empty());
}

TEST(FtpTransfer, FailuresKeepTheLocalFile)
{
    struct row {
        const char* name;
        std::function<void(script_session&)> serve; // after log-in
        strings commands;                           // after log-in
        int code;
    };
    const std::string pasv_bad = "227 Entering Passive Mode (127,0,0,1,256,1)\r\n";
    const row rows[] = {
        {"refused RETR",
         [](script_session& s) {
             s.expect("PASV", s.listen_passive());
             s.expect("RETR f", "550 no such file\r\n");
             s.wait_for_close();
         },
         {"PASV", "RETR f"},
         ftp_error_reply},
        {"number above 255",
         [&](script_session& s) {
             s.expect("PASV", pasv_bad);
             s.wait_for_close();
         },
         {"PASV"},
         ftp_error_reply},
        {"digit after the code",
         [&](script_session& s) {
             s.expect("PASV", "227 127,0,0,1,4,1\r\n");
             s.wait_for_close();
         },
         {"PASV"},
         ftp_error_reply},
        {"closed mid-transfer",
         [](script_session& s) {
             s.expect("PASV", s.listen_passive());
             s.expect("RETR f", "150 ok\r\n");
             if (s.accept_data())
                 s.data_send(std::string(1500, 'x'));
             s.data_close();
             s.send("426 connection broken\r\n");
             s.wait_for_close();
         },
         {"PASV", "RETR f"},
         ftp_error_reply},
        {"silent data connection",
         [](script_session& s) {
             s.expect("PASV", s.listen_passive());
             s.expect("RETR f", "150 ok\r\n");
             s.accept_data();
             s.expect("ABOR", "226 aborted\r\n");
             s.wait_for_close();
         },
         {"PASV", "RETR f", "ABOR"},
         ftp_receive_error},
        {"control closed after 150",
         [](script_session& s) {
             s.expect("PASV", s.listen_passive());
             s.expect("RETR f", "150 ok\r\n");
             if (s.accept_data())
                 s.data_send("partial");
             s.data_close();
             s.close();
         },
         {"PASV", "RETR f"},
         ftp_closed},
    };
    for (const row& r : rows) {
        temp_dir dir;
        ASSERT_TRUE(write_text_file(dir.file("f"), "old content"));
        ftp_script_server server([&](script_session& s) {
            serve_login(s);
            r.serve(s);
        });
        client_options options;
        options.timeout_ms = 1000; // the silence bound of these connections
        client_run run = run_client(
            [&](thread_net& w, NetSocket& c) {
                int code = login(w, c, server.port());
                return code ? code : ftp_transfer_receive(w, c, "RETR f", dir.file("f"));
            },
            options);
        EXPECT_EQ(run.code, r.code) << r.name;
        EXPECT_EQ(server.commands(), with_login(r.commands)) << r.name;
        EXPECT_EQ(file_text(dir.file("f")), "old content") << r.name;
        EXPECT_EQ(directory_names(dir.path()), strings{"f"}) << r.name;
    }
}

TEST(FtpTransfer, StopDuringADownloadLeavesNoPartialFile)
{
    temp_dir dir;
    ASSERT_TRUE(write_text_file(dir.file("f"), "old content"));
    ftp_script_server server([&](script_session& s) {
        serve_login(s);
        s.expect("PASV", s.listen_passive());
        s.expect("RETR f", "150 ok\r\n");
        if (s.accept_data())
            s.data_send(std::string(4096, 'x')); // then nothing more, until the client goes
        s.wait_for_close();
    });
    client_options options;
    options.stop_when = [](const client_run& run) { return count_dots(run) >= 2; };
    client_run run = run_client(
        [&](thread_net& w, NetSocket& c) {
            int code = login(w, c, server.port());
            code = code ? code : ftp_transfer_receive(w, c, "RETR f", dir.file("f"));
            c.shutdown_and_drain(w);
            return code;
        },
        options);
    EXPECT_EQ(run.code, ftp_aborted);
    // No ABOR: every send checks the stop request first.
    EXPECT_EQ(server.commands(), with_login({"PASV", "RETR f"}));
    EXPECT_EQ(file_text(dir.file("f")), "old content");
    EXPECT_EQ(directory_names(dir.path()), strings{"f"});
}

TEST(FtpTransfer, UnsafeLocalNamesAndCommandsSendNothing)
{
    temp_dir dir;
    ftp_script_server server([](script_session& s) {
        serve_login(s);
        s.answer_until_closed("500 unexpected\r\n");
    });
    std::vector<int> codes;
    client_run run = run_client([&](thread_net& w, NetSocket& c) {
        int code = login(w, c, server.port());
        codes.push_back(ftp_transfer_receive(w, c, "RETR name.", dir.file("name.")));
        codes.push_back(ftp_transfer_receive(w, c, "RETR name ", dir.file("name ")));
        codes.push_back(ftp_transfer_receive(w, c, "RETR a\r\nDELE b", dir.file("a")));
        codes.push_back(ftp_transfer_send(w, c, "STOR a\nb", dir.file("a")));
        codes.push_back(ftp_transfer_receive(w, c, "RETR " + std::string(250, 'n'), dir.file("n")));
        return code;
    });
    EXPECT_EQ(run.code, ftp_ok);
    EXPECT_EQ(codes, std::vector<int>(5, ftp_file_error));
    EXPECT_EQ(server.commands(), login_commands);
    EXPECT_TRUE(directory_names(dir.path()).empty());
}

TEST(FtpHostile, EndlessAndOversizedRepliesEndAsReceiveErrors)
{
    struct row {
        const char* name;
        std::function<void(script_session&)> serve;
    };
    const row rows[] = {
        {"endless multi-line reply",
         [](script_session& s) {
             for (int i = 0; i < 5000; ++i)
                 s.send("220-more and more\r\n");
             s.wait_for_close();
         }},
        {"1 MB line without CR LF",
         [](script_session& s) {
             s.send("220-" + std::string(1 << 20, 'a'));
             s.wait_for_close();
         }},
        {"silent server", [](script_session& s) { s.wait_for_close(); }},
        {"silent after a first line",
         [](script_session& s) {
             s.send("220-hello\r\n");
             s.wait_for_close();
         }},
    };
    for (const row& r : rows) {
        ftp_script_server server(r.serve);
        client_options options;
        options.log = false;
        options.timeout_ms = 1000;
        client_run run = run_client(
            [&](thread_net& w, NetSocket& c) {
                int code = login(w, c, server.port());
                return code;
            },
            options);
        EXPECT_EQ(run.code, ftp_receive_error) << r.name;
        EXPECT_TRUE(server.commands().empty()) << r.name;
    }
}

TEST(NetSocketTest, ConnectAndReceiveEdges)
{
    // Nothing listens on the port of a listener that has gone again.
    int dead_port = 0;
    {
        ftp_script_server gone([](script_session&) {});
        dead_port = gone.port();
        client_run run =
            run_client([&](thread_net& w, NetSocket& c) { return c.connect_to(w, "127.0.0.1", dead_port); });
    }
    client_run run =
        run_client([&](thread_net& w, NetSocket& c) { return c.connect_to(w, "127.0.0.1", dead_port); });
    EXPECT_EQ(run.code, ftp_connect_failed);
    run =
        run_client([&](thread_net& w, NetSocket& c) { return c.connect_to(w, "no-such-host.invalid", 21); });
    EXPECT_EQ(run.code, ftp_bad_host);

    ftp_script_server short_data([](script_session& s) {
        s.send(std::string(300, 'd'));
        s.close();
    });
    std::size_t received = 0;
    run = run_client([&](thread_net& w, NetSocket& c) {
        int code = c.connect_to(w, "127.0.0.1", short_data.port());
        char buffer[1024];
        return code ? code : c.receive_exact(w, buffer, sizeof buffer, received);
    });
    EXPECT_EQ(run.code, ftp_closed);
    EXPECT_EQ(received, 300u);
}

TEST(FtpTransfer, UploadStoppedOrCutOff)
{
    temp_dir dir;
    // Far more than the socket buffers of both ends hold.
    const std::string content(8 * os::socket_buffer_size, 's');
    ASSERT_TRUE(write_text_file(dir.file("big"), content));
    struct row {
        const char* name;
        bool stop;
        strings commands;
        int code;
    };
    const row rows[] = {
        // The server never reads: the client waits on the full send buffer until it is stopped.
        {"stopped", true, {"PASV", "STOR big"}, ftp_aborted},
        // The server takes a little and drops the data connection.
        {"cut off", false, {"PASV", "STOR big", "ABOR"}, ftp_send_error},
    };
    for (const row& r : rows) {
        ftp_script_server server([&](script_session& s) {
            serve_login(s);
            s.expect("PASV", s.listen_passive());
            s.expect("STOR big", "150 go\r\n");
            if (s.accept_data() && !r.stop) {
                s.pause_ms(100);
                s.data_close();
                s.expect("ABOR", "426 aborted\r\n");
            }
            s.wait_for_close();
        });
        client_options options;
        if (r.stop)
            options.stop_when = [](const client_run& run) { return count_dots(run) >= 3; };
        client_run run = run_client(
            [&](thread_net& w, NetSocket& c) {
                int code = login(w, c, server.port());
                code = code ? code : ftp_transfer_send(w, c, "STOR big", dir.file("big"));
                c.shutdown_and_drain(w);
                return code;
            },
            options);
        EXPECT_EQ(run.code, r.code) << r.name;
        EXPECT_EQ(server.commands(), with_login(r.commands)) << r.name;
        EXPECT_EQ(file_text(dir.file("big")), content) << r.name; // an upload never changes the local file
    }
}

TEST(FtpHostile, LogoutFromAServerThatNeverClosesEnds)
{
    ftp_script_server server([](script_session& s) {
        serve_login(s);
        s.expect("QUIT", "221 bye, but I stay\r\n");
        s.wait_for_close(); // the client's half-close
        s.pause_ms(2500);   // and still the connection stays open
    });
    client_options options;
    options.timeout_ms = 1000;
    client_run run = run_client(
        [&](thread_net& w, NetSocket& c) {
            int code = login(w, c, server.port());
            ftp_logout(w, c); // drains for at most the silence bound
            return code;
        },
        options);
    EXPECT_EQ(run.code, ftp_ok);
    EXPECT_EQ(server.commands(), with_login({"QUIT"}));
}

TEST(FtpTransfer, AnAtOnceFinalReplyLeavesTheNextReplyInStep)
{
    temp_dir dir;
    ftp_script_server server([&](script_session& s) {
        serve_login(s);
        s.expect("PASV", s.listen_passive());
        s.expect("NLST -aFL", "226 Transfer done (no 150 first)\r\n");
        if (s.accept_data())
            s.data_send("a.txt\r\n");
        s.data_close();
        s.expect("DELE a.txt", "250 deleted\r\n");
        s.wait_for_close();
    });
    std::string last;
    client_run run = run_client([&](thread_net& w, NetSocket& c) {
        int code = login(w, c, server.port());
        code = code ? code : ftp_transfer_receive(w, c, "NLST -aFL", dir.file("list"));
        code = code ? code : ftp_delete(w, c, "a.txt");
        last = c.payload();
        return code;
    });
    EXPECT_EQ(run.code, ftp_ok);
    EXPECT_EQ(last, "250 deleted\r\n");
    EXPECT_EQ(file_text(dir.file("list")), "a.txt\r\n");
    EXPECT_EQ(server.commands(), with_login({"PASV", "NLST -aFL", "DELE a.txt"}));
}
