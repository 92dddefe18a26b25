// Every dialog template opens with the controls its dialog binds, nothing clipped, and a
// snapshot in build/artifacts; modal runs end with the code given to end.
#include "harness_win.h"

#include "dialogs.h"
#include "toolkit/control_win.h"
#include "toolkit/controls_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A dialog that binds nothing and ends with the button pressed.
class probe_dialog : public dialog {
public:
    void on_init() override { ++inits; }
    void on_destroy() override { ++destroys; }
    void on_command(int id, HWND) override
    {
        if (id == IDOK || id == IDCANCEL || id == ID_CLOSE) {
            text_at_end = get_item_text(ID_NAME);
            end(id);
        }
    }
    std::string get_item_text(int id) const { return gui::item_text(hwnd_, id); }

    int inits = 0;
    int destroys = 0;
    std::string text_at_end;
};

struct expected_control {
    int id;
    const char* class_name;
};

struct template_case {
    const char* name;
    const char* caption;
    std::vector<expected_control> controls;
};

const std::vector<template_case> templates = {
    {TEMPLATE_NAME, "???", {{ID_NAME, "Edit"}, {IDOK, "Button"}, {IDCANCEL, "Button"}}},
    {TEMPLATE_EXTENSION, "拡張子?", {{ID_NAME, "Edit"}, {IDOK, "Button"}, {IDCANCEL, "Button"}}},
    {TEMPLATE_ATTRIBUTE,
     "属性?",
     {{ID_ATTR_SYSTEM, "Button"},
      {ID_ATTR_HIDDEN, "Button"},
      {ID_ATTR_READ_ONLY, "Button"},
      {ID_ATTR_ARCHIVE, "Button"},
      {IDOK, "Button"},
      {IDCANCEL, "Button"}}},
    {TEMPLATE_TIMESTAMP,
     "更新日時?",
     {{ID_TIME_YEAR, "Edit"},
      {ID_TIME_MONTH, "ComboBox"},
      {ID_TIME_DAY, "ComboBox"},
      {ID_TIME_HOUR, "ComboBox"},
      {ID_TIME_MINUTE, "ComboBox"},
      {ID_TIME_SECOND, "ComboBox"},
      {IDOK, "Button"},
      {IDCANCEL, "Button"}}},
    {TEMPLATE_HELP, "説明", {{ID_TEXT, "Edit"}, {ID_CLOSE, "Button"}}},
    {TEMPLATE_FILE_RW, "通知", {}},
    {TEMPLATE_OPTION,
     "オプション",
     {{ID_OPT_CONFIRM_COPY, "Button"},
      {ID_OPT_CONFIRM_MOVE, "Button"},
      {ID_OPT_USE_TRASH, "Button"},
      {ID_OPT_NETDRIVES, "ListBox"},
      {ID_OPT_NETDRIVE_ADD, "Button"},
      {ID_OPT_NETDRIVE_REMOVE, "Button"},
      {ID_OPT_VIEWER, "Edit"},
      {ID_BROWSE, "Button"},
      {ID_OPT_FONT, "Edit"},
      {ID_OPT_FONT_BROWSE, "Button"},
      {ID_OPT_COLOR, "ComboBox"},
      {ID_OPT_RED, "Edit"},
      {ID_OPT_GREEN, "Edit"},
      {ID_OPT_BLUE, "Edit"},
      {ID_OPT_SAMPLE, "Static"},
      {ID_OPT_COLOR_DEFAULT, "Button"},
      {ID_OPT_LETTERS, "Edit"},
      {ID_OPT_LETTERS_DEFAULT, "Button"},
      {ID_OPT_EXTENSIONS, "ListBox"},
      {ID_ADD_EXTENSION, "Button"},
      {ID_DELETE, "Button"},
      {ID_HELP_BUTTON, "Button"},
      {IDOK, "Button"},
      {IDCANCEL, "Button"}}},
    {TEMPLATE_FTP, "FTP", {{ID_TEXT, "Edit"}, {ID_STOP, "Button"}, {IDCANCEL, "Button"}}},
    {TEMPLATE_DRIVE_FTP,
     "FTPサーバ",
     {{ID_FTP_TITLE, "Edit"},
      {ID_FTP_SERVER, "Edit"},
      {ID_FTP_ZONE, "ComboBox"},
      {ID_FTP_CHARSET, "ComboBox"},
      {ID_FTP_PORT, "Edit"},
      {ID_FTP_USER, "Edit"},
      {ID_FTP_PASSWORD, "Edit"},
      {ID_FTP_DIRECTORY, "Edit"},
      {ID_FTP_KEEP_DIRLIST, "Button"},
      {ID_HELP_BUTTON, "Button"},
      {ID_DELETE, "Button"},
      {IDOK, "Button"},
      {IDCANCEL, "Button"}}},
    {TEMPLATE_PASSWORD,
     "FTPパスワード?",
     {{ID_FTP_PASSWORD, "Edit"}, {IDOK, "Button"}, {IDCANCEL, "Button"}}},
    {TEMPLATE_PROGRAM,
     "手動プログラム",
     {{ID_PROGRAM_TITLE, "Edit"},
      {ID_PROGRAM_FILE, "Edit"},
      {ID_BROWSE, "Button"},
      {ID_PROGRAM_PARAMETER, "Edit"},
      {ID_PROGRAM_CONFIRM, "Button"},
      {ID_HELP_BUTTON, "Button"},
      {ID_DELETE, "Button"},
      {IDOK, "Button"},
      {IDCANCEL, "Button"}}},
    {TEMPLATE_PROGRAM_EXT,
     "拡張子プログラム",
     {{ID_PROGRAM_TITLE, "Edit"},
      {ID_PROGRAM_SHIFT_ONLY, "Button"},
      {ID_PROGRAM_FILE, "Edit"},
      {ID_BROWSE, "Button"},
      {ID_PROGRAM_PARAMETER, "Edit"},
      {ID_PROGRAM_CONFIRM, "Button"},
      {ID_HELP_BUTTON, "Button"},
      {ID_DELETE, "Button"},
      {IDOK, "Button"},
      {IDCANCEL, "Button"}}},
    {TEMPLATE_EXEC_CONFIRM,
     "プログラムへのパラメータ",
     {{ID_EXEC_PARAMETER, "Edit"}, {IDOK, "Button"}, {IDCANCEL, "Button"}}},
    {TEMPLATE_EXEC_RESULT, "DLLプログラムの実行結果", {{ID_CLOSE, "Button"}, {ID_TEXT, "Edit"}}},
};

