// The FTP client against scripted servers: exact command sequences, result codes, log lines
// and what lands on the disk.
#include "ftp/ftp_protocol.h"
#include "ftp/ftp_reply.h"
#include "ftp/listing_time.h"
#include "ftp_client.h"
#include "platform/tls.h"
#include "support/temp_dir.h"
#include "support/tree_names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

namespace {

// Far more than the socket buffers of both ends hold, however far the system grows them.
constexpr std::size_t beyond_socket_buffers = 32u << 20;

// One command and the server's reply; no reply: the server reads the command and closes.
struct step {
    std::string command;
    const char* reply;
};

void play(script_session& s, const std::vector<step>& steps)
{
    for (const step& st : steps) {
        if (!st.reply) {
            s.read_command();
            s.close();
            return;
        }
        s.expect(st.command, st.reply);
    }
    s.wait_for_close();
}

strings commands_of(const std::vector<step>& steps)
{
    strings all;
    for (const step& st : steps)
        all.push_back(st.command);
    return all;
}

// PASV on a listener of 127.0.0.1, then "RETR f" answered with `reply`; with `data`, the data
// connection is taken and the bytes sent on it.
void pasv_retr(script_session& s, const char* reply, const std::optional<std::string>& data = {})
{
    s.expect("PASV", s.listen_passive());
    s.expect("RETR f", reply);
    if (data && s.accept_data())
        s.data_send(*data);
}

} // namespace

