// The options dialog through the real main window, opened by its menu keys: OK, Cancel, the colour
// default, a refused write and its help window.
#include "main_window_fixture.h"

#include "dialogs.h"
#include "platform/os.h"
#include "resource.h"
#include "settings/ini.h"
#include "settings/settings.h"

#include <algorithm>

namespace gui {
namespace {

class OptionDialog : public main_window_test {
protected:
    // Opens the dialog as a user does and runs `script` on it; a message box that opens meanwhile
    // is noted and closed, the extension input gets extension_, a help window is noted.
    void in_options(const std::function<void(HWND)>& script)
    {
        std::vector<std::function<void(HWND)>> answers(12, [this](HWND w) {
            if (GetDlgItem(w, ID_TEXT))
                return void(help_ = w);
            if (GetDlgItem(w, ID_NAME)) {
                type_into(w, ID_NAME, extension_);
                pump(0);
            }
            for (const std::string& t : static_texts(w))
                notices_.push_back(t);
            click_button(w, IDOK);
        });
        answers[0] = script;
        modal_answers a(answers);
        menu_keys("SO"); // 設定(&S) > オプション(&O)...
        ASSERT_GE(a.used(), 1u);
    }
    // A button of the dialog pressed, or text typed into an edit, and whatever it opened answered.
    static void push(HWND d, int id)
    {
        click_button(d, id);
        pump();
    }
    static void type(HWND d, int id, const std::string& text)
    {
        type_into(d, id, text);
        pump();
    }
    static bool usable(HWND d, int id) { return IsWindowEnabled(GetDlgItem(d, id)) != 0; }
    long notices(unsigned id) const
    {
        return std::count(notices_.begin(), notices_.end(), resource_string(id, 256));
    }
    static std::string ini() { return os::read_file(settings_file_path()).value_or("(none)"); }
    // A pixel of the list's empty background.
    COLORREF background(int p)
    {
        RECT r{};
        GetClientRect(list(p), &r);
        HDC dc = GetDC(list(p));
        COLORREF c = GetPixel(dc, r.right - 4, r.bottom - 4);
        ReleaseDC(list(p), dc);
        return c;
    }

