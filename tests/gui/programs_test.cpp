// External programs through the real main window: the run menu from program.ini, manual and
// extension programs calling the test archiver, refusals, a program the shell started, and the
// program editors opened from the Settings menu.
#include "main_window_fixture.h"

#include "dialogs.h"
#include "platform/os.h"
#include "programs/command_template.h"
#include "programs/program_defs.h"
#include "resource.h"
#include "settings/settings.h"

#include <cstdio>

namespace gui {
namespace {

// The next pop-up menu gets Down `downs` times and Enter, as from a user; photographed first.
int downs = 1;
const char* menu_shot = nullptr;
void CALLBACK drive_menu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND menu = FindWindowA("#32768", nullptr);
    if (!menu || !IsWindowVisible(menu))
        return;
    KillTimer(nullptr, timer);
    if (menu_shot)
        save_screenshot(menu, menu_shot);
    for (int i = 0; i < downs; ++i)
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 1);
}

class Programs : public main_window_test {
protected:
    void SetUp() override
    {
        main_window_test::SetUp();
        ASSERT_TRUE(fops::make_tree(root_, {"a.txt", "b.txt", "c.txt", "out/"}));
    }
    // Item `item` of the run menu, opened by the program-menu letter E.
    void run_from_menu(int item, const char* screenshot = nullptr)
    {
        downs = item + 1;
        menu_shot = screenshot;
        UINT_PTR t = SetTimer(nullptr, 0, 50, drive_menu);
        press('E');
        KillTimer(nullptr, t);
    }
    // Two panes, the right one in "out"; the left one active with its three files marked.
    void open_marked()
    {
        open();
        click_tool(IDM_DUAL_WINDOW);
        change_directory("out");
        press(VK_TAB);
        press(VK_INSERT);
        ASSERT_EQ(pane(1).rows.marked_count(), 3u);
        cursor_to("b.txt");
    }
    // Answers a result dialog or a message box, keeping its text.
    std::function<void(HWND)> record()
    {
        return [this](HWND box) {
            HWND text = GetDlgItem(box, ID_TEXT);
            seen_.push_back(text_of(text ? text : GetDlgItem(box, 0xFFFF))); // a box's message
            click_button(box, text ? ID_CLOSE : IDOK);
        };
    }
    std::string list1() const { return dirs().temp_dir + "kv_rsp1.tmp"; }

    const std::string archiver_ = std::string("Z:") + KV_TEST_ARCHIVER;
    std::vector<std::string> seen_;
};

TEST_F(Programs, a_manual_program_calls_the_library_on_three_marked_files)
{
    ASSERT_TRUE(write_text_file(program_.file("program.ini"),
                                "[make &Test]\r\nprogram=" + archiver_ +
                                    "/KvArchive\r\nparameter=a \"?D2?\\?f0\" \"?f1\"\r\n[&Full]\r\nprogram=" +
                                    archiver_.substr(0, archiver_.size() - 3) +
                                    "DLL/KvArchive\r\nparameter=f\r\nconfirm=-\r\n"));
    open_marked();
    ASSERT_EQ(GetMenuItemCount(GetSubMenu(win_->menu_bar(), MENU_POS_PROGRAMS)), 2);
    std::string confirmed;
    modal_answers answers({type_and_ok(ID_NAME, "t.arc"),
                           [&](HWND box) {
                               confirmed = item_text(box, ID_EXEC_PARAMETER);
                               click_button(box, IDOK);
                           },
                           [&](HWND box) {
                               save_screenshot(box, "exec_result");
                               record()(box);
                           },
                           record()});
    run_from_menu(0, "program_menu");
    ASSERT_EQ(answers.used(), 3u);
    EXPECT_EQ(confirmed, "a \"" + directory_form(pane(2).path) + "\\t.arc\" \"@" + list1() + "\"");
    char owner[64];
    std::snprintf(owner, sizeof owner, "kv archiver a owner %p\r\n", static_cast<void*>(main()));
    EXPECT_EQ(seen_.at(0), owner + ("command: " + confirmed + "\r\nlist " + list1() +
                                    ":\r\n\"a.txt\"\r\n\"b.txt\"\r\n\"c.txt\"\r\n"));
    EXPECT_EQ(os::read_file(pane(2).path + "t.arc").value_or(""), seen_[0]);
    EXPECT_EQ(cursor_name(1), "b.txt");
    EXPECT_FALSE(os::path_exists(list1()));

    // All 65,535 bytes filled and no terminator: the first 65,534 are shown.
    run_from_menu(1);
    ASSERT_EQ(answers.used(), 4u);
    std::string first(65534, ' ');
    for (std::size_t i = 0; i < first.size(); ++i)
        first[i] = static_cast<char>('a' + i % 26);
    EXPECT_TRUE(seen_.at(1) == first) << seen_[1].size();
}