TEST(FtpReply, RepliesAreReadLineByLineWhateverTheSplit)
{
    const std::string exact = "220 " + std::string(248, 'x'); // 252 characters before CR LF
    const std::string long_error = "550 " + std::string(300, 'y');
    struct row {
        const char* name;
        strings pieces; // sent 50 ms apart
        std::vector<int> codes;
        strings finals; // the payload after each reply
        strings log = {};
    };
    const row rows[] = {
        {"split and merged",
         {"220-fir", "st\r\n22", "0 second\r\n331 next one\r\n"},
         {ftp_ok, ftp_ok},
         {"220 second\r\n", "331 next one\r\n"},
         {"S: 220-first\r\n", "S: 220 second\r\n", "S: 331 next one\r\n"}},
        // Long lines are read in pieces and the next reply stays in step; a piece of a long line
        // that happens to look like "123 " does not end the reply.
        {"long lines",
         {exact + "\r\n", "220-" + std::string(248, 'z') + "123 not a reply\r\n220 end\r\n",
          long_error + "\r\n", "200 in step\r\n"},
         {ftp_ok, ftp_ok, ftp_error_reply, ftp_ok},
         {exact, "220 end\r\n", long_error.substr(0, 252), "200 in step\r\n"}},
        // Text lines that merely have a blank as their fourth character do not end a reply.
        {"text lines",
         {"220-a\r\n 550 text inside\r\nMax 5 users\r\n230 other code\r\n220 done\r\n"},
         {ftp_ok},
         {"220 done\r\n"}},
        // A NUL never cuts the line short.
        {"NUL", {std::string("220 he\0llo\r\n", 12)}, {ftp_ok}, {"220 he?llo\r\n"}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        ftp_script_server server([&](script_session& s) {
            for (std::size_t i = 0; i < r.pieces.size(); ++i) {
                if (i > 0)
                    s.pause_ms(50);
                s.send(r.pieces[i]);
            }
            s.wait_for_close();
        });
        std::vector<int> codes;
        strings finals;
        client_run run = run_client([&](thread_net& w, NetSocket& c) {
            int code = c.connect_to(w, "127.0.0.1", server.port());
            for (std::size_t i = 0; code == ftp_ok && i < r.codes.size(); ++i) {
                codes.push_back(c.read_reply(w));
                finals.push_back(c.payload());
            }
            return code;
        });
        EXPECT_EQ(run.code, ftp_ok);
        EXPECT_EQ(codes, r.codes);
        EXPECT_EQ(finals, r.finals);
        if (!r.log.empty()) {
            EXPECT_EQ(run.log, r.log);
        }
    }
}

TEST(FtpLogin, SequencesAndCodes)
{
    struct row {
        const char* name;
        const char* password;
        const char* user_reply;
        const char* pass_reply; // nullptr: no PASS expected
        const char* directory;
        const char* cwd_reply; // nullptr: no CWD expected
        int code;
        const char* commands;
    };
    const row rows[] = {
        // USER answered 230: the password goes all the same.
        {"logged in by USER", "secret", "230 in\r\n", "230 ok\r\n", "/", nullptr, ftp_ok,
         "USER kv|PASS secret|TYPE I"},
        {"subdir", "secret", "331 pw\r\n", "230 ok\r\n", "/pub/", "250 ok\r\n", ftp_ok,
         "USER kv|PASS secret|CWD /pub/|TYPE I"},
        {"bad password", "secret", "331 pw\r\n", "530 no\r\n", "/", nullptr, ftp_bad_password,
         "USER kv|PASS secret|QUIT"},
        {"missing dir", "secret", "331 pw\r\n", "230 ok\r\n", "/gone/", "550 no\r\n", ftp_error_reply,
         "USER kv|PASS secret|CWD /gone/|QUIT"},
        // A refused user is not told QUIT; a password goes out as it is and into the log masked, an
        // empty one empty.
        {"refused user", "x", "530 go away\r\n", nullptr, "/", nullptr, ftp_error_reply, "USER kv"},
        {"empty password", "", "331 pw\r\n", "230 ok\r\n", "/", nullptr, ftp_ok, "USER kv|PASS |TYPE I"},
        // Silent for the whole bound: the server is taken as dead, no QUIT follows.
        {"silent after PASS", "secret", "331 pw\r\n", "", "/", nullptr, ftp_receive_error,
         "USER kv|PASS secret"},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        ftp_script_server server([&](script_session& s) {
            s.send("220 ready\r\n");
            s.expect("USER kv", r.user_reply);
            if (r.pass_reply)
                s.expect(std::string("PASS ") + r.password, r.pass_reply);
            if (r.cwd_reply)
                s.expect(std::string("CWD ") + r.directory, r.cwd_reply);
            s.answer_until_closed(r.code == ftp_ok ? "200 ok\r\n" : "221 bye\r\n");
        });
        client_run run = run_client(
            [&](thread_net& w, NetSocket& c) {
                return ftp_login(w, c, "127.0.0.1", server.port(), "kv", r.password, r.directory);
            },
            {.timeout_ms = 1000});
        EXPECT_EQ(run.code, r.code);
        EXPECT_EQ(joined(server.commands()), r.commands);
        if (r.pass_reply) {
            EXPECT_EQ(run.log[3], std::string("C: PASS ") + (*r.password ? "******" : "") + "\r\n");
        }
    }
}

// CDUP, RMD and DELE are the tree deletion's (FtpOperations); ABOR with no transfer open reads
// one reply. In the same zone a time from MLST or MDTM passes unchanged.
TEST(FtpCommands, TextsSentAndTimesRead)
{
    const int zone = local_zone();
    const std::vector<step> steps = {
        {"CWD sub dir", "250 ok\r\n"},
        {"MKD new", "257 ok\r\n"},
        {"RNFR a", "350 ok\r\n"},
        {"RNTO b", "250 ok\r\n"},
        {"ABOR", "226 ok\r\n"},
        {"MLST a.txt", "250-Listing a.txt\r\n type=file;size=3;Modify=20100503123456; a.txt\r\n250 End\r\n"},
        {"MLST b.txt", "250-Listing b.txt\r\n type=file;size=3; b.txt\r\n250 End\r\n"},
        {"MLST gone", "550 no such file\r\n"},
        {"MDTM a.txt", "213 20100503123456\r\n"},
        {"MDTM short", "213 2010\r\n"}};
    std::vector<int> codes;
    strings times;
    scripted_run r =
        run_scripted([&](script_session& s) { play(s, steps); },
                     [&](thread_net& w, NetSocket& c) {
                         codes = {ftp_change_dir(w, c, "sub dir"), ftp_make_dir(w, c, "new"),
                                  ftp_rename(w, c, "a", "b"), ftp_abort(w, c, false)};
                         for (const char* name : {"a.txt", "b.txt", "gone", "a.txt", "short"}) {
                             codes.push_back(codes.size() < 7 ? ftp_mlst_time(w, c, name, zone)
                                                              : ftp_modify_time(w, c, name, zone));
                             times.push_back(std::string(c.payload() + 4, 14));
                         }
                         return ftp_ok;
                     });
    EXPECT_EQ(codes, (std::vector<int>{ftp_ok, ftp_ok, ftp_ok, ftp_ok, ftp_ok, ftp_error_reply,
                                       ftp_error_reply, ftp_ok, ftp_error_reply}));
    EXPECT_EQ(times[0], "20100503123456");
    EXPECT_EQ(times[3], "20100503123456");
    EXPECT_EQ(r.commands, commands_of(steps));
    EXPECT_TRUE(r.problems.empty());
}

// Neither the commands nor the data commands send an argument that would break the line or not
// fit it, and no local file is made under a name Windows would change.
TEST(FtpCommands, UnsafeOrOversizedArgumentsAreNeverSent)
{
    temp_dir dir;
    std::vector<int> codes;
    scripted_run r = run_scripted(
        [](script_session& s) { s.answer_until_closed("250 ok\r\n"); },
        [&](thread_net& w, NetSocket& c) {
            codes.push_back(ftp_delete(w, c, "a\r\nDELE b"));
            codes.push_back(ftp_delete(w, c, std::string_view("n\0ul", 4)));
            codes.push_back(ftp_rename(w, c, "ok", "bad\rname"));
            codes.push_back(ftp_transfer_receive(w, c, "RETR name.", dir.file("name.")));
            codes.push_back(ftp_transfer_receive(w, c, "RETR a\r\nDELE b", dir.file("a")));
            codes.push_back(ftp_transfer_send(w, c, "STOR a\nb", dir.file("a")));
            codes.push_back(ftp_transfer_receive(w, c, "RETR " + std::string(250, 'n'), dir.file("n")));
            // "DELE " + 246 + CR LF = 253; 245 fits in 252
            codes.push_back(ftp_delete(w, c, std::string(246, 'n')));
            codes.push_back(ftp_delete(w, c, std::string(245, 'n')));
            return ftp_ok;
        });
    std::vector<int> expected(8, ftp_file_error);
    expected.push_back(ftp_ok);
    EXPECT_EQ(codes, expected);
    EXPECT_EQ(r.commands, strings{"DELE " + std::string(245, 'n')});
    EXPECT_TRUE(tree_names(dir.path()).empty());
}

TEST(FtpProbe, FeatureListsAndHelp)
{
    struct row {
        const char* name;
        const char* before;
        const char* after;
        int code;
        std::vector<step> steps;
    };
    // clang-format off
    const row rows[] = {
        // The real servers' feature lists are probed in FtpPeers.Listings.
        {"mlsd only", "0111101", "1100000", ftp_ok, {{"FEAT", "211-x\r\n mlsd\r\n211 end\r\n"}}},
        // Feature names only count on the indented lines; none found clears every flag.
        {"unindented", "01111", "10000", ftp_ok, {{"FEAT", "211-MLST\r\nSIZE\r\n211 MDTM\r\n"}}},
        // HELP is asked only when FEAT is refused; it says nothing of EPSV. A FEAT that names
        // EPSV makes it known to work; one that does not sends transfers to PASV.
        {"help", "0010112", "1101002", ftp_ok, {{"FEAT", "500 unknown\r\n"}, {"HELP MLSD", "214-help\r\n text\r\n214 ok\r\n"},
                                            {"HELP MLST", "501 no\r\n"}, {"HELP MDTM", "214 ok\r\n"}, {"HELP SIZE", "502 not implemented\r\n"}}},
        // A probe cut short is no probe.
        {"closed during help", "00000", "0", ftp_closed, {{"FEAT", "502 no\r\n"}, {"HELP MLSD", "214 ok\r\n"}, {"HELP MLST", nullptr}}},
    };
    // clang-format on
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        ftp_capabilities flags = caps(r.before);
        scripted_run run = run_scripted([&](script_session& s) { play(s, r.steps); },
                                        [&](thread_net& w, NetSocket& c) { return ftp_probe(w, c, flags); });
        EXPECT_EQ(run.client.code, r.code);
        if (r.code == ftp_ok) {
            EXPECT_EQ(flags, caps(r.after));
        }
        EXPECT_EQ(flags[flag_probed], caps(r.after)[flag_probed]);
        EXPECT_EQ(run.commands, commands_of(r.steps));
    }
}

