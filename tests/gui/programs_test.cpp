// External programs through the real main window: the manual program menu from program.ini, a
// manual and an extension program calling the test archiver library, a console program refused,
// and the list files of a program the shell started.
#include "main_window_fixture.h"

#include "dialogs.h"
#include "platform/os.h"
#include "programs/command_template.h"
#include "resource.h"
#include "toolkit/module_win.h"

#include <cstdio>

namespace gui {
namespace {

std::string windows_path(const char* unix_path)
{
    return std::string("Z:") + unix_path;
}

std::string whole_text(HWND window)
{
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Picks an item of the next pop-up menu by keys, as a user does: `downs` times Down, then Enter;
// the menu is photographed first when `screenshot` is given.
struct menu_pick {
    int downs = 1;
    const char* screenshot = nullptr;
};
menu_pick& pending_pick()
{
    static menu_pick p;
    return p;
}
void CALLBACK drive_menu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND menu = FindWindowA("#32768", nullptr);
    if (!menu || !IsWindowVisible(menu))
        return;
    KillTimer(nullptr, timer);
    if (pending_pick().screenshot)
        save_screenshot(menu, pending_pick().screenshot);
    for (int i = 0; i < pending_pick().downs; ++i)
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 1);
}

class Programs : public main_window_test {
protected:
    void SetUp() override
    {
        main_window_test::SetUp();
        saved_temp_ = dirs().temp_dir;
        dirs().temp_dir = lists_.path() + "/";
        archiver_ = windows_path(KV_TEST_ARCHIVER);
        for (const char* f : {"a.txt", "b.txt", "c.txt"})
            ASSERT_TRUE(write_text_file(root_ + f, "x"));
        ASSERT_TRUE(os::make_directory(root_ + "out"));
    }
    void TearDown() override
    {
        main_window_test::TearDown();
        dirs().temp_dir = saved_temp_;
    }
    void press(UINT key, std::initializer_list<int> modifiers = {})
    {
        held_keys held(modifiers);
        press_key(list(panes().active), key);
    }
    // The run menu by the program-menu letter E, one item chosen.
    void run_from_menu(int item, const char* screenshot = nullptr)
    {
        pending_pick() = {item + 1, screenshot};
        UINT_PTR t = SetTimer(nullptr, 0, 50, drive_menu);
        press('E');
        KillTimer(nullptr, t);
    }
    // Two panes: the right one in "out", the left one active with its three files marked.
    void open_marked()
    {
        open();
        click_tool(IDM_DUAL_WINDOW);
        change_directory("out");
        pump();
        press(VK_TAB);
        ASSERT_EQ(panes().active, 1);
        press(VK_INSERT);
        ASSERT_EQ(pane(1).rows.marked_count(), 3u);
        cursor_to("b.txt");
    }
    std::string list1() const { return dirs().temp_dir + "kv_rsp1.tmp"; }