TEST_F(Programs, enter_opens_files_by_extension_and_shift_and_refuses_what_cannot_run)
{
    const std::string long_name = std::string(90, 'n') + ".kvl";
    for (const std::string& f : {std::string("box.KVT"), long_name})
        ASSERT_TRUE(write_text_file(root_ + f, "x"));
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    ASSERT_TRUE(CopyFileA(self, (root_ + "tool.exe").c_str(), FALSE)); // a console program
    std::string lib = "\r\nprogram=" + archiver_ + "/KvArchive\r\nconfirm=-\r\n";
    ASSERT_TRUE(write_text_file(program_.file("programe.ini"), "[zip/kvt]\r\nparameter=l \"?F1\"" + lib +
                                                                   "[kvt(SHIFT)]\r\nparameter=x ?f1 ?n1" +
                                                                   lib + "[kvl]\r\nparameter=l ?F1 ?F1 ?F1" +
                                                                   lib));
    open();
    modal_answers answers({record(), record(), record(), record()});
    const struct {
        std::string file;
        bool shift;
        std::string seen;
    } rows[] = {
        {"box.KVT", false, "\r\ncommand: l \"" + root_ + "box.KVT\"\r\n"},
        {"box.KVT", true, "\r\ncommand: x box.KVT box\r\n"},
        // Three full paths do not fit in 255 bytes: nothing runs.
        {long_name, false, resource_string(IDS_SYSTEM_ERROR)},
        {"tool.exe", false, resource_string(IDS_PROGRAM_START_ERROR)},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        cursor_to(rows[i].file);
        press(VK_RETURN, rows[i].shift ? std::initializer_list<int>{VK_SHIFT} : std::initializer_list<int>{});
        ASSERT_EQ(answers.used(), i + 1) << rows[i].file;
        EXPECT_NE(seen_[i].find(rows[i].seen), std::string::npos) << seen_[i];
    }
}

// A batch file is a console program the shell must not start: it opens in the text viewer.
TEST_F(Programs, a_batch_file_opens_in_the_text_viewer)
{
    ASSERT_TRUE(write_text_file(root_ + "run.bat", "echo x\r\n"));
    std::string seen = scratch_.file("viewer.seen");
    ASSERT_TRUE(SetEnvironmentVariableA("KV_TEST_SEEN", seen.c_str())); // the viewer inherits it
    open();
    settings().text_viewer = std::string("Z:") + KV_TEST_WAITER;
    cursor_to("run.bat");
    press(VK_RETURN);
    pump_until([&] { return os::path_exists(seen); });
    SetEnvironmentVariableA("KV_TEST_SEEN", nullptr);
    EXPECT_EQ(os::read_file(seen).value_or("<not started>"), "\"" + root_ + "run.bat\"");
}

// The program reads its list when it likes: the list stays until it has ended, however long.
TEST_F(Programs, the_list_of_a_program_the_shell_started_stays_until_it_ends)
{
    std::string release = scratch_.file("release");
    ASSERT_TRUE(write_text_file(program_.file("program.ini"), std::string("[&Wait]\r\nprogram=Z:") +
                                                                  KV_TEST_WAITER + "\r\nparameter=?f1 " +
                                                                  release + "\r\nconfirm=-\r\n"));
    open_marked();
    run_from_menu(0);
    pump_until([&] { return os::path_exists(release + ".seen"); });
    ASSERT_EQ(os::read_file(release + ".seen").value_or(""), "\"a.txt\"\r\n\"b.txt\"\r\n\"c.txt\"\r\n");
    EXPECT_TRUE(os::path_exists(list1()));
    ASSERT_TRUE(write_text_file(release, ""));
    pump_until([&] { return !os::path_exists(list1()); });
    EXPECT_FALSE(os::path_exists(list1()));
}

using ProgramEditors = main_window_test;

