// Edits bound in dialog templates, typed as the user types: the required fields open OK by their
// rule (a native table) and limit their texts as the buffers behind them need; the name edit's
// rule is met through the rename dialog (file_dialogs_test).
#include "harness_win.h"

#include "dialogs.h"
#include "programs/program_controls_win.h"
#include "toolkit/controls_win.h"

#include <gtest/gtest.h>

namespace {

// Ends with OK or Cancel, the buttons the tests press.
class ending_dialog : public dialog {
public:
    void on_destroy() override {}
    void on_command(int id, HWND) override
    {
        if (id == IDOK || id == IDCANCEL)
            end(id);
    }
};

// DIALOG_NAME with an edit_filename that started with `initial`.
class name_dialog : public ending_dialog {
public:
    explicit name_dialog(std::string initial) : initial_(std::move(initial)) {}
    void on_init() override
    {
        name_.bind(hwnd_, ID_NAME);
        name_.set_initial(initial_.c_str());
        EnableWindow(GetDlgItem(hwnd_, IDOK), FALSE);
    }

    const edit_filename& name() const { return name_; }

private:
    std::string initial_;
    edit_filename name_;
};

bool ok_enabled(HWND dialog)
{
    return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
}

// The dialog's window goes before the edit object it bound: the object lets go of the window.
TEST(edit_filename, object_outliving_its_dialog)
{
    name_dialog dialog("x");
    gui::modal_answers answers({[](HWND d) { gui::click_button(d, IDCANCEL); }});
    EXPECT_EQ(dialog.show(TEMPLATE_NAME, nullptr), IDCANCEL);
    EXPECT_EQ(dialog.name().handle(), nullptr);
}

// DIALOG_PROGRAM with its three required fields.
class program_dialog : public ending_dialog {
public:
    void on_init() override
    {
        title_.bind(hwnd_, ID_PROGRAM_TITLE);
        program_.bind(hwnd_, ID_PROGRAM_FILE);
        parameter_.bind(hwnd_, ID_PROGRAM_PARAMETER);
        EnableWindow(GetDlgItem(hwnd_, IDOK), FALSE);
    }

private:
    edit_title title_;
    edit_program program_;
    edit_parameter parameter_;
};

TEST(edit_required, filling_the_last_field_opens_ok)
{
    program_dialog dialog;
    ASSERT_EQ(dialog.show(TEMPLATE_PROGRAM, nullptr, true), 1);
    HWND window = dialog.handle();
    gui::type_into(window, ID_PROGRAM_TITLE, "zip");
    gui::type_into(window, ID_PROGRAM_FILE, "C:/bin/7z.exe");
    gui::pump(0);
    EXPECT_FALSE(ok_enabled(window));
    gui::type_into(window, ID_PROGRAM_PARAMETER, "\"?F1\"");
    gui::pump(0);
    EXPECT_TRUE(ok_enabled(window));
    EXPECT_EQ(SendMessageA(GetDlgItem(window, ID_PROGRAM_TITLE), EM_GETLIMITTEXT, 0, 0), 127);
    EXPECT_EQ(SendMessageA(GetDlgItem(window, ID_PROGRAM_PARAMETER), EM_GETLIMITTEXT, 0, 0), 255);
    DestroyWindow(window);
}

} // namespace