// The up-down controls the dialogs attach to their number edits when they open.
struct updown_case {
    const char* name;
    int buddy;
    int id;
    int upper;
    int lower;
    int position;
};

const std::vector<updown_case> updowns = {
    {TEMPLATE_TIMESTAMP, ID_TIME_YEAR, ID_TIME_YEAR_UPDOWN, 2099, 1980, 2010},
    {TEMPLATE_OPTION, ID_OPT_RED, ID_OPT_RED_UPDOWN, 255, 0, 0},
    {TEMPLATE_OPTION, ID_OPT_GREEN, ID_OPT_GREEN_UPDOWN, 255, 0, 0},
    {TEMPLATE_OPTION, ID_OPT_BLUE, ID_OPT_BLUE_UPDOWN, 255, 0, 64},
    {TEMPLATE_DRIVE_FTP, ID_FTP_PORT, ID_FTP_PORT_UPDOWN, 32767, 0, 21},
};

// Texts that are the system's own, in the templates that carry them.
struct text_case {
    const char* name;
    int id;
    const char* text;
};

const std::vector<text_case> texts = {
    {TEMPLATE_ATTRIBUTE, ID_ATTR_SYSTEM, "システム  (&S)"},
    {TEMPLATE_ATTRIBUTE, ID_ATTR_HIDDEN, "不可視    (&H)"},
    {TEMPLATE_ATTRIBUTE, ID_ATTR_READ_ONLY, "書込禁止  (&R)"},
    {TEMPLATE_ATTRIBUTE, ID_ATTR_ARCHIVE, "アーカイブ(&A)"},
    {TEMPLATE_HELP, ID_CLOSE, "閉じる"},
    {TEMPLATE_OPTION, ID_OPT_CONFIRM_COPY, "コピー前に確認"},
    {TEMPLATE_OPTION, ID_OPT_CONFIRM_MOVE, "移動の前に確認"},
    {TEMPLATE_OPTION, ID_OPT_USE_TRASH, "ごみ箱を使用する"},
    {TEMPLATE_OPTION, ID_OPT_NETDRIVE_ADD, "追加"},
    {TEMPLATE_OPTION, ID_OPT_NETDRIVE_REMOVE, "削除"},
    {TEMPLATE_OPTION, ID_BROWSE, "参照"},
    {TEMPLATE_OPTION, ID_OPT_FONT_BROWSE, "参照"},
    {TEMPLATE_OPTION, ID_OPT_SAMPLE, "ABC"},
    {TEMPLATE_OPTION, ID_OPT_COLOR_DEFAULT, "標準"},
    {TEMPLATE_OPTION, ID_OPT_LETTERS_DEFAULT, "標準"},
    {TEMPLATE_OPTION, ID_ADD_EXTENSION, "追加"},
    {TEMPLATE_OPTION, ID_DELETE, "削除"},
    {TEMPLATE_OPTION, ID_HELP_BUTTON, "Help"},
    {TEMPLATE_FTP, ID_STOP, "中止"},
    {TEMPLATE_FTP, IDCANCEL, "閉じる"},
    {TEMPLATE_DRIVE_FTP, ID_FTP_KEEP_DIRLIST, "dir情報を保存"},
    {TEMPLATE_DRIVE_FTP, ID_DELETE, "削除"},
    {TEMPLATE_PROGRAM, ID_BROWSE, "参照"},
    {TEMPLATE_PROGRAM, ID_PROGRAM_CONFIRM, "実行前に確認 "},
    {TEMPLATE_PROGRAM, ID_HELP_BUTTON, "Help"},
    {TEMPLATE_PROGRAM, ID_DELETE, "削除"},
    {TEMPLATE_PROGRAM_EXT, ID_PROGRAM_SHIFT_ONLY, "SHIFT時のみ  "},
    {TEMPLATE_EXEC_RESULT, ID_CLOSE, "閉じる"},
};

