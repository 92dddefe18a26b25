// The main window over a real directory tree, through real input: command states on toolbar and
// menus, keys and typed characters, directory marks, the two-pane mode, selecting newer files,
// changing directories, and the layout written at close.
#include "main_window_fixture.h"

#include "platform/process_paths.h"
#include "toolkit/module_win.h"
#include "toolkit/shell_icons_win.h"
#include "app/main_window_win.h"
#include "toolkit/module_win.h"
#include "pane/entry_text.h"
#include "pane/local_listing_win.h"
#include "pane/pane_view_win.h"
#include "platform/os.h"
#include "resource.h"
#include "settings/layout.h"
#include "settings/settings.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

void make_file(const std::string& path, DWORD attributes = 0)
{
    ASSERT_TRUE(write_text_file(path, "x")) << path;
    if (attributes) {
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes)) << path;
    }
}

// Commands posted to the main window, seen as the message loop takes them; `swallow` turns them
// into nothing so that menus and dialogs they would open stay closed.
struct posted_commands {
    static inline std::vector<std::pair<int, LPARAM>> seen;
    static inline bool swallow = false;
    static inline HWND main = nullptr;
    HHOOK hook;
    explicit posted_commands(HWND window, bool swallow_them)
    {
        seen.clear();
        main = window;
        swallow = swallow_them;
        hook = SetWindowsHookExA(WH_GETMESSAGE, procedure, nullptr, GetCurrentThreadId());
    }
    ~posted_commands() { UnhookWindowsHookEx(hook); }
    static LRESULT CALLBACK procedure(int code, WPARAM remove, LPARAM data)
    {
        auto* message = reinterpret_cast<MSG*>(data);
        if (code == HC_ACTION && remove == PM_REMOVE && message->hwnd == main &&
            message->message == WM_COMMAND) {
            seen.emplace_back(LOWORD(message->wParam), message->lParam);
            if (swallow)
                message->message = WM_NULL;
        }
        return CallNextHookEx(nullptr, code, remove, data);
    }
    std::vector<int> ids() const
    {
        std::vector<int> out;
        for (auto& s : seen)
            out.push_back(s.first);
        return out;
    }
};

// Modifier keys as GetKeyState reports them while the key is handled.
struct held_keys {
    std::vector<int> keys;
    held_keys(std::initializer_list<int> k) : keys(k) { set(0x80); }
    ~held_keys() { set(0); }
    void set(BYTE value)
    {
        BYTE state[256];
        GetKeyboardState(state);
        for (int k : keys)
            state[k] = value;
        SetKeyboardState(state);
    }
};

class MainWindow : public gui::main_window_test {
protected:
    void SetUp() override
    {
        main_window_test::SetUp();
        for (const char* d : {"alpha", "beta", "beta/inner"})
            ASSERT_TRUE(os::make_directory(root_ + d));
        for (const char* f : {"a.txt", "b.txt", "kilo.c", "k1.txt"})
            make_file(root_ + f);
        make_file(root_ + "hid.txt", FILE_ATTRIBUTE_HIDDEN);
        // "ソ" ends in the byte 0x5C: the name must survive every scan as one name.
        make_file(root_ + gui::acp("日本語.txt"));
        make_file(root_ + gui::acp("ソース.c"));
    }
    void press(UINT key, std::initializer_list<int> modifiers = {})
    {
        held_keys held(modifiers);
        gui::press_key(list(panes().active), key);
    }
    void type(const std::string& text, std::initializer_list<int> modifiers = {})
    {
        held_keys held(modifiers);
        gui::type_text(list(panes().active), text);
    }
    bool enabled(int id) const { return win_->tools().is_enabled(id); }

    // The menus that copy a button's state, as the window shows them.
    void expect_menus_follow(int id, const char* name)
    {
        HMENU bar = win_->menu_bar();
        std::vector<HMENU> menus;
        if (id >= IDM_COPY && id <= IDM_TIMESTAMP)
            menus = {GetSubMenu(bar, MENU_POS_FILE), win_->row_menu()};
        else if (id == IDM_MAKE_FILE)
            menus = {GetSubMenu(bar, MENU_POS_FILE), win_->pane_menu()};
        else if (id == IDM_SELECT_NEWER)
            menus = {GetSubMenu(bar, MENU_POS_EDIT), win_->pane_menu()};
        else
            menus = {GetSubMenu(bar, MENU_POS_VIEW), win_->pane_menu()};
        for (HMENU m : menus) {
            UINT state = GetMenuState(m, static_cast<UINT>(id), MF_BYCOMMAND);
            ASSERT_NE(state, static_cast<UINT>(-1)) << id;
            EXPECT_EQ((state & MF_GRAYED) == 0, enabled(id)) << name << ": menu item " << id;
        }
    }
};

