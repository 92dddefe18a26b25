// What a user's keys and clicks reach, delivered as the system delivers them: the toolbar's check
// buttons after a click, F10 in a file list, the keyboard focus after the start and after a box
// closes, type-ahead in the directory box.
#include "main_window_fixture.h"

#include "platform/os.h"
#include "resource.h"

namespace gui {
namespace {

using UserInput = main_window_test;

TEST_F(UserInput, toolbar_check_buttons_agree_with_the_state_after_a_click_the_key_and_the_menu)
{
    open();
    HWND bar = GetDlgItem(main(), toolbar_id);
    auto shows = [&](int id, bool on) {
        EXPECT_EQ(SendMessageA(bar, TB_ISBUTTONCHECKED, id, 0) != 0, on) << id;
        EXPECT_EQ((GetMenuState(win_->menu_bar(), id, MF_BYCOMMAND) & MF_CHECKED) != 0, on) << id;
    };
    ASSERT_TRUE(hide_system_files()); // the default hides system files
    shows(IDM_HIDE_SYSTEM_FILES, true);
    click_tool(IDM_HIDE_SYSTEM_FILES);
    EXPECT_FALSE(hide_system_files());
    shows(IDM_HIDE_SYSTEM_FILES, false);
    press_key(GetFocus(), 'M'); // the hide-system letter
    EXPECT_TRUE(hide_system_files());
    shows(IDM_HIDE_SYSTEM_FILES, true);
    menu_command(IDM_HIDE_SYSTEM_FILES); // the View menu
    EXPECT_FALSE(hide_system_files());
    shows(IDM_HIDE_SYSTEM_FILES, false);

    click_tool(IDM_DUAL_WINDOW);
    EXPECT_TRUE(panes().dual);
    shows(IDM_DUAL_WINDOW, true);
    click_tool(IDM_DUAL_WINDOW);
    EXPECT_FALSE(panes().dual);
    shows(IDM_DUAL_WINDOW, false);
}

TEST_F(UserInput, f10_as_the_system_sends_it_goes_to_mark_10_and_shift_f10_sets_it)
{
    ASSERT_TRUE(os::make_directory(root_ + "sub"));
    open();
    ASSERT_EQ(GetFocus(), list(1));
    // A menu opened by F10 would wait for the user: it is closed after a second.
    UINT_PTR closer = SetTimer(nullptr, 0, 1000, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
    {
        held_keys shift({VK_SHIFT});
        press_system_key(GetFocus(), VK_F10);
    }
    EXPECT_EQ(layout().marks[9], root_);
    change_directory("sub");
    pump();
    ASSERT_EQ(pane(1).path, root_ + "sub/");
    press_system_key(GetFocus(), VK_F10);
    EXPECT_EQ(pane(1).path, root_);
    KillTimer(nullptr, closer);
}

TEST_F(UserInput, the_list_has_the_keys_after_the_start_and_after_a_box_closes)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"})
        ASSERT_TRUE(os::write_file_atomic(root_ + name, "x"));
    open(); // created and brought to the front as the program starts it, nothing else
    EXPECT_EQ(GetFocus(), list(1));
    int cursor = pane(1).rows.cursor();
    press_key(GetFocus(), VK_DOWN);
    EXPECT_EQ(pane(1).rows.cursor(), cursor + 1);

    // The version box, closed with Enter: the keys go to the list again.
    {
        modal_answers answers({[](HWND) {
            HWND focus = GetFocus();
            PostMessageA(focus, WM_KEYDOWN, VK_RETURN, 1);
            PostMessageA(focus, WM_KEYUP, VK_RETURN, 0xC0000001);
        }});
        menu_command(IDM_VERSION);
        EXPECT_EQ(answers.used(), 1u);
    }
    pump();
    EXPECT_EQ(GetFocus(), list(1));
    press_key(GetFocus(), VK_DOWN);
    EXPECT_EQ(pane(1).rows.cursor(), cursor + 2);
}

TEST_F(UserInput, a_letter_typed_in_the_open_directory_box_chooses_its_drive)
{
    open();
    combo& box = panes().views[1]->box;
    // A drive other than the one the pane shows, typed by its letter.
    std::string wanted;
    for (int i = 0; i < box.count() && wanted.empty(); ++i) {
        std::string text = box.item_text(i);
        if (text.size() >= 2 && text[1] == ':' && text[0] != pane(1).path[0])
            wanted = text.substr(0, 2);
    }
    ASSERT_FALSE(wanted.empty());
    type_text(GetFocus(), ":");
    ASSERT_EQ(GetFocus(), box.handle());
    type_text(GetFocus(), std::string(1, static_cast<char>(wanted[0] - 'A' + 'a')));
    EXPECT_EQ(box.item_text(box.selection()).substr(0, 2), wanted);
    EXPECT_GE(box.item_icon(box.selection()), 0);
}

} // namespace
} // namespace gui