// The texts after the code and blank; port 0: refused.
TEST(FtpPassive, PasvAndEpsvReplyTexts)
{
    const std::pair<const char*, int> pasv[] = {
        {"Entering Passive Mode (192,168,1,2,19,137)", 5001},
        {"Entering Passive Mode (127, 0, 0, 1, 4, 1).", 1025},
        {"=127,0,0,1,0,21", 21},
        {"192,168,1,2,19,137", 0}, // a digit right after the code
        {"Entering Passive Mode (192,168,1,2,19)", 0},
        {"Entering Passive Mode (192,168,1,256,19,137)", 0},
        {"Entering Passive Mode (1,2,3,4,0,0)", 0}, // port 0
        {"Entering Passive Mode (1,2,3,4,99999999999999999999,1)", 0},
        {"Entering Passive Mode (1,2,3,4,-1,1)", 0},
        {"", 0},
    };
    const std::pair<const char*, int> epsv[] = {
        {"Entering Extended Passive Mode (|||6446|)", 6446},
        {"Entering Extended Passive Mode (!!!65535!)", 65535}, // any delimiter that is no digit
        {"(|||1|) trailing text", 1},
        {"Entering Extended Passive Mode (||6446|)", 0}, // a bar missing
        {"Entering Extended Passive Mode |||6446|", 0},  // no bracket
        {"Entering Extended Passive Mode (|||0|)", 0},   // port 0
        {"Entering Extended Passive Mode (|||65536|)", 0},
        {"Entering Extended Passive Mode (|||99999999999999999999|)", 0},
        {"Entering Extended Passive Mode (|||12a|)", 0},
        {"Entering Extended Passive Mode (1112221)", 0},  // digits as delimiters
        {"Entering Extended Passive Mode (|!|6446|)", 0}, // delimiters differ
        {"Entering Extended Passive Mode (|||6446|", 0},
        {"", 0},
    };
    for (const auto& [text, port] : pasv) {
        pasv_address a;
        EXPECT_EQ(parse_pasv(text, std::strlen(text), a), port != 0) << text;
        EXPECT_EQ(port ? a.port : 0, port) << text;
    }
    for (const auto& [text, port] : epsv) {
        int parsed = 0;
        EXPECT_EQ(parse_epsv(text, std::strlen(text), parsed), port != 0) << text;
        EXPECT_EQ(port ? parsed : 0, port) << text;
    }
}