// ---- command states ----

// The rules are tables of their own; here they reach each button and every menu the command is in.
TEST_F(MainWindow, command_states_reach_the_buttons_and_the_menus_together)
{
    open();
    auto check = [&](const char* name) {
        for (int id : {202, 203, 204, 205, 206, 207, 210, 212, 216, 217})
            expect_menus_follow(id, name);
    };
    cursor_to("a.txt");
    check("one pane, a file");
    EXPECT_TRUE(enabled(IDM_COPY));
    EXPECT_FALSE(enabled(IDM_MOVE));
    command(IDM_HIDE_SYSTEM_FILES);
    cursor_to("hid.txt");
    check("hidden file");
    EXPECT_FALSE(enabled(IDM_COPY));
    command(IDM_DUAL_WINDOW);
    check("two panes on one directory");
    for (int id : {IDM_DUAL_WINDOW, IDM_HIDE_SYSTEM_FILES}) {
        bool pressed = win_->tools().is_checked(id);
        EXPECT_EQ(pressed, id == IDM_DUAL_WINDOW ? true : hide_system_files()) << id;
        for (HMENU m : {GetSubMenu(win_->menu_bar(), MENU_POS_VIEW), win_->pane_menu()})
            EXPECT_EQ((GetMenuState(m, static_cast<UINT>(id), MF_BYCOMMAND) & MF_CHECKED) != 0, pressed)
                << id;
    }
}

// The manual is missing here: its command reports nothing.
TEST_F(MainWindow, a_missing_manual_is_not_reported)
{
    open();
    gui::modal_answers answers({[&](HWND box) { gui::click_button(box, IDOK); }});
    command(IDM_MANUAL_HTML);
    gui::pump(200);
    EXPECT_EQ(answers.used(), 0u);
}

TEST_F(MainWindow, a_hundredth_ftp_server_is_refused_with_message_19)
{
    open();
    HMENU settings_menu = GetSubMenu(win_->menu_bar(), MENU_POS_SETTINGS);
    HMENU servers = GetSubMenu(settings_menu, MENU_POS_SETTINGS_FTP_SERVERS);
    ASSERT_NE(servers, nullptr);
    if (GetMenuItemCount(servers) == 1)
        AppendMenuA(servers, MF_SEPARATOR, 0, nullptr);
    while (GetMenuItemCount(servers) < 2 + 99)
        AppendMenuA(servers, MF_STRING,
                    static_cast<UINT_PTR>(IDM_EDIT_FTP_SERVER_FIRST + GetMenuItemCount(servers) - 2),
                    "server");
    std::vector<std::string> texts;
    gui::modal_answers answers({[&](HWND box) {
        texts = gui::static_texts(box);
        gui::click_button(box, IDOK);
    }});
    command(IDM_NEW_FTP_SERVER);
    EXPECT_EQ(answers.used(), 1u);
    EXPECT_TRUE(gui::contains_text(texts, resource_string(IDS_TOO_MANY_ITEMS)));
}

// ---- keys ----

