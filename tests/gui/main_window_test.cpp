// The main window over a real directory tree, end to end through input as the system delivers it
// (keys to the focused control, F10 as a system key, typed characters, toolbar clicks); the rules
// behind each live in native tables.
#include "main_window_fixture.h"

#include "pane/local_listing_win.h"
#include "platform/os.h"
#include "resource.h"
#include "settings/ini.h"
#include "settings/settings.h"

#include <cctype>

namespace {

class MainWindow : public gui::main_window_test {
protected:
    void SetUp() override
    {
        main_window_test::SetUp();
        // "ソ" ends in the byte 0x5C: the name must survive every scan as one name.
        ASSERT_TRUE(fops::make_tree(root_, {"alpha/", "beta/", "beta/inner/", "a.txt", "b.txt", "kilo.c",
                                            "k1.txt", gui::acp("ソース.c")}));
    }
    void type(const std::string& text, std::initializer_list<int> modifiers = {})
    {
        gui::held_keys held(modifiers);
        gui::type_text(list(panes().active), text);
    }
};

// One state change reaches the button and every menu that shows the command.
TEST_F(MainWindow, command_states_reach_the_buttons_and_the_menus_together)
{
    open();
    for (const char* name : {"a.txt", "alpha"}) {
        cursor_to(name);
        for (int id : {IDM_COPY, IDM_RENAME, IDM_TIMESTAMP})
            for (HMENU m : {GetSubMenu(win_->menu_bar(), MENU_POS_FILE), win_->row_menu()})
                EXPECT_EQ((GetMenuState(m, static_cast<UINT>(id), MF_BYCOMMAND) & MF_GRAYED) == 0,
                          win_->tools().is_enabled(id))
                    << name << " " << id;
    }
    // Checked states too, and the manual missing here reports nothing.
    command(IDM_DUAL_WINDOW);
    EXPECT_TRUE(GetMenuState(win_->pane_menu(), IDM_DUAL_WINDOW, MF_BYCOMMAND) & MF_CHECKED);
    gui::modal_answers answers({[&](HWND box) { gui::click_button(box, IDOK); }});
    command(IDM_MANUAL_HTML);
    EXPECT_EQ(answers.used(), 0u);
}

// The server menu's ids end after 99 servers: a hundredth is refused with a notice.
TEST_F(MainWindow, a_hundredth_ftp_server_is_refused_with_message_19)
{
    open();
    HMENU servers =
        GetSubMenu(GetSubMenu(win_->menu_bar(), MENU_POS_SETTINGS), MENU_POS_SETTINGS_FTP_SERVERS);
    ASSERT_NE(servers, nullptr);
    if (GetMenuItemCount(servers) == 1)
        AppendMenuA(servers, MF_SEPARATOR, 0, nullptr);
    while (GetMenuItemCount(servers) < 2 + 99)
        AppendMenuA(servers, MF_STRING,
                    static_cast<UINT_PTR>(IDM_EDIT_FTP_SERVER_FIRST + GetMenuItemCount(servers) - 2),
                    "server");
    std::vector<std::string> texts;
    gui::modal_answers answers({gui::ok_box(texts)});
    command(IDM_NEW_FTP_SERVER);
    EXPECT_EQ(answers.used(), 1u);
    EXPECT_TRUE(gui::contains_text(texts, resource_string(IDS_TOO_MANY_ITEMS)));
}

TEST_F(MainWindow, keys_mark_switch_panes_and_follow_directory_marks)
{
    open();
    // Insert marks every file in the rows and the control; Delete takes the marks, not the files.
    press(VK_INSERT);
    EXPECT_EQ(static_cast<std::size_t>(SendMessageA(list(1), LVM_GETSELECTEDCOUNT, 0, 0)),
              pane(1).rows.marked_count());
    EXPECT_EQ(pane(1).rows.marked_count(), 5u);
    press(VK_DELETE);
    EXPECT_EQ(pane(1).rows.marked_count() + SendMessageA(list(1), LVM_GETSELECTEDCOUNT, 0, 0), 0u);
    EXPECT_TRUE(os::path_exists(root_ + "a.txt"));

    // Two panes open on the left directory; Tab moves the focus across.
    click_tool(IDM_DUAL_WINDOW);
    ASSERT_EQ(panes().active, 2);
    EXPECT_EQ(pane(2).path, root_);
    press(VK_TAB);
    EXPECT_EQ(panes().active, 1);
    EXPECT_EQ(GetFocus(), list(1));

    // Shift+F3 sets mark 3 and names it in the menu (going to a mark: the F10 test).
    layout().marks[4] = "Q:/nowhere/"; // no such drive
    cursor_to("beta");
    press(VK_RETURN);
    std::string beta = root_ + "beta/";
    ASSERT_EQ(pane(1).path, beta);
    press(VK_F3, {VK_SHIFT});
    EXPECT_EQ(layout().marks[2], beta);
    char text[300] = {};
    GetMenuStringA(win_->menu_bar(), IDM_GO_TO_MARK_FIRST + 2, text, sizeof text, MF_BYCOMMAND);
    EXPECT_EQ(std::string(text), " 3 " + beta);
    // A mark on a drive that is gone is not followed and changes nothing.
    std::string back = pane(1).return_path;
    press(VK_F5);
    EXPECT_EQ(pane(1).path, beta);
    EXPECT_EQ(pane(1).return_path, back);
    // A refresh of a pane that is not open does nothing.
    command(IDM_DUAL_WINDOW);
    command(IDM_DIRECTORY_CHANGED, 2);
}

TEST_F(MainWindow, typed_characters_mark_and_widen_the_wildcard)
{
    open();
    Pane& p = pane(1);
    // ".." is never marked: neither by the blank nor by the control's own selection.
    cursor_to("beta");
    press(VK_RETURN);
    ASSERT_EQ(p.rows.row(0).name, "..");
    move_cursor(-p.rows.cursor());
    type(" ");
    LVITEMA item{};
    item.state = LVIS_SELECTED;
    item.stateMask = LVIS_SELECTED;
    SendMessageA(list(1), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    gui::pump();
    EXPECT_FALSE(SendMessageA(list(1), LVM_GETITEMSTATE, 0, LVIS_SELECTED) & LVIS_SELECTED);
    EXPECT_EQ(p.rows.marked_count(), 0u);
    press(VK_BACK);

    // Shift+blank marks and moves down; the information line counts the mark.
    cursor_to("a.txt");
    int a = p.rows.cursor();
    type(" ", {VK_SHIFT});
    EXPECT_TRUE(p.rows.marked(static_cast<std::size_t>(a)));
    EXPECT_EQ(p.rows.cursor(), a + 1);
    EXPECT_NE(p.info_text.find(gui::acp("選択")), std::string::npos) << p.info_text;

    // '*' gives back the whole directory after a narrower wildcard.
    p.wildcard = "*.c";
    read_listing(p, true);
    gui::pump();
    EXPECT_LT(row_of(1, "a.txt"), 0);
    EXPECT_GE(row_of(1, gui::acp("ソース.c")), 0);
    type("*");
    EXPECT_EQ(gui::text_of(GetDlgItem(main(), wildcard_id(1))), "*.*");
    EXPECT_GE(row_of(1, "a.txt"), 0);
}

TEST_F(MainWindow, esc_brings_the_editor_forward_and_restores_it)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Quillmere";
    RegisterClassA(&wc);
    HWND editor = CreateWindowExA(0, "Quillmere", "editor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 100, 200,
                                  150, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(editor, nullptr);
    ShowWindow(editor, SW_MINIMIZE);
    gui::pump();
    open();
    press(VK_ESCAPE);
    EXPECT_FALSE(IsIconic(editor));
    EXPECT_EQ(GetForegroundWindow(), editor);
    DestroyWindow(editor);
    gui::pump();
}

TEST_F(MainWindow, wildcard_field_applies_on_enter_and_undoes_on_esc)
{
    open();
    HWND field = GetDlgItem(main(), wildcard_id(1));
    SetFocus(field);
    gui::pump();
    SendMessageA(field, EM_SETSEL, 0, -1);
    gui::type_text(field, "*.c\r");
    EXPECT_EQ(GetFocus(), list(1));
    EXPECT_GE(row_of(1, "kilo.c"), 0);
    EXPECT_LT(row_of(1, "a.txt"), 0);
    // Esc takes back a change and stays; a second Esc goes back to the list without reading.
    SetFocus(field);
    gui::pump();
    SendMessageA(field, EM_SETSEL, 0, -1);
    gui::type_text(field, "*.txt\x1b");
    EXPECT_EQ(gui::text_of(field), "*.c");
    EXPECT_EQ(GetFocus(), field);
    gui::type_text(field, "\x1b");
    EXPECT_EQ(GetFocus(), list(1));
    EXPECT_EQ(pane(1).wildcard, "*.c");
}

// Wine gives at least C: and Z:; each drive's entry keeps the directory last shown on it. The
// box opens on ':'; a typed letter or the arrows pick an entry, Enter chooses it.
TEST_F(MainWindow, a_drive_typed_by_its_letter_and_chosen_again_returns_to_the_directory_last_shown)
{
    open();
    combo* box = &panes().views[1]->box;
    int here = box->selection();
    int other = -1;
    for (int i = 0; i < box->count() && other < 0; ++i)
        if (box->item_text(i).size() >= 2 && box->item_text(i)[1] == ':' && box->item_text(i)[0] != root_[0])
            other = i;
    ASSERT_GE(other, 0);
    type(":");
    ASSERT_EQ(GetFocus(), box->handle());
    gui::type_text(box->handle(), std::string(1, static_cast<char>(std::tolower(box->item_text(other)[0]))));
    EXPECT_EQ(box->selection(), other);
    EXPECT_GE(box->item_icon(other), 0);
    gui::press_key(box->handle(), VK_RETURN);
    EXPECT_EQ(pane(1).path, box->item_text(other));
    choose_drive(here);
    EXPECT_EQ(pane(1).path, root_);
    EXPECT_EQ(box->item_text(here), root_);
    EXPECT_GE(box->item_icon(here), 0); // a drive entry showing a directory keeps its icon
}

TEST_F(MainWindow, closing_writes_the_layout_and_leaves_the_settings_alone)
{
    auto settings_before = os::read_file(settings_file_path());
    ASSERT_TRUE(settings_before);
    layout().pane_dirs[2] = root_ + "beta/";
    open();
    SetWindowPos(main(), nullptr, 30, 40, 360, 480, SWP_NOZORDER);
    gui::pump();
    SendMessageA(list(1), LVM_SETCOLUMNWIDTH, 0, 201);
    command(IDM_HIDE_SYSTEM_FILES);
    command(IDM_DUAL_WINDOW);
    change_directory("inner");
    gui::pump();
    activate_pane(true);
    change_directory("alpha");
    gui::pump();
    close();

    const struct {
        const char *section, *key;
        std::string value;
    } values[] = {
        {"value", "position x", "30"},
        {"value", "size y", "480"},
        {"value", "width name", "201"},
        {"switch", "mask systemfile", "-"},
        {"switch", "dual window", "+"},
        {"directory", "current left", root_ + "alpha/"},
        {"directory", "current right", root_ + "beta/inner/"},
        {"directory", "mark1", root_},
    };
    for (const auto& v : values)
        EXPECT_EQ(ini_get_string(layout_file_path(), v.section, v.key, 300, ""), v.value) << v.key;
    EXPECT_EQ(os::read_file(settings_file_path()), settings_before);
}

// A move across the panes from the toolbar runs the file operation worker under its notice: the
// moved rows leave the left list and arrive in the right one (the disk and cursor: file_rw_test).
TEST_F(MainWindow, a_move_across_the_panes_updates_both_lists)
{
    open();
    command(IDM_DUAL_WINDOW);
    change_directory("alpha");
    gui::pump();
    activate_pane(true);
    gui::pump();
    ASSERT_EQ(panes().active, 1);
    for (const char* name : {"a.txt", "b.txt"}) {
        cursor_to(name);
        type(" ");
    }
    settings().use_trash = false; // direct: rows change one by one
    auto answer = [](HWND w) {
        // The question is answered with OK; the notice, if still up when seen, is left alone.
        if (gui::contains_text(gui::static_texts(w), resource_string(IDS_ASK_MOVE)))
            gui::click_button(w, IDOK);
    };
    EXPECT_TRUE(gui::save_screenshot(main(), "main_window"));
    {
        gui::modal_answers answers({answer, answer, answer});
        click_tool(IDM_MOVE);
        EXPECT_GE(answers.used(), 1u);
    }
    EXPECT_EQ(row_of(1, "a.txt"), -1);
    EXPECT_NE(row_of(2, "a.txt"), -1);
    for (int p : {1, 2})
        EXPECT_EQ(SendMessageA(list(p), LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(pane(p).rows.size()))
            << p;
}

// .htm files of this test's Wine prefix open with the waiter, which writes the command line it
// got; the class the prefix had before comes back at the end.
class htm_opens_with_waiter {
public:
    htm_opens_with_waiter()
    {
        LONG size = sizeof old_class_;
        had_class_ = RegQueryValueA(HKEY_CLASSES_ROOT, ".htm", old_class_, &size) == ERROR_SUCCESS;
        std::string command = std::string("\"Z:") + KV_TEST_WAITER + "\" \"%1\"";
        made = RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, "kv_test_manual", 0) == ERROR_SUCCESS &&
               RegSetValueA(HKEY_CLASSES_ROOT, "kv_test_manual\\shell\\open\\command", REG_SZ,
                            command.c_str(), 0) == ERROR_SUCCESS;
    }
    ~htm_opens_with_waiter()
    {
        if (had_class_)
            RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, old_class_, 0);
        else
            RegDeleteKeyA(HKEY_CLASSES_ROOT, ".htm");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "kv_test_manual");
    }
    bool made = false;

private:
    char old_class_[128] = {};
    bool had_class_ = false;
};