// A server refusing AUTH TLS never gets the user name or password: the log-in ends with its own code,
// the reply kept for the message. A build without TLS (the native one) sends nothing at all.
TEST(FtpLogin, RefusedAuthTlsSendsNothingInClear)
{
    tls_plan plan;
    plan.mode = tls_mode::explicit_tls;
    plan.credentials = os::tls_make_credentials();
    plan.target = "127.0.0.1";
    if (!os::tls_available()) {
        client_run run = run_client([&](thread_net& w, NetSocket& c) {
            c.set_tls_plan(&plan);
            return ftp_login(w, c, "127.0.0.1", 1, "kv", "pw", "/");
        });
        EXPECT_EQ(run.code, ftp_tls_unavailable);
        return;
    }
    for (const char* reply : {"530 Please login with USER and PASS.\r\n", "200 whatever\r\n"}) {
        SCOPED_TRACE(reply);
        ftp_script_server server([&](script_session& s) {
            s.send("220 ready\r\n");
            s.expect("AUTH TLS", reply);
            s.answer_until_closed("530 no\r\n");
        });
        std::string kept;
        client_run run = run_client([&](thread_net& w, NetSocket& c) {
            c.set_tls_plan(&plan);
            int code = ftp_login(w, c, "127.0.0.1", server.port(), "kv", "pw", "/");
            kept = c.payload();
            return code;
        });
        EXPECT_EQ(run.code, ftp_tls_refused);
        EXPECT_EQ(kept, reply);
        EXPECT_EQ(joined(server.commands()), "AUTH TLS");
    }
}

