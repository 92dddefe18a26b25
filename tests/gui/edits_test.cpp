// Edits bound in dialog templates: the OK rules of the name edit and of the required-field
// groups, typed as the user types; the about box with the program's icon.
#include "harness_win.h"

#include "dialogs.h"
#include "resource.h"
#include "programs/program_controls_win.h"
#include "toolkit/controls_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// DIALOG_NAME with an edit_filename that started with `initial`.
class name_dialog : public dialog {
public:
    explicit name_dialog(std::string initial) : initial_(std::move(initial)) {}
    void on_init() override
    {
        name_.bind(hwnd_, ID_NAME);
        name_.set_initial(initial_.c_str());
        EnableWindow(GetDlgItem(hwnd_, IDOK), FALSE);
    }
    void on_destroy() override {}
    void on_command(int id, HWND) override
    {
        if (id == IDOK || id == IDCANCEL)
            end(id);
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

TEST(edit_filename, ok_only_for_a_new_non_empty_name)
{
    struct row {
        const char* typed;
        bool ok;
    };
    const row rows[] = {
        {"a.txt", false}, // unchanged
        {"A.TXT", false}, // letter case only
        {"", false},      {"b.txt", true}, {"a.txt ", true},
    };
    name_dialog dialog("a.txt");
    ASSERT_EQ(dialog.show(TEMPLATE_NAME, nullptr, true), 1);
    EXPECT_EQ(gui::item_text(dialog.handle(), ID_NAME), "a.txt");
    EXPECT_FALSE(ok_enabled(dialog.handle()));
    for (const row& r : rows) {
        gui::type_into(dialog.handle(), ID_NAME, r.typed);
        gui::pump(0);
        EXPECT_EQ(gui::item_text(dialog.handle(), ID_NAME), r.typed);
        EXPECT_EQ(ok_enabled(dialog.handle()), r.ok) << r.typed;
    }
    // The text limit counts the terminator of a 256-byte buffer.
    EXPECT_EQ(SendMessageA(GetDlgItem(dialog.handle(), ID_NAME), EM_GETLIMITTEXT, 0, 0), 255);
    DestroyWindow(dialog.handle());
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
class program_dialog : public dialog {
public:
    void on_init() override
    {
        title_.bind(hwnd_, ID_PROGRAM_TITLE);
        program_.bind(hwnd_, ID_PROGRAM_FILE);
        parameter_.bind(hwnd_, ID_PROGRAM_PARAMETER);
        EnableWindow(GetDlgItem(hwnd_, IDOK), FALSE);
    }
    void on_destroy() override {}
    void on_command(int id, HWND) override
    {
        if (id == IDOK || id == IDCANCEL)
            end(id);
    }

private:
    edit_title title_;
    edit_program program_;
    edit_parameter parameter_;
};

TEST(edit_required, ok_only_while_every_field_is_filled)
{
    program_dialog dialog;
    ASSERT_EQ(dialog.show(TEMPLATE_PROGRAM, nullptr, true), 1);
    HWND window = dialog.handle();
    struct row {
        int id;
        const char* typed;
        bool ok;
    };
    const row rows[] = {
        {ID_PROGRAM_TITLE, "zip", false},        {ID_PROGRAM_FILE, "C:/bin/7z.exe", false},
        {ID_PROGRAM_PARAMETER, "\"?F1\"", true}, {ID_PROGRAM_FILE, "", false},
        {ID_PROGRAM_FILE, "x.exe", true},        {ID_PROGRAM_TITLE, "", false},
    };
    for (const row& r : rows) {
        gui::type_into(window, r.id, r.typed);
        gui::pump(0);
        EXPECT_EQ(ok_enabled(window), r.ok) << r.id << " " << r.typed;
    }
    EXPECT_EQ(SendMessageA(GetDlgItem(window, ID_PROGRAM_TITLE), EM_GETLIMITTEXT, 0, 0), 127);
    EXPECT_EQ(SendMessageA(GetDlgItem(window, ID_PROGRAM_PARAMETER), EM_GETLIMITTEXT, 0, 0), 255);
    // Pressing the disabled OK does nothing; Cancel ends the modal run.
    DestroyWindow(window);
    program_dialog modal;
    gui::modal_answers answers({[](HWND d) {
        gui::click_button(d, IDOK);
        gui::click_button(d, IDCANCEL);
    }});
    EXPECT_EQ(modal.show(TEMPLATE_PROGRAM, nullptr), IDCANCEL);
}

} // namespace
