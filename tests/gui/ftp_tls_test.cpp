// A server over TLS through the real window: its certificate question comes up while the pane
// opens the server, and an answer of "always" is kept for the operations that follow.
#include "main_window_fixture.h"

#include "ftp/server_registry.h"
#include "support/ftp_peers.h"

#include <gtest/gtest.h>

#include <string>

namespace gui {
namespace {

class FtpTls : public main_window_test {};

// pyftpdlib's certificate is self-signed, which the system's policy refuses: the pane's first
// listing asks, Yes keeps the fingerprint shown, and entering a directory (a second operation, a
// second connection) asks no more.
TEST_F(FtpTls, a_certificate_accepted_always_is_asked_once)
{
    peer p = find_peer("pyftpdlib_tls");
    ASSERT_NE(p.port, 0);
    const std::string ini = program_.path() + "/ftp.ini";
    ASSERT_TRUE(write_text_file(ini, "[tls]\r\nserver=127.0.0.1\r\nport=" + std::to_string(p.port) +
                                         "\r\nid=kv\r\npassword=" + scramble_password("pw").value_or("") +
                                         "\r\nsecurity=explicit\r\nkeep dirlist=-\r\n"));
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
}

} // namespace
} // namespace gui