// Every download goes over an existing local file "f": it is replaced only by a complete copy. Rows
// that say nothing of EPSV run with it known to be refused: PASV, and the knowledge stays.
TEST(FtpTransfer, Downloads)
{
    const std::string two_blocks(2048, 'k'), many_blocks(160 * 1024 + 5, 'p'), old = "old content";
    // 160 dots: 73 after "s: ...", then 76 after three blanks, then 11: at most 79 characters.
    const std::string progress = "S: 150 ok\r\ns: ..." + std::string(73, '.') + "\r\n   " +
                                 std::string(76, '.') + "\r\n   " + std::string(11, '.') +
                                 "\r\nS: 226 done\r\n";
    struct row {
        const char* name;
        const char* commands;
        int code;
        std::string content; // of "f" afterwards
        int dots;            // -1: not counted
        std::string log_has;
        int stop_after_dots;    // the owner requests a stop after this many; 0: never
        script serve;           // after the log-in
        std::int64_t size = -1; // as the listing or SIZE gave it; -1: unknown
        std::uint8_t epsv = epsv_refused, epsv_after = epsv_refused; // the pane's knowledge of EPSV
    };
    const row rows[] = {
        // The reply to RETR, the opening, one dot per block, the line end, then the closing reply.
        {"two blocks", "PASV|RETR f", ftp_ok, two_blocks, 2,
         "S: 150 here it comes\r\ns: .....\r\nS: 226 done\r\n", 0,
         [&](script_session& s) { s.serve_download("RETR f", two_blocks, "150 here it comes\r\n"); }, 2048},
        // A connection cut short and still answered 226: the byte count differs from the size.
        {"short of its size", "PASV|RETR f", ftp_receive_error, old, -1, "", 0,
         [&](script_session& s) { s.serve_download("RETR f", two_blocks); }, 2049},
        // The name "f (1)" has brackets of its own.
        {"short of the size in the opening reply", "PASV|RETR f", ftp_receive_error, old, -1, "", 0,
         [&](script_session& s) {
             s.serve_download("RETR f", two_blocks,
                              "150 Opening BINARY mode data connection for f (1) (2049 bytes).\r\n");
         }},
        {"progress lines", "PASV|RETR f", ftp_ok, many_blocks, 160, progress, 0,
         [&](script_session& s) { s.serve_download("RETR f", many_blocks); }},
        // The listener is on 127.0.0.1 only: a client that believed the reply would fail.
        {"foreign PASV address", "PASV|RETR f", ftp_ok, "data", -1, "", 0,
         [](script_session& s) { s.serve_download("RETR f", "data", "150 ok\r\n", "127.0.0.2"); }},
        {"refused RETR", "PASV|RETR f", ftp_error_reply, old, -1, "", 0,
         [](script_session& s) { pasv_retr(s, "550 no such file\r\n"); }},
        // The reply texts are FtpPassive's table; one refused reply through the client.
        {"number above 255", "PASV", ftp_error_reply, old, -1, "", 0,
         [](script_session& s) { s.expect("PASV", "227 Entering Passive Mode (127,0,0,1,256,1)\r\n"); }},
        {"closed mid-transfer", "PASV|RETR f", ftp_error_reply, old, -1, "", 0,
         [](script_session& s) {
             pasv_retr(s, "150 ok\r\n", std::string(1500, 'x'));
             s.data_close();
             s.send("426 connection broken\r\n");
         }},
        // Silent for the whole bound: the server is taken as dead, no ABOR follows.
        {"silent data connection", "PASV|RETR f", ftp_receive_error, old, -1, "", 0,
         [](script_session& s) {
             pasv_retr(s, "150 ok\r\n", "");
             s.answer_until_closed("226 aborted\r\n");
         }},
        {"control closed after 150", "PASV|RETR f", ftp_closed, old, -1, "", 0,
         [](script_session& s) {
             pasv_retr(s, "150 ok\r\n", "partial");
             s.data_close();
             s.close();
         }},
        // Stopped with the data connection open after two blocks, then silence: no ABOR, as every
        // send checks the stop first.
        {"stopped", "PASV|RETR f", ftp_aborted, old, -1, "", 2,
         [](script_session& s) { pasv_retr(s, "150 ok\r\n", std::string(4096, 'x')); }},
        // EPSV is tried while it is not known to be refused; a 500-502 sends this transfer and every
        // later one to PASV, a reply it cannot read fails the transfer.
        {"EPSV unknown, works", "EPSV|RETR f", ftp_ok, "abc", -1, "", 0,
         [](script_session& s) {
             s.expect("EPSV", s.listen_extended());
             s.expect("RETR f", "150 ok\r\n");
             if (s.accept_data())
                 s.data_send("abc");
             s.data_close();
             s.send("226 done\r\n");
         },
         -1, epsv_unknown, epsv_works},
        {"EPSV unknown, refused", "EPSV|PASV|RETR f", ftp_ok, "abc", -1, "", 0,
         [](script_session& s) {
             s.expect("EPSV", "500 what\r\n");
             s.serve_download("RETR f", "abc");
         },
         -1, epsv_unknown, epsv_refused},
        {"EPSV garbled", "EPSV", ftp_error_reply, old, -1, "", 0,
         [](script_session& s) { s.expect("EPSV", "229 Entering Extended Passive Mode (||6446|)\r\n"); }, -1,
         epsv_works, epsv_works},
        // Refused for another reason than not knowing it: the transfer fails, EPSV stays.
        {"EPSV busy", "EPSV", ftp_error_reply, old, -1, "", 0,
         [](script_session& s) { s.expect("EPSV", "425 busy\r\n"); }, -1, epsv_works, epsv_works},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        temp_dir dir;
        ASSERT_TRUE(write_text_file(dir.file("f"), old));
        client_options options;
        if (r.stop_after_dots)
            options.stop_when = [&](const client_run& run) { return run.dots() >= r.stop_after_dots; };
        else
            options.timeout_ms = 1000; // the silence bound of these connections
        std::uint8_t epsv = r.epsv;
        scripted_run run = run_scripted(
            [&](script_session& s) {
                r.serve(s);
                s.wait_for_close();
            },
            [&](thread_net& w, NetSocket& c) {
                c.set_epsv_state(&epsv);
                int code = ftp_transfer_receive(w, c, "RETR f", dir.file("f"), {}, r.size);
                c.shutdown_and_drain(w);
                return code;
            },
            options);
        EXPECT_EQ(run.client.code, r.code);
        EXPECT_EQ(epsv, r.epsv_after);
        EXPECT_EQ(joined(run.commands), r.commands);
        EXPECT_TRUE(run.problems.empty());
        EXPECT_TRUE(file_text(dir.file("f")) == r.content) << file_text(dir.file("f")).size() << " bytes";
        EXPECT_EQ(tree_names(dir.path()), std::set<std::string>{"f"}); // no work file left
        if (r.dots >= 0) {
            EXPECT_EQ(run.client.dots(), r.dots);
        }
        EXPECT_NE(run.client.text().find(r.log_has), std::string::npos) << run.client.text();
    }
}