// The pixel width of a control's caption in the dialog's font, without the "&" marker.
int caption_width(HWND control)
{
    std::string text = gui::text_of(control);
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] != '&')
            shown += text[i];
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32A(dc, shown.c_str(), static_cast<int>(shown.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return extent.cx;
}

BOOL CALLBACK collect_child(HWND window, LPARAM data)
{
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

// Every child lies inside the client area, and every caption fits its control.
void expect_nothing_clipped(HWND dialog, const char* name)
{
    RECT client{};
    GetClientRect(dialog, &client);
    std::vector<HWND> children;
    EnumChildWindows(dialog, collect_child, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        if (GetParent(child) != dialog)
            continue; // the edit inside a combo box
        RECT rect{};
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        int id = GetDlgCtrlID(child);
        EXPECT_GE(rect.left, 0) << name << " " << id;
        EXPECT_GE(rect.top, 0) << name << " " << id;
        EXPECT_LE(rect.right, client.right) << name << " " << id;
        EXPECT_LE(rect.bottom, client.bottom) << name << " " << id;
        std::string cls = gui::class_of(child);
        if (lstrcmpiA(cls.c_str(), "Button") == 0 || lstrcmpiA(cls.c_str(), "Static") == 0) {
            LONG style = static_cast<LONG>(GetWindowLongPtrA(child, GWL_STYLE));
            bool box = lstrcmpiA(cls.c_str(), "Button") == 0 &&
                       ((style & 0x0F) == BS_AUTOCHECKBOX || (style & 0x0F) == BS_CHECKBOX);
            // The tick box and its gap take about 16 pixels; push buttons keep a margin.
            int room = (rect.right - rect.left) - (box ? 16 : lstrcmpiA(cls.c_str(), "Button") == 0 ? 4 : 0);
            EXPECT_LE(caption_width(child), room)
                << name << " " << id << " \"" << gui::text_of(child) << "\"";
        }
    }
}

TEST(dialog_templates, every_template_has_its_controls_and_is_saved)
{
    for (const auto& t : templates) {
        SCOPED_TRACE(t.name);
        probe_dialog probe;
        ASSERT_EQ(probe.show(t.name, nullptr, true), 1);
        HWND window = probe.handle();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(probe.inits, 1);
        std::vector<std::unique_ptr<updown>> arrows;
        for (const auto& u : updowns) {
            if (std::string(u.name) != t.name)
                continue;
            arrows.push_back(std::make_unique<updown>());
            ASSERT_TRUE(arrows.back()->create(window, u.id, GetDlgItem(window, u.buddy), u.upper, u.lower,
                                              u.position));
            // The buddy shows the position; the arrows sit inside the buddy's old place.
            EXPECT_EQ(gui::item_text(window, u.buddy), std::to_string(u.position));
            EXPECT_EQ(GetDlgItem(window, u.id), arrows.back()->handle());
        }
        SetWindowPos(window, HWND_TOP, 10, 10, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        gui::pump();
        EXPECT_EQ(gui::text_of(window), gui::acp(t.caption));
        for (const auto& c : t.controls) {
            HWND control = GetDlgItem(window, c.id);
            ASSERT_NE(control, nullptr) << c.id;
            EXPECT_EQ(lstrcmpiA(gui::class_of(control).c_str(), c.class_name), 0)
                << c.id << " " << gui::class_of(control);
        }
        expect_nothing_clipped(window, t.name);
        EXPECT_TRUE(gui::save_png(window, gui::artifact_path(std::string(t.name) + ".png")));
        DestroyWindow(window);
        gui::pump(0);
        EXPECT_EQ(probe.destroys, 1);
        EXPECT_EQ(probe.handle(), nullptr);
    }
}

TEST(dialog_templates, texts_are_the_systems_own)
{
    for (const auto& t : texts) {
        probe_dialog probe;
        ASSERT_EQ(probe.show(t.name, nullptr, true), 1);
        EXPECT_EQ(gui::item_text(probe.handle(), t.id), gui::acp(t.text)) << t.name << " " << t.id;
        DestroyWindow(probe.handle());
    }
    probe_dialog notice;
    ASSERT_EQ(notice.show(TEMPLATE_FILE_RW, nullptr, true), 1);
    EXPECT_TRUE(gui::contains_text(gui::static_texts(notice.handle()),
                                   gui::acp("ファイルの読み書きをしています.")));
    DestroyWindow(notice.handle());
    gui::pump(0);
}

TEST(dialog_show, modal_run_returns_the_code_given_to_end)
{
    struct row {
        int button;
        int code;
    };
    for (row r : {row{IDOK, IDOK}, row{IDCANCEL, IDCANCEL}}) {
        probe_dialog probe;
        gui::modal_answers answers({[&](HWND dialog) {
            gui::type_into(dialog, ID_NAME, "abc.txt");
            gui::click_button(dialog, r.button);
        }});
        EXPECT_EQ(probe.show(TEMPLATE_NAME, nullptr), r.code);
        EXPECT_EQ(answers.used(), 1u);
        EXPECT_EQ(probe.text_at_end, "abc.txt");
        EXPECT_EQ(probe.destroys, 1);
    }
}

TEST(dialog_show, a_template_name_is_matched_without_regard_to_case)
{
    probe_dialog probe;
    ASSERT_EQ(probe.show("DIALOG_NAME", nullptr, true), 1);
    DestroyWindow(probe.handle());
    probe_dialog missing;
    EXPECT_EQ(missing.show("dialog_nothing", nullptr, true), -1);
}

// Styles the dialogs rely on: read-only logs, hidden passwords, sorted lists, drop-down
// lists, lower-case extension input, and the default buttons.
TEST(dialog_templates, control_styles)
{
    struct row {
        const char* name;
        int id;
        LONG style;
    };
    const row rows[] = {
        {TEMPLATE_HELP, ID_TEXT, ES_MULTILINE | ES_READONLY | WS_VSCROLL},
        {TEMPLATE_FTP, ID_TEXT, ES_MULTILINE | ES_READONLY | WS_VSCROLL},
        {TEMPLATE_EXEC_RESULT, ID_TEXT, ES_MULTILINE | ES_READONLY | WS_VSCROLL},
        {TEMPLATE_EXEC_RESULT, ID_CLOSE, BS_DEFPUSHBUTTON},
        {TEMPLATE_DRIVE_FTP, ID_FTP_PASSWORD, ES_PASSWORD},
        {TEMPLATE_PASSWORD, ID_FTP_PASSWORD, ES_PASSWORD},
        {TEMPLATE_OPTION, ID_OPT_NETDRIVES, LBS_SORT},
        {TEMPLATE_OPTION, ID_OPT_EXTENSIONS, LBS_SORT},
        {TEMPLATE_OPTION, ID_OPT_FONT, ES_READONLY},
        {TEMPLATE_OPTION, ID_OPT_COLOR, CBS_DROPDOWNLIST},
        {TEMPLATE_TIMESTAMP, ID_TIME_MONTH, CBS_DROPDOWNLIST},
        {TEMPLATE_DRIVE_FTP, ID_FTP_ZONE, CBS_DROPDOWNLIST},
        {TEMPLATE_DRIVE_FTP, ID_FTP_CHARSET, CBS_DROPDOWNLIST},
        {TEMPLATE_EXTENSION, ID_NAME, ES_LOWERCASE},
        {TEMPLATE_PROGRAM_EXT, ID_PROGRAM_TITLE, ES_LOWERCASE},
        {TEMPLATE_NAME, IDOK, BS_DEFPUSHBUTTON},
        {TEMPLATE_PROGRAM, IDOK, BS_DEFPUSHBUTTON},
        {TEMPLATE_EXEC_CONFIRM, IDOK, BS_DEFPUSHBUTTON},
    };
    for (const row& r : rows) {
        probe_dialog probe;
        ASSERT_EQ(probe.show(r.name, nullptr, true), 1);
        auto style = static_cast<LONG>(GetWindowLongPtrA(GetDlgItem(probe.handle(), r.id), GWL_STYLE));
        EXPECT_EQ(style & r.style, r.style) << r.name << " " << r.id;
        DestroyWindow(probe.handle());
    }
    // The program editors have the sizes their layout was made for (dialog units).
    struct size_row {
        const char* name;
        int width;
        int height;
    };
    for (size_row r : {size_row{TEMPLATE_PROGRAM, 185, 62}, size_row{TEMPLATE_PROGRAM_EXT, 185, 74}}) {
        probe_dialog probe;
        ASSERT_EQ(probe.show(r.name, nullptr, true), 1);
        RECT expected{0, 0, r.width, r.height};
        MapDialogRect(probe.handle(), &expected);
        RECT client{};
        GetClientRect(probe.handle(), &client);
        EXPECT_EQ(client.right, expected.right) << r.name;
        EXPECT_EQ(client.bottom, expected.bottom) << r.name;
        DestroyWindow(probe.handle());
    }
    gui::pump(0);
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

// The centre of the dialog is the centre of its owner (integer halves).
TEST(dialog_show, centring_on_the_parent)
{
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 100, 50, 600, 400, nullptr,
                                 nullptr, nullptr, nullptr);
    probe_dialog probe;
    ASSERT_EQ(probe.show(TEMPLATE_NAME, owner, true), 1);
    probe.center_on_parent();
    RECT own{}, outer{};
    GetWindowRect(probe.handle(), &own);
    GetWindowRect(owner, &outer);
    EXPECT_EQ(own.left, outer.left + ((outer.right - outer.left) - (own.right - own.left)) / 2);
    EXPECT_EQ(own.top, outer.top + ((outer.bottom - outer.top) - (own.bottom - own.top)) / 2);
    probe.set_title_from_string(3);
    EXPECT_EQ(gui::text_of(probe.handle()), gui::acp("確認"));
    probe.set_title_from_string(65000); // no such string
    EXPECT_EQ(gui::text_of(probe.handle()), "?");
    DestroyWindow(probe.handle());
    DestroyWindow(owner);
}

// Message boxes take their texts from the string table and belong to the dialog.
TEST(dialog_show, message_boxes_from_string_ids)
{
    probe_dialog probe;
    ASSERT_EQ(probe.show(TEMPLATE_NAME, nullptr, true), 1);
    struct row {
        int button;
        bool expected;
    };
    for (row r : {row{IDOK, true}, row{IDCANCEL, false}}) {
        std::string caption, owner_seen;
        std::vector<std::string> shown;
        gui::modal_answers answers({[&](HWND box) {
            caption = gui::text_of(box);
            shown = gui::static_texts(box);
            owner_seen = GetWindow(box, GW_OWNER) == probe.handle() ? "dialog" : "other";
            gui::click_button(box, r.button);
        }});
        EXPECT_EQ(probe.ask(3, 32), r.expected);
        EXPECT_EQ(caption, gui::acp("確認"));
        EXPECT_TRUE(gui::contains_text(shown, gui::acp("ファイルの読み書きに失敗しました.")));
        EXPECT_EQ(owner_seen, "dialog");
    }
    for (auto show : {&overlap::inform, &overlap::warn}) {
        std::string caption;
        gui::modal_answers answers({[&](HWND box) {
            caption = gui::text_of(box);
            gui::click_button(box, IDOK);
        }});
        (probe.*show)(4, 30);
        EXPECT_EQ(caption, gui::acp("エラー"));
        EXPECT_EQ(answers.used(), 1u);
    }
    DestroyWindow(probe.handle());
    gui::pump(0);
}

} // namespace