TEST_F(MainWindow, keys_mark_unmark_and_switch_panes)
{
    open();
    // Insert marks every file, Delete removes every mark and deletes nothing.
    press(VK_INSERT);
    std::size_t files = 0;
    for (std::size_t i = 0; i < pane(1).rows.size(); ++i) {
        bool dir = is_dir_entry(pane(1).rows.row(i));
        files += dir ? 0 : 1;
        EXPECT_EQ(pane(1).rows.marked(i), !dir) << pane(1).rows.row(i).name;
    }
    EXPECT_EQ(static_cast<std::size_t>(SendMessageA(list(1), LVM_GETSELECTEDCOUNT, 0, 0)), files);
    press(VK_DELETE);
    EXPECT_EQ(pane(1).rows.marked_count(), 0u);
    EXPECT_TRUE(os::path_exists(root_ + "a.txt"));

    command(IDM_DUAL_WINDOW);
    ASSERT_EQ(panes().active, 2);
    EXPECT_EQ(GetFocus(), list(2));
    for (UINT key : {VK_TAB, VK_LEFT, VK_RIGHT}) {
        int before = panes().active;
        press(key);
        EXPECT_EQ(panes().active, 3 - before) << key;
        EXPECT_EQ(GetFocus(), list(panes().active)) << key;
    }
    // Shift+Left scrolls and leaves the active pane alone; Ctrl+Right too.
    int before = panes().active;
    press(VK_LEFT, {VK_SHIFT});
    press(VK_RIGHT, {VK_CONTROL});
    EXPECT_EQ(panes().active, before);

    // The command letters: D gives the focus to the box, P to the wildcard field, K posts.
    press('D');
    EXPECT_EQ(GetFocus(), GetDlgItem(main(), box_id(before)));
    SendMessageA(GetDlgItem(main(), box_id(before)), CB_SHOWDROPDOWN, FALSE, 0);
    focus_list();
    gui::pump();
    press('P');
    EXPECT_EQ(GetFocus(), GetDlgItem(main(), wildcard_id(before)));
    focus_list();
    gui::pump();
    posted_commands posted(main(), true);
    press('K');
    press(VK_DOWN, {VK_CONTROL});
    EXPECT_EQ(posted.ids(), std::vector<int>{IDM_MAKE_DIRECTORY});
    int last = static_cast<int>(pane(before).rows.size()) - 1;
    EXPECT_EQ(pane(before).rows.cursor(), last);
    EXPECT_EQ(SendMessageA(list(before), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), last)
        << "the control's cursor";
}