    temp_dir lists_;
    std::string saved_temp_;
    std::string archiver_;
};

TEST_F(Programs, a_manual_program_calls_the_library_on_three_marked_files)
{
    ASSERT_TRUE(write_text_file(program_.file("program.ini"),
                                "[make &Test]\r\nprogram=" + archiver_ + "/KvArchive\r\n" +
                                    "parameter=a \"?D2?\\?f0\" \"?f1\"\r\nconfirm=+\r\n"
                                    "[&Full]\r\nprogram=" +
                                    archiver_.substr(0, archiver_.size() - 3) +
                                    "DLL/KvArchive\r\nparameter=f\r\nconfirm=-\r\n"));
    open_marked();
    HMENU run_menu = GetSubMenu(win_->menu_bar(), MENU_POS_PROGRAMS);
    ASSERT_EQ(GetMenuItemCount(run_menu), 2);
    EXPECT_EQ(GetMenuItemID(run_menu, 1), static_cast<UINT>(IDM_RUN_PROGRAM_FIRST + 1));

    std::string confirmed, output;
    modal_answers answers({[](HWND box) {
                               type_into(box, ID_NAME, "t.arc");
                               pump(0);
                               click_button(box, IDOK);
                           },
                           [&](HWND box) {
                               confirmed = item_text(box, ID_EXEC_PARAMETER);
                               click_button(box, IDOK);
                           },
                           [&](HWND box) {
                               output = whole_text(GetDlgItem(box, ID_TEXT));
                               save_screenshot(box, "exec_result");
                               click_button(box, ID_CLOSE);
                           }});
    run_from_menu(0, "program_menu");
    ASSERT_EQ(answers.used(), 3u);
    std::string out_dir = directory_form(pane(2).path);
    EXPECT_EQ(confirmed, "a \"" + out_dir + "\\t.arc\" \"@" + list1() + "\"");
    char owner[64];
    std::snprintf(owner, sizeof owner, "kv archiver a owner %p\r\n", static_cast<void*>(main()));
    const std::string list = "list " + list1() + ":\r\n\"a.txt\"\r\n\"b.txt\"\r\n\"c.txt\"\r\n";
    EXPECT_EQ(output, owner + ("command: " + confirmed + "\r\n") + list);
    EXPECT_EQ(os::read_file(pane(2).path + "t.arc").value_or(""), output);
    EXPECT_EQ(cursor_name(1), "b.txt");
    EXPECT_FALSE(os::path_exists(list1()));

    // All 65,535 bytes filled and no terminator: the first 65,534 are shown.
    modal_answers full({[&](HWND box) {
        output = whole_text(GetDlgItem(box, ID_TEXT));
        click_button(box, ID_CLOSE);
    }});
    run_from_menu(1);
    ASSERT_EQ(full.used(), 1u);
    std::string first(65534, ' ');
    for (std::size_t i = 0; i < first.size(); ++i)
        first[i] = static_cast<char>('a' + i % 26);
    EXPECT_TRUE(output == first) << output.size();
}

TEST_F(Programs, enter_opens_a_file_with_its_extension_program_and_shift_picks_the_other)
{
    ASSERT_TRUE(write_text_file(root_ + "box.KVT", "x"));
    const std::string name = std::string(90, 'n') + ".kvl";
    ASSERT_TRUE(write_text_file(root_ + name, "x"));
    ASSERT_TRUE(write_text_file(program_.file("programe.ini"),
                                "[zip/kvt]\r\nprogram=" + archiver_ +
                                    "/KvArchive\r\nparameter=l \"?F1\"\r\n"
                                    "confirm=-\r\n[kvt(SHIFT)]\r\nprogram=" +
                                    archiver_ + "/KvArchive\r\nparameter=x ?f1 ?n1\r\nconfirm=-\r\n"));
    open();
    std::vector<std::string> outputs;
    modal_answers answers({[&](HWND box) {
                               outputs.push_back(whole_text(GetDlgItem(box, ID_TEXT)));
                               click_button(box, ID_CLOSE);
                           },
                           [&](HWND box) {
                               outputs.push_back(whole_text(GetDlgItem(box, ID_TEXT)));
                               click_button(box, ID_CLOSE);
                           }});
    cursor_to("box.KVT");
    press(VK_RETURN);
    cursor_to("box.KVT");
    press(VK_RETURN, {VK_SHIFT});
    ASSERT_EQ(outputs.size(), 2u);
    EXPECT_NE(outputs[0].find("\r\ncommand: l \"" + root_ + "box.KVT\"\r\n"), std::string::npos)
        << outputs[0];
    EXPECT_NE(outputs[1].find("\r\ncommand: x box.KVT box\r\n"), std::string::npos) << outputs[1];

    // Three full paths do not fit in 255 bytes: message 30, and the library is not called.
    ASSERT_TRUE(
        write_text_file(program_.file("programe.ini"),
                        "[kvl]\r\nprogram=" + archiver_ + "/KvArchive\r\nparameter=l ?F1 ?F1 ?F1\r\n"));
    std::vector<std::string> texts;
    modal_answers refused({[&](HWND box) {
        texts = static_texts(box);
        click_button(box, IDOK);
    }});
    cursor_to(name);
    press(VK_RETURN);
    ASSERT_EQ(refused.used(), 1u);
    EXPECT_TRUE(contains_text(texts, resource_string(IDS_SYSTEM_ERROR)));
}

TEST_F(Programs, a_console_program_is_refused_with_message_33)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    ASSERT_TRUE(CopyFileA(self, (root_ + "tool.exe").c_str(), FALSE)); // a console program
    open();
    std::vector<std::string> texts;
    modal_answers answers({[&](HWND box) {
        texts = static_texts(box);
        click_button(box, IDOK);
    }});
    cursor_to("tool.exe");
    press(VK_RETURN);
    ASSERT_EQ(answers.used(), 1u);
    EXPECT_TRUE(contains_text(texts, resource_string(IDS_PROGRAM_START_ERROR)));
}

// The program reads its list when it likes: the list stays until it has ended, however long.
TEST_F(Programs, the_list_of_a_program_the_shell_started_stays_until_it_ends)
{
    std::string release = lists_.path() + "/release";
    ASSERT_TRUE(write_text_file(program_.file("program.ini"),
                                "[&Wait]\r\nprogram=" + windows_path(KV_TEST_WAITER) + "\r\nparameter=?f1 " +
                                    release + "\r\nconfirm=-\r\n"));
    open_marked();
    run_from_menu(0);
    for (int i = 0; i < 200 && !os::path_exists(release + ".seen"); ++i)
        pump(50);
    ASSERT_EQ(os::read_file(release + ".seen").value_or(""), "\"a.txt\"\r\n\"b.txt\"\r\n\"c.txt\"\r\n");
    EXPECT_TRUE(os::path_exists(list1()));
    ASSERT_TRUE(write_text_file(release, ""));
    for (int i = 0; i < 200 && os::path_exists(list1()); ++i)
        pump(50);
    EXPECT_FALSE(os::path_exists(list1()));
}

} // namespace
} // namespace gui
