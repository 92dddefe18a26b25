// The FTP log window through the launchers against scripted servers: hidden, shown with Shift,
// stopped, shown for a lost server; the certificate question against pyftpdlib over TLS.
#include "main_window_fixture.h"

#include "dialogs.h"
#include "ftp/ftp_log_window_win.h"
#include "platform/os.h"
#include "resource.h"
#include "support/ftp_peers.h"
#include "support/ftp_script_server.h"
#include "support/temp_dir.h"
#include "toolkit/module_win.h"

#include <gtest/gtest.h>

namespace {

struct FtpLogWindow : ::testing::Test {
    gui::host_window owner;
    temp_dir cache;
    ftp_capabilities flags{1, 1, 0, 0, 0}; // probed: MLSD, no MLST
    ftp_operation_params params(int port)
    {
        return {.server = "127.0.0.1",
                .charset = "Shift_JIS",
                .port = port,
                .id = "kv",
                .password = "pw",
                .directory = "/",
                .cache_file = cache.file("dir.lst"),
                .support_file = cache.file("support.ini"),
                .title = "srv",
                .certificate = ""};
    }
    void SetUp() override
    {
        SetForegroundWindow(owner.handle());
        gui::pump();
    }
};

} // namespace

// An upload whose only entry has a Japanese name: the window never shows, the name and its reason
// come in one message afterwards, and the report leaves it out of what was done.
TEST_F(FtpLogWindow, hidden_without_shift_then_the_names_passed_over_come_in_one_message)
{
    ftp_script_server server([](script_session& s) {
        s.send("220 ready\r\n");
        s.expect("USER kv", "331 password please\r\n");
        s.expect("PASS pw", "230 welcome\r\n");
        s.expect("OPTS UTF8 ON", "200 ok\r\n");
        s.expect("TYPE I", "200 binary\r\n");
        s.pause_ms(500); // the window stays up long enough to be looked at
        s.serve_download("MLSD", "type=file;size=1; z.bin\r\n");
        s.answer_until_closed("221 bye\r\n");
    });
    // 0x8790, the NEC copy of ≒, would come back from a UTF-8 server as 0x81E0: it stays here.
    const std::string japanese = "\x87\x90.txt";
    ASSERT_TRUE(
        write_text_file(cache.file("kv_rsp1.tmp"), "Type=file;Modify=20100503123456 " + japanese + "\r\n"));
    // Wine shows a dialog only once its queue is idle, so the log may never have been seen at
    // all; if it was, it must go while the operation runs.
    bool log_stayed = false;
    std::vector<std::string> message;
    auto answer = [&](HWND w) {
        if (GetDlgItem(w, ID_STOP)) {
            log_stayed = !gui::pump_until([&] { return !IsWindow(w) || !IsWindowVisible(w); });
            return;
        }
        message = gui::static_texts(w);
        gui::click_button(w, IDOK);
    };
    gui::modal_answers answers({answer, answer});
    ftp_operation_params utf8 = params(server.port());
    utf8.name_charset = "utf8";
    ftp_op_report report =
        ftp_run_put(owner.handle(), utf8, flags, cache.path(), cache.file("kv_rsp1.tmp"), ".txt", true);
    EXPECT_TRUE(report.ok);
    EXPECT_FALSE(log_stayed);
    EXPECT_EQ(report.done, std::vector<std::string>{});
    EXPECT_EQ(report.skipped_names, std::vector<std::string>{japanese});
    // The message box holds its text in Unicode: the name reads back in the standard code 0x81E0.
    const std::string line = "\x81\xE0.txt  (" + resource_string(IDS_FTP_SKIP_REASON_FIRST + 6) + ")";
    EXPECT_TRUE(gui::contains_text(message, resource_string(IDS_FTP_SKIPPED) + "\r\n\r\n" + line))
        << (message.empty() ? "" : message.back());
    EXPECT_EQ(server.commands(), (std::vector<std::string>{"USER kv", "PASS pw", "OPTS UTF8 ON", "TYPE I",
                                                           "PASV", "MLSD", "QUIT"}));
}

TEST_F(FtpLogWindow, shift_shows_the_log_and_stop_ends_with_its_message)
{
    ftp_script_server server([](script_session& s) {
        s.serve_login();
        s.read_command();
        s.wait_for_close(); // MKD is never answered
    });
    gui::held_keys shift({VK_SHIFT});
    std::string log, warning;
    bool visible = false, closable = false;
    gui::modal_answers answers(
        {[&](HWND w) {
             // The user sees the command go out, then presses 中止.
             gui::pump_until(
                 [&] { return gui::item_text(w, ID_TEXT).find("C: MKD x") != std::string::npos; });
             visible = IsWindowVisible(w);
             log = gui::item_text(w, ID_TEXT);
             gui::click_button(w, ID_STOP);
             closable = gui::pump_until([&] { return IsWindowEnabled(GetDlgItem(w, IDCANCEL)); });
             gui::click_button(w, IDCANCEL);
         },
         [&](HWND box) {
             warning = gui::text_of(box);
             if (gui::contains_text(gui::static_texts(box), resource_string(IDS_FTP_ABORTED)))
                 warning += "|" + resource_string(IDS_FTP_ABORTED);
             gui::click_button(box, IDOK);
         }});
    bool ok = ftp_run_make_dir(owner.handle(), params(server.port()), flags, "x");
    EXPECT_FALSE(ok);
    EXPECT_EQ(answers.used(), 2u);
    EXPECT_TRUE(visible);
    EXPECT_TRUE(closable);
    EXPECT_NE(log.find("C: MKD x\r\n"), std::string::npos) << log; // its masked PASS: FtpLogin
    EXPECT_EQ(warning, resource_string(IDS_CAPTION_ERROR) + "|" + resource_string(IDS_FTP_ABORTED));
}