TEST_F(MainWindow, typed_characters_mark_jump_and_choose)
{
    open();
    Pane& p = pane(1);
    // '..' is never marked: the blank leaves it as it is.
    change_directory("beta");
    gui::pump();
    ASSERT_EQ(p.rows.row(0).name, "..");
    move_cursor(-p.rows.cursor());
    type(" ");
    EXPECT_FALSE(p.rows.marked(0));
    EXPECT_FALSE(SendMessageA(list(1), LVM_GETITEMSTATE, 0, LVIS_SELECTED) & LVIS_SELECTED);
    // Marking ".." in the control by hand takes the mark away at once.
    LVITEMA item{};
    item.state = LVIS_SELECTED;
    item.stateMask = LVIS_SELECTED;
    SendMessageA(list(1), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    gui::pump();
    EXPECT_FALSE(SendMessageA(list(1), LVM_GETITEMSTATE, 0, LVIS_SELECTED) & LVIS_SELECTED);
    EXPECT_EQ(p.rows.marked_count(), 0u);
    command(IDM_PARENT_DIRECTORY);

    // The blank toggles and stays; Shift+blank toggles and moves down, but not past the last row.
    cursor_to("a.txt");
    int a = p.rows.cursor();
    type(" ");
    EXPECT_TRUE(p.rows.marked(static_cast<std::size_t>(a)));
    EXPECT_EQ(p.rows.cursor(), a);
    type(" ", {VK_SHIFT});
    EXPECT_FALSE(p.rows.marked(static_cast<std::size_t>(a)));
    EXPECT_EQ(p.rows.cursor(), a + 1);
    int last = static_cast<int>(p.rows.size()) - 1;
    move_cursor(last);
    type(" ", {VK_SHIFT});
    EXPECT_TRUE(p.rows.marked(static_cast<std::size_t>(last)));
    EXPECT_EQ(p.rows.cursor(), last);
    EXPECT_NE(p.info_text.find(gui::acp("選択")), std::string::npos) << p.info_text;
    type("-");
    EXPECT_EQ(p.rows.marked_count(), 0u);
    EXPECT_NE(p.info_text.find(gui::acp("存在")), std::string::npos) << p.info_text;

    // Shift+letter: the next row whose name begins with it, no wrap-around.
    move_cursor(-p.rows.cursor());
    type("K", {VK_SHIFT});
    // Sorted by type, "kilo.c" comes before "k1.txt".
    EXPECT_EQ(cursor_name(1), "kilo.c");
    type("K", {VK_SHIFT});
    EXPECT_EQ(cursor_name(1), "k1.txt");
    type("K", {VK_SHIFT});
    EXPECT_EQ(cursor_name(1), "k1.txt");

    // '*' gives back the whole directory after a narrower wildcard.
    p.wildcard = "*.c";
    read_listing(p, true);
    gui::pump();
    EXPECT_LT(row_of(1, "a.txt"), 0);
    EXPECT_GE(row_of(1, gui::acp("ソース.c")), 0);
    type("*");
    EXPECT_EQ(p.wildcard, "*.*");
    EXPECT_EQ(gui::text_of(GetDlgItem(main(), wildcard_id(1))), "*.*");
    EXPECT_GE(row_of(1, "a.txt"), 0);

    // A digit past the last box entry chooses nothing.
    HWND box = GetDlgItem(main(), box_id(1));
    int entries = static_cast<int>(SendMessageA(box, CB_GETCOUNT, 0, 0));
    ASSERT_LT(entries, 9);
    posted_commands posted(main(), true);
    type("9");
    type("1");
    EXPECT_EQ(posted.seen, (std::vector<std::pair<int, LPARAM>>{{IDM_CHOOSE_ENTRY, 0}}));
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
    ASSERT_TRUE(IsIconic(editor));
    press(VK_ESCAPE);
    EXPECT_FALSE(IsIconic(editor));
    EXPECT_EQ(GetForegroundWindow(), editor);
    DestroyWindow(editor);
    gui::pump();
}

TEST_F(MainWindow, choosing_a_drive_again_returns_to_the_directory_last_shown_on_it)
{
    open();
    combo* box = &panes().views[1]->box;
    int here = box->selection();
    int other = -1;
    for (int i = 0; i < box->count() && other < 0; ++i)
        if (i != here && box->item_text(i).size() >= 2 && box->item_text(i)[1] == ':')
            other = i;
    ASSERT_GE(other, 0) << "Wine gives at least C: and Z:";
    std::string other_root = box->item_text(other);
    panes().entry_before = here;
    command(IDM_CHOOSE_ENTRY, other);
    EXPECT_EQ(pane(1).path, other_root);
    EXPECT_EQ(box->selection(), other);
    panes().entry_before = other;
    command(IDM_CHOOSE_ENTRY, here);
    EXPECT_EQ(pane(1).path, root_);
    EXPECT_EQ(box->item_text(here), root_);
}

TEST_F(MainWindow, wildcard_field_applies_on_enter_and_undoes_on_esc)
{
    open();
    command(IDM_DUAL_WINDOW);
    activate_pane(true);
    ASSERT_EQ(panes().active, 1);
    HWND field = GetDlgItem(main(), wildcard_id(2));
    // Getting the focus makes its pane active.
    SetFocus(field);
    gui::pump();
    EXPECT_EQ(panes().active, 2);
    SendMessageA(field, EM_SETSEL, 0, -1);
    gui::type_text(field, "*.c");
    gui::type_text(field, "\r");
    EXPECT_EQ(GetFocus(), list(2));
    EXPECT_EQ(pane(2).wildcard, "*.c");
    EXPECT_GE(row_of(2, "kilo.c"), 0);
    EXPECT_GE(row_of(2, "alpha"), 0);
    EXPECT_LT(row_of(2, "a.txt"), 0);

    // Esc takes back a change and stays; a second Esc goes back to the list without reading.
    SetFocus(field);
    gui::pump();
    SendMessageA(field, EM_SETSEL, 0, -1);
    gui::type_text(field, "*.txt");
    gui::type_text(field, "\x1b");
    EXPECT_EQ(gui::text_of(field), "*.c");
    EXPECT_EQ(GetFocus(), field);
    gui::type_text(field, "\x1b");
    EXPECT_EQ(GetFocus(), list(2));
    EXPECT_EQ(pane(2).wildcard, "*.c");
    EXPECT_LT(row_of(2, "a.txt"), 0);
}

TEST_F(MainWindow, mouse_and_header_make_the_pane_active_and_keep_the_lists_alike)
{
    open();
    command(IDM_DUAL_WINDOW);
    ASSERT_EQ(panes().active, 2);

    // A column title clicked in the left list: that pane becomes active and the list is sorted.
    NMLISTVIEW column{};
    column.hdr.hwndFrom = list(1);
    column.hdr.idFrom = static_cast<UINT_PTR>(list_id(1));
    column.hdr.code = LVN_COLUMNCLICK;
    column.iItem = -1;
    column.iSubItem = 2;
    SendMessageA(main(), WM_NOTIFY, column.hdr.idFrom, reinterpret_cast<LPARAM>(&column));
    gui::pump();
    EXPECT_EQ(panes().active, 1);
    EXPECT_EQ(sort_state().column, 2);
    HMENU sort_menu = GetSubMenu(GetSubMenu(win_->menu_bar(), MENU_POS_VIEW), MENU_POS_VIEW_SORT);
    EXPECT_TRUE(GetMenuState(sort_menu, IDM_SORT_SIZE, MF_BYCOMMAND) & MF_CHECKED);

    // A column of the right list resized by dragging: the left list follows, the pane is active.
    SendMessageA(list(2), LVM_SETCOLUMNWIDTH, 0, 233);
    HWND header = reinterpret_cast<HWND>(SendMessageA(list(2), LVM_GETHEADER, 0, 0));
    HDITEMA width{};
    width.mask = HDI_WIDTH;
    width.cxy = 233;
    NMHEADERA track{};
    track.hdr.hwndFrom = header;
    track.hdr.idFrom = 0;
    track.hdr.code = HDN_ENDTRACKA;
    track.iItem = 0;
    track.pitem = &width;
    SendMessageA(list(2), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&track));
    gui::pump();
    EXPECT_EQ(SendMessageA(list(1), LVM_GETCOLUMNWIDTH, 0, 0), 233);
    EXPECT_EQ(panes().active, 2);

    // A click in the other list makes its pane active.
    RECT r;
    GetClientRect(list(1), &r);
    gui::click(list(1), 20, r.bottom - 10);
    EXPECT_EQ(panes().active, 1);
}

