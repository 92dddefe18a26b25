// The program editors opened from the Settings menu with the keys a user presses: a new
// extension program refused for a taken title and for a bracket, then saved with Shift only; a
// manual program showing its help section, refused a title that differs from another only in
// capitals, then deleted.
#include "main_window_fixture.h"

#include "dialogs.h"
#include "platform/os.h"
#include "programs/program_defs.h"
#include "resource.h"
#include "toolkit/module_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gui {
namespace {

class ProgramEditors : public main_window_test {
protected:
    void SetUp() override
    {
        main_window_test::SetUp();
        ASSERT_TRUE(ensure_default_programs(program_file::extension));
        ASSERT_TRUE(ensure_default_programs(program_file::manual));
    }
    // Alt with the first letter opens a menu of the bar, each next letter chooses in the menu that
    // has opened: the first key goes to the focused control as the system sends it, the others
    // reach the menu's own loop once one more menu shows (a user waits for it to appear).
    static void menu_keys(const char* letters)
    {
        static const char* start = nullptr;
        static const char* next = nullptr;
        static HWND focus = nullptr;
        static int waited = 0;
        start = letters;
        next = letters + 1;
        focus = GetFocus();
        waited = 0;
        UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
            if (!*next)
                return;
            std::vector<HWND> shown;
            EnumThreadWindows(
                GetCurrentThreadId(),
                [](HWND w, LPARAM found) {
                    if (class_of(w) == "#32768" && IsWindowVisible(w))
                        reinterpret_cast<std::vector<HWND>*>(found)->push_back(w);
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&shown));
            if (static_cast<std::ptrdiff_t>(shown.size()) >= next - start) {
                post_letter(focus, *next++, false);
                waited = 0;
            } else if (++waited > 100) {
                EndMenu(); // a menu that never came: the test fails instead of waiting
                next = "";
            }
        });
        post_letter(focus, letters[0], true);
        pump();
        KillTimer(nullptr, timer);
    }
    static void post_letter(HWND window, char letter, bool alt)
    {
        auto key = static_cast<UINT>(letter);
        LPARAM l = 1 | (static_cast<LPARAM>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16);
        if (alt)
            l |= static_cast<LPARAM>(KF_ALTDOWN) << 16;
        UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
        PostMessageA(window, down, key, l);
        PostMessageA(window, down + 1, key, l | (3LL << 30));
    }
    static std::string menu_text(HMENU menu, int id)
    {
        char text[128] = {};
        GetMenuStringA(menu, static_cast<UINT>(id), text, sizeof text, MF_BYCOMMAND);
        return text;
    }
    HMENU settings_submenu(int position) const
    {
        return GetSubMenu(GetSubMenu(win_->menu_bar(), MENU_POS_SETTINGS), position);
    }
    // A message box: its texts kept, closed with OK, then the editor goes on.
    static std::function<void(HWND)> box(std::vector<std::string>& texts, HWND& editor,
                                         std::function<void(HWND)> next)
    {
        return [&texts, &editor, next](HWND b) {
            texts = static_texts(b);
            click_button(b, IDOK);
            pump(0);
            next(editor);
        };
    }
};

