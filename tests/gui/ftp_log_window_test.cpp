// The FTP log window through a launcher against a scripted server: with Shift held it shows the
// log and 中止 ends the operation with its message; a lost server shows it with its error.
#include "main_window_fixture.h"

#include "dialogs.h"
#include "ftp/ftp_log_window_win.h"
#include "platform/os.h"
#include "resource.h"
#include "support/ftp_script_server.h"
#include "support/temp_dir.h"
#include "toolkit/module_win.h"

#include <gtest/gtest.h>

namespace {

// Pumps (inside the product's modal loop) until the condition holds or 10 s passed.
bool pump_until(const std::function<bool()>& done)
{
    for (DWORD until = GetTickCount() + 10000; !done();) {
        if (static_cast<int>(until - GetTickCount()) <= 0)
            return false;
        gui::pump(5);
    }
    return true;
}

struct FtpLogWindow : ::testing::Test {
    gui::host_window owner;
    temp_dir cache;
    ftp_capabilities flags{1, 1, 0, 0, 0}; // probed: MLSD, no MLST
    ftp_operation_params params(int port)
    {
        return {"127.0.0.1",
                900,
                "Shift_JIS",
                port,
                "kv",
                "pw",
                "/",
                cache.file("dir.lst"),
                cache.file("support.ini")};
    }
    void SetUp() override
    {
        SetForegroundWindow(owner.handle());
        gui::pump();
    }
};

} // namespace

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
             pump_until([&] { return gui::item_text(w, ID_TEXT).find("C: MKD x") != std::string::npos; });
             visible = IsWindowVisible(w);
             log = gui::item_text(w, ID_TEXT);
             gui::click_button(w, ID_STOP);
             closable = pump_until([&] { return IsWindowEnabled(GetDlgItem(w, IDCANCEL)); });
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