// ---- directory marks ----

TEST_F(MainWindow, marks_are_set_followed_and_toggle_back)
{
    open();
    // The first start fills every mark with the left directory.
    for (std::size_t k = 0; k < mark_count; ++k)
        EXPECT_EQ(layout().marks[k], root_) << k;
    layout().marks[4] = "Q:/nowhere/"; // no such drive
    Pane& p = pane(1);
    change_directory("beta");
    gui::pump();
    std::string beta = root_ + "beta/";
    ASSERT_EQ(p.path, beta);
    press(VK_F3, {VK_SHIFT}); // set mark 3
    EXPECT_EQ(layout().marks[2], beta);
    char text[300] = {};
    GetMenuStringA(win_->menu_bar(), 232, text, sizeof text, MF_BYCOMMAND);
    EXPECT_EQ(std::string(text), " 3 " + beta);

    command(IDM_PARENT_DIRECTORY);
    ASSERT_EQ(p.path, root_);
    press(VK_F3);
    EXPECT_EQ(p.path, beta);
    press(VK_F3);
    EXPECT_EQ(p.path, root_);
    press(VK_F3);
    EXPECT_EQ(p.path, beta);
    EXPECT_EQ(box_text(1), beta);

    // A mark on a drive that is gone is not followed and changes nothing.
    std::string back = p.return_path;
    press(VK_F5);
    EXPECT_EQ(p.path, beta);
    EXPECT_EQ(p.return_path, back);
}

// ---- two panes ----

