// An FTP pane beside a local one against the fixture's pyftpdlib, through the toolbar and the
// dialogs: transfers both ways, rename, a new directory, a delete; without Shift the log window goes
// by itself, with Shift it stays. What the walks send and convert byte for byte is FtpOperations'.
#include "main_window_fixture.h"

#include "dialogs.h"
#include "platform/os.h"
#include "resource.h"
#include "settings/settings.h"
#include "support/ftp_peers.h"
#include "toolkit/module_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gui {
namespace {

class FtpTransfers : public main_window_test {
protected:
    void SetUp() override
    {
        main_window_test::SetUp();
        layout().pane_dirs[2] = root_;
        server_ = find_peer("pyftpdlib");
        ASSERT_NE(server_.port, 0);
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        remote_ = server_.root + "/" + name + "/";
        os::remove_directory_tree(remote_);
        ASSERT_TRUE(os::make_directory(remote_));
        ASSERT_TRUE(write_text_file(
            program_.path() + "/ftp.ini",
            "[py]\r\nserver=127.0.0.1\r\ncharset=EUC-JP\r\nport=" + std::to_string(server_.port) +
                "\r\nid=kv\r\npassword=\r\n" + "start directory=/" + name + "/\r\nkeep dirlist=-\r\n"));
    }
    void TearDown() override
    {
        main_window_test::TearDown();
        os::remove_directory_tree(remote_);
    }

    // Opens the window with the server in the left pane (its password typed, its first listing
    // allowed) and the test's directory in the right one.
    void open_on_server()
    {
        open();
        settings().use_trash = false; // an upload move deletes for good, not into this HOME's trash
        {
            modal_answers answers({type_and_ok(ID_FTP_PASSWORD, "pw"), ok_boxes(), ok_boxes()});
            choose_drive();
        }
        ASSERT_EQ(pane(1).path.rfind("ftp://127.0.0.1/", 0), 0u) << pane(1).path;
        click_tool(IDM_DUAL_WINDOW);
        press_key(list(2), VK_TAB); // back to the server's pane
        ASSERT_EQ(panes().active, 1);
    }
    // OK to every question and notice; the windows without OK (the log, the worker's notice)
    // are left to themselves. What the boxes said is kept.
    std::function<void(HWND)> ok_boxes()
    {
        return [this](HWND d) {
            if (!GetDlgItem(d, IDOK))
                return;
            for (const std::string& t : static_texts(d))
                said_ += t + "\n";
            click_button(d, IDOK);
        };
    }
    std::vector<std::function<void(HWND)>> ok_all(std::size_t n = 6)
    {
        return std::vector<std::function<void(HWND)>>(n, ok_boxes());
    }
    void name_dialog(int id, const std::string& name)
    {
        modal_answers answers({type_and_ok(ID_NAME, name), ok_boxes()});
        click_tool(id);
    }
    std::string remote_file(const std::string& name)
    {
        return os::read_file(remote_ + name).value_or("<none>");
    }

    peer server_;
    std::string remote_;
    std::string said_;
};

TEST_F(FtpTransfers, a_tree_goes_down_and_away_names_change_and_files_go_up)
{
    ASSERT_TRUE(fops::make_tree(
        remote_, {"tree/", "tree/sub/", "tree/sub/euc.txt=\xC6\xFC\xCB\xDC\xB8\xEC\n"})); // 日本語
    const std::string japanese = acp("日本.txt");
    ASSERT_TRUE(fops::make_tree(root_, {"up.txt=line", japanese, "plain.bin=p"}));
    open_on_server();
    EXPECT_NE(said_.find(resource_string(IDS_ASK_FTP_ACCESS)), std::string::npos) << said_;

    // Down: the text is converted; the local pane shows the tree.
    cursor_to("tree");
    {
        modal_answers answers(ok_all());
        click_tool(IDM_COPY);
    }
    EXPECT_NE(said_.find(resource_string(IDS_ASK_COPY)), std::string::npos);
    EXPECT_EQ(os::read_file(root_ + "tree/sub/euc.txt").value_or(""),
              acp("日本語\r\n")); // a text file ends its lines the local way
    EXPECT_GE(row_of(2, "tree"), 0);

    cursor_to("tree");
    name_dialog(IDM_RENAME, "tree2");
    EXPECT_TRUE(os::is_directory(remote_ + "tree2"));
    EXPECT_GE(row_of(1, "tree2"), 0);
    name_dialog(IDM_MAKE_DIRECTORY, "made");
    EXPECT_TRUE(os::is_directory(remote_ + "made"));
    EXPECT_GE(row_of(1, "made"), 0);
    // Away, with its subdirectory.
    cursor_to("tree2");
    {
        modal_answers answers(ok_all());
        click_tool(IDM_DELETE);
    }
    EXPECT_FALSE(os::path_exists(remote_ + "tree2"));
    EXPECT_LT(row_of(1, "tree2"), 0);

    // Up from the local pane: a text file gets its final line feed on the server only.
    press_key(list(1), VK_TAB);
    ASSERT_EQ(panes().active, 2);
    cursor_to("up.txt");
    {
        modal_answers answers(ok_all());
        click_tool(IDM_COPY);
    }
    EXPECT_EQ(remote_file("up.txt"), "line\n");
    EXPECT_EQ(os::read_file(root_ + "up.txt").value_or(""), "line");
    EXPECT_GE(row_of(1, "up.txt"), 0);
    // The log window hid itself while active: the main window has the keyboard again.
    EXPECT_EQ(GetForegroundWindow(), main());

    // A move up: the Japanese name reaches the server's disk in UTF-8 (read back here through the
    // Windows name) and leaves the local side.
    cursor_to(japanese);
    type_text(list(2), " ");
    cursor_to("plain.bin");
    type_text(list(2), " ");
    {
        modal_answers answers(ok_all());
        click_tool(IDM_MOVE);
    }
    EXPECT_EQ(remote_file("plain.bin"), "p");
    EXPECT_FALSE(os::path_exists(root_ + "plain.bin"));
    EXPECT_EQ(remote_file(japanese), "x\n");
    EXPECT_FALSE(os::path_exists(root_ + japanese));
    EXPECT_LT(row_of(2, japanese), 0);
    EXPECT_TRUE(save_screenshot(main(), "ftp_panes"));
}

TEST_F(FtpTransfers, the_log_window_shows_the_protocol_while_shift_is_held)
{
    ASSERT_TRUE(write_text_file(remote_ + "a.bin", std::string(5000, 'a')));
    open_on_server();
    cursor_to("a.bin");
    std::string log;
    bool shown = false;
    {
        held_keys shift({VK_SHIFT});
        modal_answers answers({ok_boxes(), [&](HWND w) {
                                   // Shift still held at the end: the window stays for the user.
                                   pump_until([&] { return IsWindowEnabled(GetDlgItem(w, IDCANCEL)) != 0; });
                                   shown = IsWindowVisible(w) != 0;
                                   log = item_text(w, ID_TEXT);
                                   save_screenshot(w, "ftp_log");
                                   click_button(w, IDCANCEL);
                               }});
        click_tool(IDM_COPY);
    }
    EXPECT_TRUE(shown);
    EXPECT_NE(log.find("RETR a.bin"), std::string::npos) << log;
    EXPECT_EQ(os::read_file(root_ + "a.bin").value_or(""), std::string(5000, 'a'));
}

} // namespace
} // namespace gui
