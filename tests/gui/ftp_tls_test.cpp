// A server over TLS through the real window: its certificate question comes up while the pane
// opens the server, an answer of "always" is kept for the operations that follow, and files go
// down and up over protected data connections, explicit and implicit, byte for byte.
#include "main_window_fixture.h"

#include "ftp/server_registry.h"
#include "platform/os.h"
#include "resource.h"
#include "support/ftp_peers.h"

#include <gtest/gtest.h>

#include <string>

namespace gui {
namespace {

class FtpTls : public main_window_test {};

// pyftpdlib's certificate is self-signed, which the system's policy refuses: the pane's first
// listing asks, Yes keeps the fingerprint shown, and entering a directory (a second operation, a
// second connection) asks no more, nor do a download and an upload through the toolbar. Then the
// pane opens vsftpd over implicit TLS (anonymous, its own certificate asked about once) and a
// file comes down from it.
TEST_F(FtpTls, a_certificate_accepted_always_is_asked_once_and_files_cross_both_ways)
{
    peer p = find_peer("pyftpdlib_tls");
    ASSERT_NE(p.port, 0);
    peer v = find_peer("vsftpd_implicit_noreuse");
    ASSERT_NE(v.port, 0);
    const std::string ini = program_.path() + "/ftp.ini";
    // [imp] first: the drive box's last entry is [tls], the one before it [imp].
    ASSERT_TRUE(write_text_file(
        ini, "[imp]\r\nserver=127.0.0.1\r\nport=" + std::to_string(v.port) + "\r\nid=" + v.user +
                 "\r\npassword=" + scramble_password(v.password).value_or("") +
                 "\r\nsecurity=implicit\r\nkeep dirlist=-\r\n[tls]\r\nserver=127.0.0.1\r\nport=" +
                 std::to_string(p.port) + "\r\nid=kv\r\npassword=" + scramble_password("pw").value_or("") +
                 "\r\nsecurity=explicit\r\nkeep dirlist=-\r\n"));
    std::string up;
    for (int i = 0; i < 300 * 1024; ++i)
        up += static_cast<char>(i * 7 % 251);
    ASSERT_TRUE(write_text_file(root_ + "up.bin", up));
    const std::string uploaded = p.root + "/docs/up.bin";
    os::remove_file(uploaded);
    layout().pane_dirs[2] = root_;
    open();
    int questions = 0;
    std::string asked;
    // Answered by kind: the certificate question has Yes, No and Cancel; notices have OK.
    auto answer = [&](HWND d) {
        if (GetDlgItem(d, IDYES)) {
            ++questions;
            for (const std::string& t : static_texts(d))
                asked += t;
            click_button(d, IDYES);
        } else if (GetDlgItem(d, IDOK)) {
            click_button(d, IDOK);
        }
    };
    {
        modal_answers answers({answer, answer, answer, answer});
        type_text(list(1), ":");
        HWND box = panes().views[1]->box.handle();
        press_key(box, VK_END);
        press_key(box, VK_RETURN);
        pump();
    }
    ASSERT_EQ(pane(1).path, "ftp://127.0.0.1/");
    EXPECT_GE(row_of(1, "big.bin"), 0);
    EXPECT_EQ(questions, 1);
    const std::string kept = server_value(ini, "tls", "certificate", 128, "");
    EXPECT_EQ(kept.size(), 95u);
    EXPECT_NE(asked.find("SHA-256: " + kept), std::string::npos) << asked;
    {
        modal_answers answers({answer, answer, answer});
        cursor_to("docs");
        press_key(list(1), VK_RETURN);
        pump();
    }
    EXPECT_EQ(pane(1).path, "ftp://127.0.0.1/docs/");
    EXPECT_GE(row_of(1, "b.bin"), 0);
    EXPECT_EQ(questions, 1);

    // Copy (its question answered OK) down into the local pane, then up from it.
    click_tool(IDM_DUAL_WINDOW);
    press_key(list(2), VK_TAB); // back to the server's pane
    ASSERT_EQ(panes().active, 1);
    auto copy = [&](const std::string& name) {
        cursor_to(name);
        modal_answers answers({answer, answer, answer, answer});
        click_tool(IDM_COPY);
    };
    copy("b.bin");
    EXPECT_EQ(os::read_file(root_ + "b.bin").value_or(""),
              os::read_file(p.root + "/docs/b.bin").value_or("-"));
    press_key(list(1), VK_TAB);
    ASSERT_EQ(panes().active, 2);
    copy("up.bin");
    EXPECT_EQ(os::read_file(uploaded).value_or("").size(), up.size());
    EXPECT_TRUE(os::read_file(uploaded).value_or("") == up); // 300 KiB, not printed
    os::remove_file(uploaded);
    EXPECT_EQ(questions, 1);
    // The log window hid itself while active: the main window has the keyboard again.
    EXPECT_EQ(GetForegroundWindow(), main());

    press_key(list(2), VK_TAB);
    {
        modal_answers answers({answer, answer, answer, answer});
        type_text(list(1), ":");
        HWND box = panes().views[1]->box.handle();
        press_key(box, VK_END);
        press_key(box, VK_UP);
        press_key(box, VK_RETURN);
        pump();
    }
    ASSERT_EQ(pane(1).path, "ftp://127.0.0.1/");
    EXPECT_EQ(questions, 2);
    copy("big.bin");
    EXPECT_TRUE(os::read_file(root_ + "big.bin").value_or("") ==
                os::read_file(v.root + "/big.bin").value_or("-"));
    EXPECT_EQ(questions, 2);
}

} // namespace
} // namespace gui