TEST_F(MainWindow, two_panes_open_on_the_left_directory_and_close_to_the_same_width)
{
    open();
    RECT before;
    GetWindowRect(main(), &before);
    change_directory("alpha");
    gui::pump();
    command(IDM_DUAL_WINDOW);
    ASSERT_TRUE(panes().dual);
    EXPECT_TRUE(win_->tools().is_checked(IDM_DUAL_WINDOW));
    EXPECT_EQ(pane(2).path, root_ + "alpha/");
    EXPECT_EQ(panes().active, 2);
    EXPECT_EQ(GetFocus(), list(2));
    RECT wide;
    GetWindowRect(main(), &wide);
    EXPECT_GT(wide.right - wide.left, before.right - before.left);
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(SendMessageA(list(2), LVM_GETCOLUMNWIDTH, c, 0),
                  SendMessageA(list(1), LVM_GETCOLUMNWIDTH, c, 0));

    change_directory("..");
    gui::pump();
    std::string right_dir = pane(2).path;
    command(IDM_DUAL_WINDOW);
    EXPECT_FALSE(panes().dual);
    EXPECT_EQ(panes().active, 1);
    EXPECT_EQ(list(2), nullptr);
    RECT after;
    GetWindowRect(main(), &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);

    // Opened again, the right pane keeps the directory it showed last.
    command(IDM_DUAL_WINDOW);
    EXPECT_EQ(pane(2).path, right_dir);
}