// A new extension program refused for a taken title and for a bracket, then saved for Shift only;
// a manual program refused a title that differs from another only in capitals, then deleted.
TEST_F(ProgramEditors, new_edited_refused_and_deleted_entries_reach_the_files_and_the_menus)
{
    ASSERT_TRUE(ensure_default_programs(program_file::extension));
    ASSERT_TRUE(ensure_default_programs(program_file::manual));
    open();
    HWND editor = nullptr;
    LRESULT title_limit = 0, manual_title_limit = 0, parameter_limit = 0;
    bool ok_before_program = true;
    std::vector<std::string> taken, bracket, capitals, question;
    {
        modal_answers answers({[&](HWND d) {
                                   editor = d;
                                   title_limit =
                                       SendDlgItemMessageA(d, ID_PROGRAM_TITLE, EM_GETLIMITTEXT, 0, 0);
                                   type_into(d, ID_PROGRAM_TITLE, "zip");
                                   pump(0);
                                   // OK only once the last of the three fields holds text.
                                   ok_before_program = IsWindowEnabled(GetDlgItem(d, IDOK)) != 0;
                                   type_into(d, ID_PROGRAM_FILE, "C:\\bin\\x.exe");
                                   pump(0);
                                   save_screenshot(d, "program_dialog");
                                   click_button(d, IDOK);
                               },
                               ok_box(taken,
                                      [&] {
                                          type_into(editor, ID_PROGRAM_TITLE, "rar/a]");
                                          click_button(editor, IDOK);
                                      }),
                               ok_box(bracket, [&] {
                                   type_into(editor, ID_PROGRAM_TITLE, "RAR"); // typed letters go lower case
                                   click_button(editor, ID_PROGRAM_SHIFT_ONLY);
                                   click_button(editor, ID_PROGRAM_CONFIRM);
                                   click_button(editor, IDOK);
                               })});
        menu_keys("SEM"); // 設定(&S) > 拡張子プログラム(&E) > 新規作成(&M)...
        EXPECT_EQ(answers.used(), 3u);
    }
    EXPECT_FALSE(ok_before_program);
    EXPECT_EQ(title_limit, 120); // with "(SHIFT)" the 127 bytes of a section name
    EXPECT_TRUE(contains_text(taken, resource_string(IDS_NAME_EXISTS)));
    EXPECT_TRUE(contains_text(bracket, resource_string(IDS_TITLE_RULE)));
    EXPECT_NE(os::read_file(program_file_path(program_file::extension))
                  .value_or("")
                  .find("confirm=+\r\n[rar(SHIFT)]\r\nprogram=C:/bin/x.exe\r\nparameter='\"?F1\"'\r\n"
                        "confirm=-\r\n[zip]\r\n"),
              std::string::npos);
    char text[32] = {};
    GetMenuStringA(win_->menu_bar(), IDM_EDIT_EXTENSION_PROGRAM_FIRST + 4, text, sizeof text, MF_BYCOMMAND);
    EXPECT_EQ(std::string(text), "rar(SHIFT)");

    {
        modal_answers answers({[&](HWND d) {
                                   editor = d;
                                   manual_title_limit =
                                       SendDlgItemMessageA(d, ID_PROGRAM_TITLE, EM_GETLIMITTEXT, 0, 0);
                                   parameter_limit =
                                       SendDlgItemMessageA(d, ID_PROGRAM_PARAMETER, EM_GETLIMITTEXT, 0, 0);
                                   type_into(d, ID_PROGRAM_TITLE, "make &lzh");
                                   click_button(d, IDOK);
                               },
                               ok_box(capitals, [&] { click_button(editor, ID_DELETE); }), ok_box(question)});
        menu_keys("SPZ"); // 設定(&S) > 手動プログラム(&P) > make &Zip
        EXPECT_EQ(answers.used(), 3u);
    }
    EXPECT_EQ(manual_title_limit, 127); // a title is a section name
    EXPECT_EQ(parameter_limit, 255);
    EXPECT_TRUE(contains_text(capitals, resource_string(IDS_NAME_EXISTS)));
    EXPECT_TRUE(contains_text(question, resource_string(IDS_ASK_DELETE)));
    std::string path = program_file_path(program_file::manual);
    EXPECT_EQ(program_titles(path), (std::vector<std::string>{"make &Cab", "make &Lzh"}));
    EXPECT_EQ(read_program_key(path, "make &Lzh", "program", 256, ""), "unlha32.dll/Unlha");
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(win_->menu_bar(), MENU_POS_PROGRAMS)), 2);
}

} // namespace
} // namespace gui
