// Every dialog template opens with the styles its dialog relies on; a dialog's object, its window
// and an edit it bound going in either order; the message boxes a dialog owns.
#include "harness_win.h"

#include "dialogs.h"
#include "toolkit/controls_win.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A dialog that binds nothing and counts its start and end.
class probe_dialog : public dialog {
public:
    void on_init() override { ++inits; }
    void on_destroy() override { ++destroys; }
    void on_command(int, HWND) override {}

    int inits = 0;
    int destroys = 0;
};

const char* const templates[] = {
    TEMPLATE_NAME,    TEMPLATE_EXTENSION,   TEMPLATE_ATTRIBUTE,    TEMPLATE_TIMESTAMP,  TEMPLATE_HELP,
    TEMPLATE_FILE_RW, TEMPLATE_OPTION,      TEMPLATE_FTP,          TEMPLATE_DRIVE_FTP,  TEMPLATE_PASSWORD,
    TEMPLATE_PROGRAM, TEMPLATE_PROGRAM_EXT, TEMPLATE_EXEC_CONFIRM, TEMPLATE_EXEC_RESULT};

// The styles the dialogs rely on and never set themselves: hidden passwords, lower-case
// extension input, read-only logs.
struct style_case {
    const char* name;
    int id;
    LONG style;
};

constexpr LONG log_style = ES_MULTILINE | ES_READONLY | WS_VSCROLL;

const style_case styles[] = {
    {TEMPLATE_DRIVE_FTP, ID_FTP_PASSWORD, ES_PASSWORD},
    {TEMPLATE_PASSWORD, ID_FTP_PASSWORD, ES_PASSWORD},
    {TEMPLATE_EXTENSION, ID_NAME, ES_LOWERCASE},
    {TEMPLATE_HELP, ID_TEXT, log_style},
    {TEMPLATE_FTP, ID_TEXT, log_style},
    {TEMPLATE_EXEC_RESULT, ID_TEXT, log_style},
};

TEST(dialog_templates, every_template_opens_with_its_styles)
{
    for (const char* name : templates) {
        SCOPED_TRACE(name);
        probe_dialog probe;
        ASSERT_EQ(probe.show(name, nullptr, true), 1);
        HWND window = probe.handle();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(probe.inits, 1);
        for (const auto& c : styles) {
            if (std::string(c.name) != name)
                continue;
            auto style = static_cast<LONG>(GetWindowLongPtrA(GetDlgItem(window, c.id), GWL_STYLE));
            EXPECT_EQ(style & c.style, c.style) << c.id;
        }
        DestroyWindow(window);
        gui::pump(0);
        EXPECT_EQ(probe.destroys, 1);
        EXPECT_EQ(probe.handle(), nullptr);
    }
}

// A modeless dialog whose object goes first: the window goes too, and nothing reaches the
// freed object on the way.
TEST(dialog_show, an_object_destroyed_while_its_dialog_is_open)
{
    HWND window = nullptr;
    {
        auto probe = std::make_unique<probe_dialog>();
        ASSERT_EQ(probe->show(TEMPLATE_NAME, nullptr, true), 1);
        window = probe->handle();
    }
    EXPECT_FALSE(IsWindow(window));
    gui::pump(0);
}

// DIALOG_NAME with an edit_filename bound; OK and Cancel end it.
class name_dialog : public dialog {
public:
    void on_init() override { name_.bind(hwnd_, ID_NAME); }
    void on_destroy() override {}
    void on_command(int id, HWND) override
    {
        if (id == IDOK || id == IDCANCEL)
            end(id);
    }
    const edit_filename& name() const { return name_; }

private:
    edit_filename name_;
};

// The dialog's window goes before the edit object it bound: the object lets go of the window.
TEST(dialog_show, an_edit_object_outliving_its_dialog)
{
    name_dialog dialog;
    gui::modal_answers answers({[](HWND d) { gui::click_button(d, IDCANCEL); }});
    EXPECT_EQ(dialog.show(TEMPLATE_NAME, nullptr), IDCANCEL);
    EXPECT_EQ(dialog.name().handle(), nullptr);
}

// Message boxes take their texts from the string table and belong to the dialog.
TEST(dialog_show, message_boxes_from_string_ids)
{
    probe_dialog probe;
    ASSERT_EQ(probe.show(TEMPLATE_NAME, nullptr, true), 1);
    for (int button : {IDOK, IDCANCEL}) {
        std::string caption, owner_seen;
        std::vector<std::string> shown;
        gui::modal_answers answers({[&](HWND box) {
            caption = gui::text_of(box);
            shown = gui::static_texts(box);
            owner_seen = GetWindow(box, GW_OWNER) == probe.handle() ? "dialog" : "other";
            gui::click_button(box, button);
        }});
        EXPECT_EQ(probe.ask(3, 32), button == IDOK);
        EXPECT_EQ(caption, gui::acp("確認"));
        EXPECT_TRUE(gui::contains_text(shown, gui::acp("ファイルの読み書きに失敗しました.")));
        EXPECT_EQ(owner_seen, "dialog");
    }
    DestroyWindow(probe.handle());
    gui::pump(0);
}

} // namespace