TEST_F(ProgramEditors, a_new_extension_program_is_refused_twice_then_saved_for_shift_only)
{
    open();
    HWND editor = nullptr;
    bool has_delete = true, ok_when_empty = true, confirm_ticked = false;
    LRESULT title_limit = 0;
    std::string parameter;
    std::vector<std::string> taken, bracket;
    {
        modal_answers answers({[&](HWND d) {
                                   editor = d;
                                   title_limit =
                                       SendDlgItemMessageA(d, ID_PROGRAM_TITLE, EM_GETLIMITTEXT, 0, 0);
                                   has_delete = GetDlgItem(d, ID_DELETE) != nullptr;
                                   ok_when_empty = IsWindowEnabled(GetDlgItem(d, IDOK)) != 0;
                                   parameter = item_text(d, ID_PROGRAM_PARAMETER);
                                   confirm_ticked = IsDlgButtonChecked(d, ID_PROGRAM_CONFIRM) == BST_CHECKED;
                                   type_into(d, ID_PROGRAM_TITLE, "zip");
                                   type_into(d, ID_PROGRAM_FILE, "C:\\bin\\x.exe");
                                   pump(0);
                                   click_button(d, IDOK);
                               },
                               box(taken, editor,
                                   [](HWND d) {
                                       type_into(d, ID_PROGRAM_TITLE, "rar/a]");
                                       pump(0);
                                       click_button(d, IDOK);
                                   }),
                               box(bracket, editor, [](HWND d) {
                                   type_into(d, ID_PROGRAM_TITLE, "RAR"); // typed letters go lower case
                                   type_into(d, ID_PROGRAM_PARAMETER, "'?F1'");
                                   click_button(d, ID_PROGRAM_SHIFT_ONLY);
                                   click_button(d, ID_PROGRAM_CONFIRM);
                                   pump(0);
                                   click_button(d, IDOK);
                               })});
        menu_keys("SEM"); // 設定(&S) > 拡張子プログラム(&E) > 新規作成(&M)...
        EXPECT_EQ(answers.used(), 3u);
    }
    EXPECT_EQ(title_limit, 120); // with "(SHIFT)" the 127 bytes of a section name
    EXPECT_FALSE(has_delete);
    EXPECT_FALSE(ok_when_empty);
    EXPECT_EQ(parameter, "\"?F1\"");
    EXPECT_TRUE(confirm_ticked);
    EXPECT_TRUE(contains_text(taken, resource_string(IDS_NAME_EXISTS)));
    EXPECT_TRUE(contains_text(bracket, resource_string(IDS_TITLE_RULE)));
    std::string text = os::read_file(program_file_path(program_file::extension)).value_or("");
    EXPECT_NE(text.find("[lzh(SHIFT)]\r\nprogram=unlha32.dll/Unlha\r\nparameter=x \"?F1\" \"?D2?\\\"\r\n"
                        "confirm=+\r\n[rar(SHIFT)]\r\nprogram=C:/bin/x.exe\r\nparameter=''?F1''\r\n"
                        "confirm=-\r\n[zip]\r\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(menu_text(settings_submenu(MENU_POS_SETTINGS_EXTENSION_PROGRAMS),
                        IDM_EDIT_EXTENSION_PROGRAM_FIRST + 4),
              "rar(SHIFT)");

    // Opened again, the entry shows its extension alone with the box ticked.
    std::string title;
    bool shift_ticked = false;
    {
        modal_answers answers({[&](HWND d) {
            title = item_text(d, ID_PROGRAM_TITLE);
            shift_ticked = IsDlgButtonChecked(d, ID_PROGRAM_SHIFT_ONLY) == BST_CHECKED;
            click_button(d, IDCANCEL);
        }});
        PostMessageA(main(), WM_COMMAND, IDM_EDIT_EXTENSION_PROGRAM_FIRST + 4, 0);
        pump();
        EXPECT_EQ(answers.used(), 1u);
    }
    EXPECT_EQ(title, "rar");
    EXPECT_TRUE(shift_ticked);
}

TEST_F(ProgramEditors, a_manual_program_keeps_its_title_apart_from_another_in_capitals_and_is_deleted)
{
    std::string help_file;
    for (int i = 1; i <= 500; ++i)
        help_file += "L" + std::to_string(i) + "\r\n";
    ASSERT_TRUE(write_text_file(dirs().program_dir + "kelvasto.txt", help_file));
    open();
    HWND editor = nullptr;
    std::string title, help;
    std::vector<std::string> taken, question;
    {
        modal_answers answers({[&](HWND d) {
                                   editor = d;
                                   title = item_text(d, ID_PROGRAM_TITLE);
                                   click_button(d, ID_HELP_BUTTON);
                               },
                               [&](HWND h) {
                                   help = item_text(h, ID_TEXT);
                                   click_button(h, ID_CLOSE);
                                   pump(0);
                                   type_into(editor, ID_PROGRAM_TITLE, "make &lzh");
                                   pump(0);
                                   click_button(editor, IDOK);
                               },
                               box(taken, editor, [](HWND d) { click_button(d, ID_DELETE); }),
                               [&](HWND b) {
                                   question = static_texts(b);
                                   click_button(b, IDOK);
                               }});
        menu_keys("SPZ"); // 設定(&S) > 手動プログラム(&P) > make &Zip
        EXPECT_EQ(answers.used(), 4u);
    }
    std::string lines; // the manual programs' section: 84 lines from line 384
    for (int i = 384; i < 384 + 84; ++i)
        lines += "L" + std::to_string(i) + "\r\n";
    EXPECT_EQ(help, lines);
    EXPECT_EQ(title, "make &Zip");
    EXPECT_TRUE(contains_text(taken, resource_string(IDS_NAME_EXISTS)));
    EXPECT_TRUE(contains_text(question, resource_string(IDS_ASK_DELETE)));
    std::string path = program_file_path(program_file::manual);
    EXPECT_EQ(program_titles(path), (std::vector<std::string>{"make &Cab", "make &Lzh"}));
    EXPECT_EQ(read_program_key(path, "make &Lzh", "program", 256, ""), "unlha32.dll/Unlha");
    HMENU run = GetSubMenu(win_->menu_bar(), MENU_POS_PROGRAMS);
    EXPECT_EQ(GetMenuItemCount(run), 2);
    EXPECT_EQ(GetMenuItemCount(settings_submenu(MENU_POS_SETTINGS_MANUAL_PROGRAMS)), 4);
}

} // namespace
} // namespace gui
