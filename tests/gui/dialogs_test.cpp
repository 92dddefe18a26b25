// Every dialog template opens with the controls its dialog binds, nothing clipped, and a
// snapshot in build/artifacts; modal runs end with the code given to end.
#include "harness_win.h"

#include "dialogs.h"
#include "toolkit/control_win.h"
#include "toolkit/controls_win.h"

#include <gtest/gtest.h>

#include <algorithm>
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

struct template_case {
    const char* name;
    const char* caption;
    int width = 0, height = 0; // the client size in dialog units the layout was made for, 0: any
};

const template_case templates[] = {
    {TEMPLATE_NAME, "???"},
    {TEMPLATE_EXTENSION, "拡張子?"},
    {TEMPLATE_ATTRIBUTE, "属性?"},
    {TEMPLATE_TIMESTAMP, "更新日時?"},
    {TEMPLATE_HELP, "説明"},
    {TEMPLATE_FILE_RW, "通知"},
    {TEMPLATE_OPTION, "オプション"},
    {TEMPLATE_FTP, "FTP"},
    {TEMPLATE_DRIVE_FTP, "FTPサーバ"},
    {TEMPLATE_PASSWORD, "FTPパスワード?"},
    {TEMPLATE_PROGRAM, "手動プログラム", 185, 62},
    {TEMPLATE_PROGRAM_EXT, "拡張子プログラム", 185, 74},
    {TEMPLATE_EXEC_CONFIRM, "プログラムへのパラメータ"},
    {TEMPLATE_EXEC_RESULT, "DLLプログラムの実行結果"},
};

// One row per control a dialog binds: its class, the system's own text where it has one, and
// the styles the dialog relies on (read-only logs, hidden passwords, sorted lists, drop-down
// lists, lower-case extension input, default buttons).
struct control_case {
    const char* name;
    int id;
    const char* class_name;
    const char* text = nullptr;
    LONG style = 0;
};

constexpr LONG log_style = ES_MULTILINE | ES_READONLY | WS_VSCROLL;