// The server goes away in the middle of a download and then closes each new connection at once:
// without Shift the window comes up with the three tries to log in again and the error, and the
// local file of that name keeps its bytes.
TEST_F(FtpLogWindow, a_lost_server_shows_the_window_with_its_error_and_keeps_the_local_file)
{
    int connection = 0;
    auto serve = [&](script_session& s) {
        if (++connection > 1) {
            s.close();
            return;
        }
        s.serve_login();
        s.expect("PASV", s.listen_passive());
        s.expect("RETR f.bin", "150 ok\r\n");
        if (s.accept_data())
            s.data_send("part");
        s.data_close();
        s.close();
    };
    ftp_script_server server(serve, 4);
    ASSERT_TRUE(write_text_file(cache.file("f.bin"), "old"));
    ASSERT_TRUE(write_text_file(cache.file("kv_rsp1.tmp"), "Type=file;Modify=20100503123456 f.bin\r\n"));
    std::string log;
    std::vector<std::string> warning;
    bool shown = false;
    // The log and its error box come up together; whichever is seen first, the box is answered
    // and then the log closed.
    auto answer = [&](HWND w) {
        if (GetDlgItem(w, ID_STOP))
            return;
        HWND log_window = GetWindow(w, GW_OWNER);
        shown = IsWindowVisible(log_window) != 0;
        log = gui::item_text(log_window, ID_TEXT);
        warning = gui::static_texts(w);
        gui::click_button(w, IDOK);
        gui::click_button(log_window, IDCANCEL);
    };
    gui::modal_answers answers({answer, answer});
    ftp_op_report report = ftp_run_get(owner.handle(), params(server.port()), flags, cache.path(),
                                       cache.file("kv_rsp1.tmp"), ".txt", false);
    EXPECT_FALSE(report.ok);
    EXPECT_TRUE(shown);
    // Without Shift the protocol lines are not collected: the log holds its first line and the
    // lines of the tries to log in again.
    EXPECT_EQ(log.rfind("connecting...\r\n", 0), 0u) << log;
    EXPECT_NE(log.find(resource_string(IDS_FTP_RECONNECTING) + " (3/3)\r\n"), std::string::npos) << log;
    EXPECT_TRUE(gui::contains_text(warning, resource_string(IDS_FTP_RESULT_FIRST + ftp_closed)));
    EXPECT_EQ(os::read_file(cache.file("f.bin")).value_or(""), "old");
}

// A certificate the system does not accept is asked about once, on the main thread: Cancel
// refuses it (the message says so), No takes it this once and keeps nothing, Yes keeps its
// fingerprint in the server's section; a kept fingerprint of another certificate asks again with
// a first line of its own, and the one kept then is asked about no more.
TEST_F(FtpLogWindow, certificate_question_refused_once_always_and_changed)
{
    peer p = find_peer("pyftpdlib_tls");
    ASSERT_NE(p.port, 0);
    ASSERT_TRUE(gui::use_program_directory(cache.path() + "/"));
    const std::string other = fingerprint_text({}); // 00:00:...: not this server's
    struct row {
        std::string stored;
        int button;
        bool ok;
        unsigned first_line; // 0: not asked
        bool keeps_new;
    };
    const std::string last_kept = "*"; // the fingerprint the row before kept
    const row rows[] = {
        {"", IDCANCEL, false, IDS_CERTIFICATE_UNTRUSTED, false},
        {"", IDNO, true, IDS_CERTIFICATE_UNTRUSTED, false},
        {other, IDYES, true, IDS_CERTIFICATE_CHANGED, true},
        {last_kept, IDYES, true, 0, false},
    };
    std::string kept;
    for (const row& r : rows) {
        SCOPED_TRACE(r.button);
        const std::string stored = r.stored == last_kept ? kept : r.stored;
        ASSERT_TRUE(
            write_text_file(ftp_ini_path(), "[srv]\r\nsecurity=explicit\r\ncertificate=" + stored + "\r\n"));
        ftp_operation_params tls = params(p.port);
        tls.security = tls_mode::explicit_tls;
        tls.certificate = stored;
        ftp_capabilities unprobed{0, 0, 0, 0, 0, 0, epsv_unknown};
        std::string question, error;
        // Answered by kind: the log window is left alone, the question has Yes, No and Cancel,
        // the error box OK; after the error the log window is closed.
        auto answer = [&](HWND w) {
            if (GetDlgItem(w, ID_STOP))
                return;
            std::string& said = GetDlgItem(w, IDYES) ? question : error;
            for (const std::string& t : gui::static_texts(w))
                said += t;
            if (GetDlgItem(w, IDYES)) {
                gui::click_button(w, r.button);
                return;
            }
            gui::click_button(w, IDOK);
            gui::click_button(GetWindow(w, GW_OWNER), IDCANCEL);
        };
        gui::modal_answers answers({answer, answer, answer, answer});
        EXPECT_EQ(ftp_run_listing(owner.handle(), tls, unprobed), r.ok);
        if (r.first_line) {
            EXPECT_EQ(question.rfind(resource_string(r.first_line, 512), 0), 0u) << question;
        } else {
            EXPECT_EQ(question, "");
        }
        kept = server_value(ftp_ini_path(), "srv", "certificate", 128, "");
        if (r.keeps_new) {
            EXPECT_EQ(kept.size(), 95u);
            EXPECT_NE(kept, other);
            EXPECT_NE(question.find("SHA-256: " + kept), std::string::npos) << question;
        } else {
            EXPECT_EQ(kept, stored);
        }
        EXPECT_EQ(error, r.ok ? "" : resource_string(IDS_FTP_CERTIFICATE_REFUSED));
    }
}