    std::vector<std::string> notices_;
    std::string extension_;
    HWND help_ = nullptr;
};

TEST_F(OptionDialog, ok_checks_the_letters_writes_the_lists_and_repaints_the_active_list_at_once)
{
    ASSERT_TRUE(write_text_file(root_ + "a.txt", "x"));
    std::string path = settings_file_path();
    ASSERT_TRUE(ini_put_string(path, "string", "netdrive", "//srv/share/"));
    ASSERT_TRUE(ini_put_string(path, "string", "text extension", ".txt"));
    ASSERT_TRUE(ini_put_string(path, "color", "back target", "0:64:0"));
    load_settings(path, "", "");
    open();
    click_tool(IDM_DUAL_WINDOW);
    ASSERT_EQ(panes().active, 2);
    EXPECT_EQ(background(2), RGB(0, 0, 64));
    std::vector<bool> seen;
    int extensions = 0;
    in_options([&](HWND d) {
        save_screenshot(d, "option_dialog");
        type(d, ID_OPT_LETTERS, "dpfknacwmse"); // the other refusals are OptionRules' table
        push(d, IDOK);
        seen.push_back(IsWindowVisible(d));
        type(d, ID_OPT_LETTERS, "AAAAAAAAAAA");
        // The only extension removed takes its list and button with it; one added brings both.
        push(d, ID_DELETE);
        seen.push_back(!usable(d, ID_OPT_EXTENSIONS) && !usable(d, ID_DELETE));
        extension_ = "c";
        push(d, ID_ADD_EXTENSION);
        seen.push_back(usable(d, ID_OPT_EXTENSIONS) && usable(d, ID_DELETE));
        push(d, ID_ADD_EXTENSION); // "c" again
        extensions = static_cast<int>(SendDlgItemMessageA(d, ID_OPT_EXTENSIONS, LB_GETCOUNT, 0, 0));
        push(d, ID_OPT_NETDRIVE_REMOVE);
        seen.push_back(!usable(d, ID_OPT_NETDRIVES) && !usable(d, ID_OPT_NETDRIVE_REMOVE));
        type(d, ID_OPT_BLUE, "0"); // 背景:ソース側 0:0:64 becomes black
        push(d, IDOK);
    });
    EXPECT_EQ(seen, std::vector<bool>(4, true));
    EXPECT_EQ(notices(IDS_KEY_LETTERS_INVALID), 1);
    EXPECT_EQ(notices(IDS_NAME_EXISTS), 1);
    EXPECT_EQ(extensions, 1);
    for (const char* line : {"\r\nnetdrive=\r\n", "extension=.c\r\n", "source=0:0:0\r\n", "drive=A\r\n",
                             "mark all=A\r\n", "program=A\r\n"})
        EXPECT_NE(ini().find(line), std::string::npos) << line;
    EXPECT_EQ(background(2), RGB(0, 0, 0));
    EXPECT_EQ(background(1), RGB(0, 64, 0));
    // A opens the drive box and does not also mark every file as "mark all".
    press('A');
    HWND box = panes().views[2]->box.handle();
    EXPECT_EQ(GetFocus(), box);
    EXPECT_TRUE(SendMessageA(box, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(pane(2).rows.marked_count(), 0u);
}

TEST_F(OptionDialog, cancel_and_the_colour_default_leave_the_rest_alone_and_help_shows_its_section)
{
    auto help = os::read_file(std::string(KV_SOURCE_DIR) + "/dist/kelvasto.txt");
    ASSERT_TRUE(help && write_text_file(program_.path() + "/kelvasto.txt", *help));
    ASSERT_TRUE(ini_put_string(settings_file_path(), "string", "netdrive", "//srv/share/"));
    open();
    std::string before = ini(), font;
    std::vector<std::string> seen;
    HWND first_help = nullptr;
    in_options([&](HWND d) {
        push(d, ID_HELP_BUTTON);
        first_help = help_;
        std::string text = item_text(first_help, ID_TEXT);
        seen.push_back(text.substr(0, text.find('\r')));
        push(d, ID_HELP_BUTTON); // one help window at a time
        push(first_help, ID_CLOSE);
        push(d, ID_HELP_BUTTON); // the closed one was let go: a new one opens

        font = item_text(d, ID_OPT_FONT);
        HWND colour = GetDlgItem(d, ID_OPT_COLOR);
        auto system_colour = [&] {
            SetFocus(colour);
            press_key(colour, VK_DOWN);
            press_key(colour, VK_DOWN); // 文字:システム
            seen.push_back(item_text(d, ID_OPT_RED) + ":" + item_text(d, ID_OPT_GREEN) + ":" +
                           item_text(d, ID_OPT_BLUE));
        };
        system_colour();
        type(d, ID_OPT_GREEN, "128");
        type(d, ID_OPT_LETTERS, "ABCDEFGHIJK");
        push(d, ID_OPT_NETDRIVE_REMOVE);
        push(d, ID_OPT_CONFIRM_COPY);
        push(d, ID_OPT_COLOR_DEFAULT);
        seen.push_back(std::to_string(SendMessageA(colour, CB_GETCURSEL, 0, 0)) + " " +
                       item_text(d, ID_OPT_BLUE) + " " + item_text(d, ID_OPT_LETTERS) + " " +
                       item_text(d, ID_OPT_FONT));
        seen.push_back(std::to_string(SendDlgItemMessageA(d, ID_OPT_NETDRIVES, LB_GETCOUNT, 0, 0)));
        system_colour();
        push(d, IDCANCEL);
    });
    EXPECT_NE(seen.at(0).find(acp("オプション")), std::string::npos) << seen[0];
    EXPECT_NE(help_, first_help);
    EXPECT_FALSE(IsWindow(first_help) || IsWindow(help_)); // the second went with the dialog
    EXPECT_EQ(std::vector<std::string>(seen.begin() + 1, seen.end()),
              (std::vector<std::string>{"255:0:0", "0 64 ABCDEFGHIJK " + font, "0", "255:0:0"}));
    EXPECT_EQ(ini(), before);
    EXPECT_EQ(std::string(settings().key_letters.data(), key_letter_count), default_key_letters);
    EXPECT_TRUE(settings().confirm_copy);
}

TEST_F(OptionDialog, a_refused_write_shows_message_32_and_keeps_the_dialog)
{
    std::string path = settings_file_path();
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    open();
    std::string before = ini();
    bool open_after_failure = false;
    in_options([&](HWND d) {
        push(d, ID_OPT_CONFIRM_COPY); // a change: an unchanged file is not written at all
        push(d, IDOK);
        open_after_failure = IsWindowVisible(d) != 0;
        push(d, IDCANCEL);
    });
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(notices(IDS_FILE_RW_ERROR), 1);
    EXPECT_TRUE(open_after_failure);
    EXPECT_EQ(ini(), before);
    EXPECT_TRUE(settings().confirm_copy);
}

} // namespace
} // namespace gui