const control_case controls[] = {
    {TEMPLATE_NAME, ID_NAME, "Edit"},
    {TEMPLATE_NAME, IDOK, "Button", nullptr, BS_DEFPUSHBUTTON},
    {TEMPLATE_NAME, IDCANCEL, "Button"},
    {TEMPLATE_EXTENSION, ID_NAME, "Edit", nullptr, ES_LOWERCASE},
    {TEMPLATE_EXTENSION, IDOK, "Button"},
    {TEMPLATE_EXTENSION, IDCANCEL, "Button"},
    {TEMPLATE_ATTRIBUTE, ID_ATTR_SYSTEM, "Button", "システム  (&S)"},
    {TEMPLATE_ATTRIBUTE, ID_ATTR_HIDDEN, "Button", "不可視    (&H)"},
    {TEMPLATE_ATTRIBUTE, ID_ATTR_READ_ONLY, "Button", "書込禁止  (&R)"},
    {TEMPLATE_ATTRIBUTE, ID_ATTR_ARCHIVE, "Button", "アーカイブ(&A)"},
    {TEMPLATE_ATTRIBUTE, IDOK, "Button"},
    {TEMPLATE_ATTRIBUTE, IDCANCEL, "Button"},
    {TEMPLATE_TIMESTAMP, ID_TIME_YEAR, "Edit"},
    {TEMPLATE_TIMESTAMP, ID_TIME_MONTH, "ComboBox", nullptr, CBS_DROPDOWNLIST},
    {TEMPLATE_TIMESTAMP, ID_TIME_DAY, "ComboBox"},
    {TEMPLATE_TIMESTAMP, ID_TIME_HOUR, "ComboBox"},
    {TEMPLATE_TIMESTAMP, ID_TIME_MINUTE, "ComboBox"},
    {TEMPLATE_TIMESTAMP, ID_TIME_SECOND, "ComboBox"},
    {TEMPLATE_TIMESTAMP, IDOK, "Button"},
    {TEMPLATE_TIMESTAMP, IDCANCEL, "Button"},
    {TEMPLATE_HELP, ID_TEXT, "Edit", nullptr, log_style},
    {TEMPLATE_HELP, ID_CLOSE, "Button", "閉じる"},
    {TEMPLATE_OPTION, ID_OPT_CONFIRM_COPY, "Button", "コピー前に確認"},
    {TEMPLATE_OPTION, ID_OPT_CONFIRM_MOVE, "Button", "移動の前に確認"},
    {TEMPLATE_OPTION, ID_OPT_USE_TRASH, "Button", "ごみ箱を使用する"},
    {TEMPLATE_OPTION, ID_OPT_NETDRIVES, "ListBox", nullptr, LBS_SORT},
    {TEMPLATE_OPTION, ID_OPT_NETDRIVE_ADD, "Button", "追加"},
    {TEMPLATE_OPTION, ID_OPT_NETDRIVE_REMOVE, "Button", "削除"},
    {TEMPLATE_OPTION, ID_OPT_VIEWER, "Edit"},
    {TEMPLATE_OPTION, ID_BROWSE, "Button", "参照"},
    {TEMPLATE_OPTION, ID_OPT_FONT, "Edit", nullptr, ES_READONLY},
    {TEMPLATE_OPTION, ID_OPT_FONT_BROWSE, "Button", "参照"},
    {TEMPLATE_OPTION, ID_OPT_COLOR, "ComboBox", nullptr, CBS_DROPDOWNLIST},
    {TEMPLATE_OPTION, ID_OPT_RED, "Edit"},
    {TEMPLATE_OPTION, ID_OPT_GREEN, "Edit"},
    {TEMPLATE_OPTION, ID_OPT_BLUE, "Edit"},
    {TEMPLATE_OPTION, ID_OPT_SAMPLE, "Static", "ABC"},
    {TEMPLATE_OPTION, ID_OPT_COLOR_DEFAULT, "Button", "標準"},
    {TEMPLATE_OPTION, ID_OPT_LETTERS, "Edit"},
    {TEMPLATE_OPTION, ID_OPT_LETTERS_DEFAULT, "Button", "標準"},
    {TEMPLATE_OPTION, ID_OPT_EXTENSIONS, "ListBox", nullptr, LBS_SORT},
    {TEMPLATE_OPTION, ID_ADD_EXTENSION, "Button", "追加"},
    {TEMPLATE_OPTION, ID_DELETE, "Button", "削除"},
    {TEMPLATE_OPTION, ID_HELP_BUTTON, "Button", "Help"},
    {TEMPLATE_OPTION, IDOK, "Button"},
    {TEMPLATE_OPTION, IDCANCEL, "Button"},
    {TEMPLATE_FTP, ID_TEXT, "Edit", nullptr, log_style},
    {TEMPLATE_FTP, ID_STOP, "Button", "中止"},
    {TEMPLATE_FTP, IDCANCEL, "Button", "閉じる"},
    {TEMPLATE_DRIVE_FTP, ID_FTP_TITLE, "Edit"},
    {TEMPLATE_DRIVE_FTP, ID_FTP_SERVER, "Edit"},
    {TEMPLATE_DRIVE_FTP, ID_FTP_ZONE, "ComboBox", nullptr, CBS_DROPDOWNLIST},
    {TEMPLATE_DRIVE_FTP, ID_FTP_CHARSET, "ComboBox", nullptr, CBS_DROPDOWNLIST},
    {TEMPLATE_DRIVE_FTP, ID_FTP_PORT, "Edit"},
    {TEMPLATE_DRIVE_FTP, ID_FTP_USER, "Edit"},
    {TEMPLATE_DRIVE_FTP, ID_FTP_PASSWORD, "Edit", nullptr, ES_PASSWORD},
    {TEMPLATE_DRIVE_FTP, ID_FTP_DIRECTORY, "Edit"},
    {TEMPLATE_DRIVE_FTP, ID_FTP_KEEP_DIRLIST, "Button", "dir情報を保存"},
    {TEMPLATE_DRIVE_FTP, ID_HELP_BUTTON, "Button"},
    {TEMPLATE_DRIVE_FTP, ID_DELETE, "Button", "削除"},
    {TEMPLATE_DRIVE_FTP, IDOK, "Button"},
    {TEMPLATE_DRIVE_FTP, IDCANCEL, "Button"},
    {TEMPLATE_PASSWORD, ID_FTP_PASSWORD, "Edit", nullptr, ES_PASSWORD},
    {TEMPLATE_PASSWORD, IDOK, "Button"},
    {TEMPLATE_PASSWORD, IDCANCEL, "Button"},
    {TEMPLATE_PROGRAM, ID_PROGRAM_TITLE, "Edit"},
    {TEMPLATE_PROGRAM, ID_PROGRAM_FILE, "Edit"},
    {TEMPLATE_PROGRAM, ID_BROWSE, "Button", "参照"},
    {TEMPLATE_PROGRAM, ID_PROGRAM_PARAMETER, "Edit"},
    {TEMPLATE_PROGRAM, ID_PROGRAM_CONFIRM, "Button", "実行前に確認 "},
    {TEMPLATE_PROGRAM, ID_HELP_BUTTON, "Button", "Help"},
    {TEMPLATE_PROGRAM, ID_DELETE, "Button", "削除"},
    {TEMPLATE_PROGRAM, IDOK, "Button", nullptr, BS_DEFPUSHBUTTON},
    {TEMPLATE_PROGRAM, IDCANCEL, "Button"},
    {TEMPLATE_PROGRAM_EXT, ID_PROGRAM_TITLE, "Edit", nullptr, ES_LOWERCASE},
    {TEMPLATE_PROGRAM_EXT, ID_PROGRAM_SHIFT_ONLY, "Button", "SHIFT時のみ  "},
    {TEMPLATE_PROGRAM_EXT, ID_PROGRAM_FILE, "Edit"},
    {TEMPLATE_PROGRAM_EXT, ID_BROWSE, "Button"},
    {TEMPLATE_PROGRAM_EXT, ID_PROGRAM_PARAMETER, "Edit"},
    {TEMPLATE_PROGRAM_EXT, ID_PROGRAM_CONFIRM, "Button"},
    {TEMPLATE_PROGRAM_EXT, ID_HELP_BUTTON, "Button"},
    {TEMPLATE_PROGRAM_EXT, ID_DELETE, "Button"},
    {TEMPLATE_PROGRAM_EXT, IDOK, "Button"},
    {TEMPLATE_PROGRAM_EXT, IDCANCEL, "Button"},
    {TEMPLATE_EXEC_CONFIRM, ID_EXEC_PARAMETER, "Edit"},
    {TEMPLATE_EXEC_CONFIRM, IDOK, "Button", nullptr, BS_DEFPUSHBUTTON},
    {TEMPLATE_EXEC_CONFIRM, IDCANCEL, "Button"},
    {TEMPLATE_EXEC_RESULT, ID_CLOSE, "Button", "閉じる", BS_DEFPUSHBUTTON},
    {TEMPLATE_EXEC_RESULT, ID_TEXT, "Edit", nullptr, log_style},
};

