// The program editors opened from the Settings menu with the keys a user presses: a new
// extension program refused for a taken title and for a bracket, then saved for Shift only; a
// manual program refused a title that differs from another only in capitals, then deleted.
#include "main_window_fixture.h"

#include "dialogs.h"
#include "platform/os.h"
#include "programs/program_defs.h"
#include "resource.h"

namespace gui {
namespace {

using ProgramEditors = main_window_test;

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