// The time rule is a table of its own; here the marks reach rows and list control.
TEST_F(MainWindow, select_newer_marks_files_at_least_two_seconds_younger)
{
    ASSERT_TRUE(os::make_directory(root_ + "n1"));
    ASSERT_TRUE(os::make_directory(root_ + "n2"));
    ASSERT_TRUE(os::make_directory(root_ + "n1/sub"));
    struct file_case {
        const char* name;
        const char* mine;   // time text in the active pane's directory
        const char* theirs; // in the other pane's directory, or null when it has no such file
        bool marked;
    };
    const file_case cases[] = {
        {"three_seconds.txt", "2010. 1. 5 10:00.03", "2010. 1. 5 10:00.01", true},
        {"one_second.txt", "2010. 1. 5 10:00.02", "2010. 1. 5 10:00.01", false},
        {"only_here.txt", "2010. 1. 5 10:00.00", nullptr, true},
    };
    for (const file_case& c : cases) {
        make_file(root_ + "n1/" + c.name);
        ASSERT_TRUE(set_file_time_from_text(root_ + "n1/" + c.name, c.mine));
        if (c.theirs) {
            make_file(root_ + "n2/" + c.name);
            ASSERT_TRUE(set_file_time_from_text(root_ + "n2/" + c.name, c.theirs));
        }
    }
    layout().pane_dirs[2] = root_ + "n2/";
    open();
    command(IDM_DUAL_WINDOW);
    activate_pane(true);
    change_directory("n1");
    gui::pump();
    // Marks set before are replaced: the directory and the older file end up unmarked.
    mark_all_files();
    pane(1).rows.set_marked(static_cast<std::size_t>(row_of(1, "sub")), true);
    ASSERT_TRUE(enabled(IDM_SELECT_NEWER));
    command(IDM_SELECT_NEWER);
    for (const file_case& c : cases) {
        int row = row_of(1, c.name);
        ASSERT_GE(row, 0) << c.name;
        EXPECT_EQ(pane(1).rows.marked(static_cast<std::size_t>(row)), c.marked) << c.name;
        EXPECT_EQ((SendMessageA(list(1), LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0,
                  c.marked)
            << c.name << ": the control's mark";
    }
    EXPECT_FALSE(pane(1).rows.marked(static_cast<std::size_t>(row_of(1, "sub"))));
}

// ---- directories ----

TEST_F(MainWindow, directory_changes_keep_the_box_and_the_cursor_on_the_directory_left)
{
    open();
    Pane& p = pane(1);

    // Into a directory with Enter on its row.
    cursor_to("beta");
    press(VK_RETURN);
    EXPECT_EQ(p.path, root_ + "beta/");
    EXPECT_EQ(box_text(1), p.path);
    cursor_to("inner");
    press(VK_RETURN);
    EXPECT_EQ(p.path, root_ + "beta/inner/");

    // Up with Backspace: the cursor stands on the directory just left.
    press(VK_BACK);
    EXPECT_EQ(p.path, root_ + "beta/");
    EXPECT_EQ(cursor_name(1), "inner");
    press(VK_BACK);
    EXPECT_EQ(p.path, root_);
    EXPECT_EQ(cursor_name(1), "beta");
    EXPECT_EQ(box_text(1), root_);

    // Into a directory with a 0x5C trail byte in its name, and back.
    ASSERT_TRUE(os::make_directory(root_ + gui::acp("ソフト")));
    command(IDM_DIRECTORY_CHANGED, 1);
    cursor_to(gui::acp("ソフト"));
    command(IDM_OPEN);
    EXPECT_EQ(p.path, root_ + gui::acp("ソフト") + "/");
    command(IDM_PARENT_DIRECTORY);
    EXPECT_EQ(cursor_name(1), gui::acp("ソフト"));

    // A directory whose path would not fit in 255 bytes is not entered: cut, the path would
    // name its shorter sibling.
    std::string long_name(250 - root_.size(), 'L');
    ASSERT_TRUE(os::make_directory(root_ + long_name + "LONGXYZ"));
    ASSERT_TRUE(os::make_directory(root_ + long_name + "LONGX"));
    ASSERT_TRUE(os::make_directory(root_ + long_name));
    command(IDM_DIRECTORY_CHANGED, 1);
    cursor_to(long_name + "LONGXYZ");
    command(IDM_OPEN);
    EXPECT_EQ(p.path, root_);
    cursor_to(long_name);
    command(IDM_OPEN);
    EXPECT_EQ(p.path, root_ + long_name + "/");
    command(IDM_PARENT_DIRECTORY);

    // The root, and nothing further up from there.
    command(IDM_ROOT_DIRECTORY);
    EXPECT_EQ(p.path, root_.substr(0, 3));
    EXPECT_EQ(box_text(1), root_.substr(0, 3));
    EXPECT_EQ(p.rows.cursor(), 0);
    command(IDM_PARENT_DIRECTORY);
    EXPECT_EQ(p.path, root_.substr(0, 3));

    // A mark on the same drive: its entry takes the mark's directory.
    layout().marks[0] = root_ + "alpha/";
    command(IDM_GO_TO_MARK_FIRST);
    EXPECT_EQ(p.path, root_ + "alpha/");
}

TEST_F(MainWindow, a_refresh_keeps_the_cursor_on_its_file)
{
    open();
    cursor_to("kilo.c");
    make_file(root_ + "aaa.c"); // sorts before kilo.c
    command(IDM_DIRECTORY_CHANGED, 1);
    const Pane& p = pane(1);
    ASSERT_GE(row_of(1, "aaa.c"), 0);
    EXPECT_EQ(cursor_name(1), "kilo.c");
    EXPECT_EQ(SendMessageA(list(1), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), p.rows.cursor());
    // A refresh of a pane that is not open does nothing.
    command(IDM_DIRECTORY_CHANGED, 2);
}

TEST_F(MainWindow, sorting_both_panes_keeps_each_cursor_on_its_file)
{
    open();
    command(IDM_DUAL_WINDOW);
    cursor_to("b.txt");
    activate_pane(true);
    cursor_to("kilo.c");
    pane(1).rows.set_marked(static_cast<std::size_t>(row_of(1, "a.txt")), true);
    struct sort_case {
        int command;
        int column;
        int ascending;
    };
    const sort_case cases[] = {{IDM_SORT_NAME, 0, 1}, {IDM_SORT_NAME, 0, 0}};
    for (const sort_case& c : cases) {
        command(c.command);
        EXPECT_EQ(sort_state().column, c.column) << c.command;
        EXPECT_EQ(sort_state().ascending, c.ascending) << c.command;
        EXPECT_EQ(cursor_name(1), "kilo.c") << c.command;
        EXPECT_EQ(cursor_name(2), "b.txt") << c.command;
        EXPECT_EQ(pane(1).rows.row(0).name, "..");
        EXPECT_TRUE(pane(1).rows.marked(static_cast<std::size_t>(row_of(1, "a.txt")))) << c.command;
    }
}

TEST_F(MainWindow, menus_for_the_cursor_row_pop_up_at_the_end_of_its_name)
{
    open();
    cursor_to("b.txt");
    int row = pane(1).rows.cursor();
    RECT label{};
    label.left = LVIR_LABEL;
    ASSERT_TRUE(SendMessageA(list(1), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&label)));
    POINT at = cursor_point();
    ScreenToClient(list(1), &at);
    EXPECT_EQ(at.x, label.right);
    EXPECT_EQ(at.y, (label.top + label.bottom) / 2);
    // The one-entry dialogs act on the cursor row, or on the one marked row; never on "..".
    EXPECT_EQ(target_row(), row);
    pane(1).rows.set_marked(static_cast<std::size_t>(row_of(1, "kilo.c")), true);
    EXPECT_EQ(target_row(), row_of(1, "kilo.c"));
    pane(1).rows.set_marked(static_cast<std::size_t>(row_of(1, "a.txt")), true);
    EXPECT_EQ(target_row(), row);
    unmark_all(1);
    move_cursor(-row);
    EXPECT_EQ(target_row(), -1);
}

// ---- layout ----

TEST_F(MainWindow, closing_writes_the_layout_and_leaves_the_settings_alone)
{
    auto settings_before = os::read_file(settings_file_path());
    ASSERT_TRUE(settings_before);
    layout().pane_dirs[2] = root_ + "beta/";
    open();
    SetWindowPos(main(), nullptr, 30, 40, 360, 480, SWP_NOZORDER);
    gui::pump();
    SendMessageA(list(1), LVM_SETCOLUMNWIDTH, 0, 201);
    command(IDM_SORT_NAME);
    command(IDM_HIDE_SYSTEM_FILES);
    command(IDM_DUAL_WINDOW);
    change_directory("inner");
    gui::pump();
    activate_pane(true);
    change_directory("alpha");
    gui::pump();
    set_mark(6);
    close();

    std::string path = layout_file_path();
    auto value = [&](const char* section, const char* key) {
        char text[300] = {};
        GetPrivateProfileStringA(section, key, "", text, sizeof text, path.c_str());
        return std::string(text);
    };
    EXPECT_EQ(value("value", "position x"), "30");
    EXPECT_EQ(value("value", "position y"), "40");
    EXPECT_EQ(value("value", "size x"), "360");
    EXPECT_EQ(value("value", "size y"), "480");
    EXPECT_EQ(value("value", "width name"), "201");
    EXPECT_EQ(value("value", "sort column"), "0");
    EXPECT_EQ(value("switch", "sort direction"), "+");
    EXPECT_EQ(value("switch", "mask systemfile"), "-");
    EXPECT_EQ(value("switch", "dual window"), "+");
    EXPECT_EQ(value("directory", "current left"), root_ + "alpha/");
    EXPECT_EQ(value("directory", "current right"), root_ + "beta/inner/");
    EXPECT_EQ(value("directory", "mark7"), root_ + "alpha/");
    EXPECT_EQ(value("directory", "mark1"), root_);
    EXPECT_EQ(os::read_file(settings_file_path()), settings_before);
}

// ---- pictures ----

} // namespace