TEST(FtpTransfer, Uploads)
{
    temp_dir dir;
    const std::string small = std::string(3000, 'u') + "end";
    const std::string big(beyond_socket_buffers, 's');
    ASSERT_TRUE(write_text_file(dir.file("small"), small));
    ASSERT_TRUE(write_text_file(dir.file("big"), big));
    struct row {
        const char* name;
        const char* file;
        int stop_after_dots; // 0: not stopped
        const char* commands;
        int code;
    };
    const row rows[] = {
        {"whole", "small", 0, "PASV|STOR small", ftp_ok},
        // The server never reads: the client waits on the full send buffer until it is stopped.
        {"stopped", "big", 3, "PASV|STOR big", ftp_aborted},
        // Nothing is sent: an empty data connection would store an empty file over the old one.
        {"unreadable", "missing", 0, "", ftp_file_error},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string command = std::string("STOR ") + r.file;
        const bool whole = r.code == ftp_ok;
        const std::string before = file_text(dir.file(r.file));
        std::string received;
        client_options options;
        if (r.stop_after_dots)
            options.stop_when = [&](const client_run& run) { return run.dots() >= r.stop_after_dots; };
        scripted_run run = run_scripted(
            [&](script_session& s) {
                if (s.read_command() == "PASV") {
                    s.send(s.listen_passive());
                    s.expect(command, "150 go\r\n");
                    if (s.accept_data() && whole) {
                        received = s.data_receive_all();
                        s.data_close();
                        s.send("226 stored\r\n");
                    }
                }
                s.wait_for_close();
            },
            [&](thread_net& w, NetSocket& c) {
                int code = ftp_transfer_send(w, c, command, dir.file(r.file));
                c.shutdown_and_drain(w);
                return code;
            },
            options);
        EXPECT_EQ(run.client.code, r.code);
        EXPECT_EQ(joined(run.commands), r.commands);
        // An upload never changes the local file.
        EXPECT_TRUE(file_text(dir.file(r.file)) == before);
        if (whole) {
            EXPECT_EQ(received, small);
            EXPECT_EQ(run.client.dots(), 3);
            EXPECT_NE(run.client.text().find("c: ...."), std::string::npos);
        }
    }
}

