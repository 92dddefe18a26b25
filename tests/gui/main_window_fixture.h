// The program's main window over a temporary program directory and a directory tree of the
// test's own, with the pane rows looked up by file name.
#pragma once

#include "../win/file_ops_support.h"
#include "harness_win.h"

#include "app/main_window_win.h"
#include "pane/entry_text.h"
#include "pane/pane_view_win.h"
#include "platform/process_paths.h"
#include "settings/layout.h"
#include "support/temp_dir.h"
#include "toolkit/module_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace gui {

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

// A letter to the focused control, with Alt as WM_SYSKEYDOWN.
inline void post_letter(const char* c, bool alt)
{
    LPARAM l = 1 | (static_cast<LPARAM>(MapVirtualKeyA(*c, MAPVK_VK_TO_VSC)) << 16) |
               (alt ? static_cast<LPARAM>(KF_ALTDOWN) << 16 : 0);
    PostMessageA(GetFocus(), alt ? WM_SYSKEYDOWN : WM_KEYDOWN, *c, l);
    PostMessageA(GetFocus(), alt ? WM_SYSKEYUP : WM_KEYUP, *c, l | (3LL << 30));
}

// Alt with the first letter opens a menu of the bar; each next letter goes to the menu's own loop
// once one more menu shows, as a user waits for it to appear.
inline void menu_keys(const char* letters)
{
    static const char *start, *next;
    static int ticks;
    start = letters, next = letters + 1, ticks = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
        std::ptrdiff_t shown = 0;
        for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32768", nullptr));)
            shown += IsWindowVisible(w) ? 1 : 0;
        if (*next && shown >= next - start)
            post_letter(next++, false);
        else if (*next && ++ticks > 100)
            EndMenu(); // the menu never came: fail rather than wait
    });
    post_letter(letters, true);
    pump();
    KillTimer(nullptr, timer);
}

class main_window_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_program_dir_ = dirs().program_dir;
        saved_temp_dir_ = dirs().temp_dir;
        // The lists handed to operations go where the program's start puts them, not into the
        // current directory (a pane's).
        dirs().temp_dir = scratch_.path() + "/";
        ASSERT_TRUE(use_program_directory(program_.path() + "/"));
        root_ = tree_.path() + "/";
        layout().pane_dirs[1] = root_;
    }
    void TearDown() override
    {
        close();
        dirs().program_dir = saved_program_dir_;
        dirs().temp_dir = saved_temp_dir_;
    }
    void open()
    {
        win_ = std::make_unique<window_>();
        const layout_state& l = layout();
        ASSERT_TRUE(win_->create(l.window_x, l.window_y, l.window_width, l.window_height, SW_SHOWNORMAL));
        // The list takes the focus when the window becomes active, as it does for a user.
        SetForegroundWindow(main());
        pump();
    }
    void close()
    {
        if (win_ && win_->handle()) {
            DestroyWindow(win_->handle());
            // The window ends the message loop; this test's loop goes on.
            MSG quit;
            PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        }
        pump();
        win_.reset();
    }
    HWND main() const { return win_->handle(); }
    HWND list(int pane) const { return GetDlgItem(main(), list_id(pane)); }
    Pane& pane(int i) { return panes().panes[static_cast<std::size_t>(i)]; }
    void command(int id, LPARAM parameter = 0)
    {
        SendMessageA(main(), WM_COMMAND, static_cast<WPARAM>(id), parameter);
        pump();
    }
    // A command as the menu posts it.
    void menu_command(int id)
    {
        PostMessageA(main(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
        pump();
    }
    // A key to the active pane's list, the modifiers held meanwhile.
    void press(UINT key, std::initializer_list<int> modifiers = {})
    {
        held_keys held(modifiers);
        press_key(list(panes().active), key);
    }
    int row_of(int p, const std::string& file_name)
    {
        const Pane& x = pane(p);
        for (std::size_t i = 0; i < x.rows.size(); ++i)
            if (join_entry_name(x.rows.row(i)) == file_name)
                return static_cast<int>(i);
        return -1;
    }
    std::string cursor_name(int p)
    {
        int c = pane(p).rows.cursor();
        return c < 0 ? std::string() : join_entry_name(pane(p).rows.row(static_cast<std::size_t>(c)));
    }
    // The entry the directory box of the pane shows.
    std::string box_text(int p)
    {
        combo& box = panes().views[static_cast<std::size_t>(p)]->box;
        return box.item_text(box.selection());
    }
    // A press and release of the mouse on the toolbar button.
    void click_tool(int id)
    {
        HWND bar = win_->tools().handle();
        RECT r{};
        ASSERT_TRUE(SendMessageA(bar, TB_GETRECT, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&r)));
        click(bar, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        pump();
    }
    // ':' opens the active pane's directory box; End (for -1: a server defined last) or Home and
    // Down `entry` times, then Enter, choose the entry.
    void choose_drive(int entry = -1)
    {
        type_text(list(panes().active), ":");
        HWND box = panes().views[static_cast<std::size_t>(panes().active)]->box.handle();
        ASSERT_EQ(GetFocus(), box);
        press_key(box, entry < 0 ? VK_END : VK_HOME);
        for (int i = 0; i < entry; ++i)
            press_key(box, VK_DOWN);
        press_key(box, VK_RETURN);
        pump();
    }
    // The cursor to the row of the active pane, marks left as they are.
    void cursor_to(const std::string& file_name)
    {
        int row = row_of(panes().active, file_name);
        ASSERT_GE(row, 0) << file_name;
        move_cursor(row - active_pane().rows.cursor());
        pump();
    }

    temp_dir program_;
    temp_dir tree_;
    temp_dir scratch_;
    std::string root_;
    std::string saved_program_dir_, saved_temp_dir_;
    std::unique_ptr<window_> win_;
};

} // namespace gui