// Command 203 with two panes runs the file operation worker under its notice: the moved rows
// leave the left list and arrive, with the cursor on the last one, in the right list.
TEST_F(MainWindow, a_move_across_the_panes_updates_both_lists)
{
    open();
    command(IDM_DUAL_WINDOW);
    change_directory("alpha");
    gui::pump();
    activate_pane(true);
    gui::pump();
    ASSERT_EQ(panes().active, 1);
    cursor_to("a.txt");
    toggle_mark(true);
    cursor_to("b.txt");
    toggle_mark(true);
    settings().use_trash = false; // direct: rows change one by one
    std::function<void(HWND)> answer = [](HWND w) {
        // The question is answered with OK; the notice, if still up when seen, is left alone.
        if (gui::contains_text(gui::static_texts(w), resource_string(IDS_ASK_MOVE)))
            gui::click_button(w, IDOK);
    };
    {
        gui::modal_answers answers({answer, answer, answer});
        command(IDM_MOVE);
        EXPECT_GE(answers.used(), 1u);
    }
    EXPECT_FALSE(os::path_exists(root_ + "a.txt"));
    EXPECT_TRUE(os::path_exists(root_ + "alpha/a.txt"));
    EXPECT_TRUE(os::path_exists(root_ + "alpha/b.txt"));
    EXPECT_EQ(row_of(1, "a.txt"), -1);
    EXPECT_EQ(row_of(1, "b.txt"), -1);
    EXPECT_NE(row_of(2, "a.txt"), -1);
    EXPECT_EQ(pane(2).rows.cursor(), row_of(2, "b.txt"));
    for (int p : {1, 2})
        EXPECT_EQ(SendMessageA(list(p), LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(pane(p).rows.size()))
            << p;
}