// However a transfer ended, the next command reads its own reply.
TEST(FtpTransfer, TheNextReplyStaysInStep)
{
    temp_dir dir;
    ASSERT_TRUE(write_text_file(dir.file("big"), std::string(beyond_socket_buffers, 's')));
    struct row {
        const char* command;
        const char* reply; // to the data command
        int code;
        const char* commands;
        script serve; // the data connection
    };
    const row rows[] = {
        {"NLST -aFL", "226 Transfer done (no 150 first)\r\n", ftp_ok, "PASV|NLST -aFL|DELE a.txt",
         [](script_session& s) {
             if (s.accept_data())
                 s.data_send("a.txt\r\n");
         }},
        // The upload is cut off; ABOR is answered for the transfer and then for itself.
        {"STOR big", "150 go\r\n", ftp_send_error, "PASV|STOR big|ABOR|DELE a.txt",
         [](script_session& s) {
             s.accept_data();
             s.pause_ms(100);
             s.data_close();
             s.expect("ABOR", "426 aborted\r\n226 abort done\r\n");
         }},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.command);
        std::string last;
        scripted_run run = run_scripted(
            [&](script_session& s) {
                s.expect("PASV", s.listen_passive());
                s.expect(r.command, r.reply);
                r.serve(s);
                s.data_close();
                s.expect("DELE a.txt", "250 deleted\r\n");
                s.wait_for_close();
            },
            [&](thread_net& w, NetSocket& c) {
                int code = r.code ? ftp_transfer_send(w, c, r.command, dir.file("big"))
                                  : ftp_transfer_receive(w, c, r.command, dir.file("list"));
                ftp_delete(w, c, "a.txt");
                last = c.payload();
                return code;
            });
        EXPECT_EQ(run.client.code, r.code);
        EXPECT_EQ(last, "250 deleted\r\n");
        EXPECT_EQ(joined(run.commands), r.commands);
    }
}