// The Help menu's manual, reached by its keys: the shell is asked to open kelvasto.htm of the
// program directory.
TEST_F(MainWindow, the_help_menu_has_the_shell_open_the_manual_beside_the_program)
{
    ASSERT_TRUE(write_text_file(program_.file("kelvasto.htm"), "<html></html>"));
    std::string seen = scratch_.file("manual.seen");
    htm_opens_with_waiter association;
    ASSERT_TRUE(association.made);
    ASSERT_TRUE(SetEnvironmentVariableA("KV_TEST_SEEN", seen.c_str())); // the waiter inherits it
    open();
    gui::menu_keys("HH"); // ヘルプ(&H) > HTML版マニュアル(&H)
    gui::pump_until([&] { return os::path_exists(seen); });
    SetEnvironmentVariableA("KV_TEST_SEEN", nullptr);
    std::string opened = os::read_file(seen).value_or("<not opened>");
    std::string expected = "\"" + program_.file("kelvasto.htm") + "\"";
    for (std::string* s : {&opened, &expected})
        for (char& c : *s)
            c = c == '\\' ? '/' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(opened, expected);
}

TEST_F(MainWindow, toolbar_check_buttons_agree_with_the_state_after_a_click_the_key_and_the_menu)
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
    gui::press_key(GetFocus(), 'M'); // the hide-system letter
    EXPECT_TRUE(hide_system_files());
    shows(IDM_HIDE_SYSTEM_FILES, true);
    gui::menu_keys("VM"); // 表示(&V) > システムファイルを隠す(&M)
    EXPECT_FALSE(hide_system_files());
    shows(IDM_HIDE_SYSTEM_FILES, false);

    click_tool(IDM_DUAL_WINDOW);
    EXPECT_TRUE(panes().dual);
    shows(IDM_DUAL_WINDOW, true);
    click_tool(IDM_DUAL_WINDOW);
    EXPECT_FALSE(panes().dual);
    shows(IDM_DUAL_WINDOW, false);
}