// The up-down controls the dialogs attach to their number edits when they open.
struct updown_case {
    const char* name;
    int buddy, id, upper, lower, position;
};

const updown_case updowns[] = {
    {TEMPLATE_TIMESTAMP, ID_TIME_YEAR, ID_TIME_YEAR_UPDOWN, 2099, 1980, 2010},
    {TEMPLATE_OPTION, ID_OPT_RED, ID_OPT_RED_UPDOWN, 255, 0, 0},
    {TEMPLATE_OPTION, ID_OPT_GREEN, ID_OPT_GREEN_UPDOWN, 255, 0, 0},
    {TEMPLATE_OPTION, ID_OPT_BLUE, ID_OPT_BLUE_UPDOWN, 255, 0, 64},
    {TEMPLATE_DRIVE_FTP, ID_FTP_PORT, ID_FTP_PORT_UPDOWN, 32767, 0, 21},
};

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
            std::string caption = gui::text_of(child);
            caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
            EXPECT_LE(gui::text_width(child, caption), room)
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
        for (const auto& c : controls) {
            if (std::string(c.name) != t.name)
                continue;
            HWND control = GetDlgItem(window, c.id);
            ASSERT_NE(control, nullptr) << c.id;
            EXPECT_EQ(lstrcmpiA(gui::class_of(control).c_str(), c.class_name), 0)
                << c.id << " " << gui::class_of(control);
            if (c.text) {
                EXPECT_EQ(gui::text_of(control), gui::acp(c.text)) << c.id;
            }
            auto style = static_cast<LONG>(GetWindowLongPtrA(control, GWL_STYLE));
            EXPECT_EQ(style & c.style, c.style) << c.id;
        }
        if (t.width) {
            RECT expected{0, 0, t.width, t.height}, client{};
            MapDialogRect(window, &expected);
            GetClientRect(window, &client);
            EXPECT_EQ(client.right, expected.right);
            EXPECT_EQ(client.bottom, expected.bottom);
        }
        if (t.name == std::string(TEMPLATE_FILE_RW)) {
            EXPECT_TRUE(
                gui::contains_text(gui::static_texts(window), gui::acp("ファイルの読み書きをしています.")));
        }
        expect_nothing_clipped(window, t.name);
        EXPECT_TRUE(gui::save_png(window, gui::artifact_path(std::string(t.name) + ".png")));
        DestroyWindow(window);
        gui::pump(0);
        EXPECT_EQ(probe.destroys, 1);
        EXPECT_EQ(probe.handle(), nullptr);
    }
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