TEST(FtpHostile, EndlessAndOversizedRepliesEndAsReceiveErrors)
{
    // More than the client drains after refusing a reply; it goes away long before.
    constexpr std::size_t stream_limit = 64u << 20;
    std::size_t streamed = 0;
    const std::pair<const char*, script> rows[] = {
        {"endless multi-line reply",
         [&](script_session& s) {
             std::string lines;
             while (lines.size() < 65536)
                 lines += "220-more and more\r\n";
             while (streamed < stream_limit && s.send(lines))
                 streamed += lines.size();
         }},
        {"1 MB line without CR LF", [](script_session& s) { s.send("220-" + std::string(1 << 20, 'a')); }},
        {"silent after a first line", [](script_session& s) { s.send("220-hello\r\n"); }},
    };
    for (const auto& [name, serve] : rows) {
        SCOPED_TRACE(name);
        ftp_script_server server([&](script_session& s) {
            serve(s);
            s.wait_for_close();
        });
        client_run run = run_client(
            [&](thread_net& w, NetSocket& c) {
                return ftp_login(w, c, "127.0.0.1", server.port(), "kv", "pw", "/");
            },
            {.log = false, .timeout_ms = 1000});
        EXPECT_EQ(run.code, ftp_receive_error);
        EXPECT_TRUE(server.commands().empty());
    }
    EXPECT_LT(streamed, stream_limit);
}

TEST(FtpHostile, LogoutFromAServerThatNeverClosesEnds)
{
    scripted_run r = run_scripted(
        [](script_session& s) {
            s.expect("QUIT", "221 bye, but I stay\r\n");
            s.wait_for_close(); // the client's half-close
            s.pause_ms(2500);   // and still the connection stays open
        },
        [](thread_net& w, NetSocket& c) {
            ftp_logout(w, c); // drains for at most the silence bound
            return ftp_ok;
        },
        {.timeout_ms = 1000});
    EXPECT_EQ(r.client.code, ftp_ok);
    EXPECT_EQ(r.commands, strings{"QUIT"});
}

TEST(NetSocketTest, ConnectAndReceiveEdges)
{
    // Nothing listens on the port of a listener that has gone again.
    int dead_port = 0;
    {
        ftp_script_server gone([](script_session&) {});
        dead_port = gone.port();
        run_client([&](thread_net& w, NetSocket& c) { return c.connect_to(w, "127.0.0.1", dead_port); });
    }
    client_run run =
        run_client([&](thread_net& w, NetSocket& c) { return c.connect_to(w, "127.0.0.1", dead_port); });
    EXPECT_EQ(run.code, ftp_connect_failed);
    // A name with a label over 63 bytes is refused by the resolver before any query leaves the
    // machine (a plain unknown name would ask the DNS server).
    const std::string unresolvable = std::string(64, 'a') + ".invalid";
    run = run_client([&](thread_net& w, NetSocket& c) { return c.connect_to(w, unresolvable.c_str(), 21); });
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