TEST_F(MainWindow, f10_as_the_system_sends_it_goes_to_mark_10_and_shift_f10_sets_it)
{
    open();
    ASSERT_EQ(GetFocus(), list(1));
    // A menu opened by F10 would wait for the user: it is closed after a second.
    UINT_PTR closer = SetTimer(nullptr, 0, 1000, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
    {
        gui::held_keys shift({VK_SHIFT});
        gui::press_system_key(GetFocus(), VK_F10);
    }
    EXPECT_EQ(layout().marks[9], root_);
    change_directory("alpha");
    gui::pump();
    ASSERT_EQ(pane(1).path, root_ + "alpha/");
    gui::press_system_key(GetFocus(), VK_F10);
    EXPECT_EQ(pane(1).path, root_);
    KillTimer(nullptr, closer);
}

TEST_F(MainWindow, the_list_has_the_keys_after_the_start_and_after_a_box_closes)
{
    open(); // created and brought to the front as the program starts it, nothing else
    EXPECT_EQ(GetFocus(), list(1));
    int cursor = pane(1).rows.cursor();
    gui::press_key(GetFocus(), VK_DOWN);
    EXPECT_EQ(pane(1).rows.cursor(), cursor + 1);

    // The version box, closed with Enter: the keys go to the list again.
    {
        gui::modal_answers answers({[](HWND) {
            HWND focus = GetFocus();
            PostMessageA(focus, WM_KEYDOWN, VK_RETURN, 1);
            PostMessageA(focus, WM_KEYUP, VK_RETURN, 0xC0000001);
        }});
        gui::menu_keys("HA"); // ヘルプ(&H) > バージョン情報(&A)
        EXPECT_EQ(answers.used(), 1u);
    }
    gui::pump();
    EXPECT_EQ(GetFocus(), list(1));
    gui::press_key(GetFocus(), VK_DOWN);
    EXPECT_EQ(pane(1).rows.cursor(), cursor + 2);
}

} // namespace
