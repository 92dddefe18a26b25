// The window toolkit in real windows: the common controls (a row list without its end, sort with
// marks and cursor, the log edit, exact list box search; a combo item keeping its icon:
// main_window_test), dialogs opening their templates, their objects and windows going in either
// order and the boxes they own, and message routing where Windows decides (custom draw, display
// texts, codes shared by several classes, closing, typed characters).
#include "harness_win.h"

#include "dialogs.h"
#include "resource.h"
#include "toolkit/controls_win.h"
#include "toolkit/listview_win.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

// A row list without its "end" row stops at the first missing row instead of reading "?"
// rows for ever.
TEST(popup_menus, a_list_without_end_stops_at_the_missing_row)
{
    HMENU menu = make_popup(60000, 1, {});
    EXPECT_EQ(GetMenuItemCount(menu), 0);
    DestroyMenu(menu);
}

// The order itself is the row store's, tested natively; here the control's marks follow their
// rows, the cursor keeps its index and the row it had is scrolled into view.
TEST(listview_sort, marks_follow_their_rows_and_the_cursor_row_comes_into_view)
{
    gui::host_window f;
    listview_report list;
    ASSERT_TRUE(list.create(0, 0, 500, 160, 0, f.handle(), 707, nullptr, 88));
    // Sizes 35 down to 1, then 99: sorted by size the first 35 turn round, the last stays.
    for (int n = 0; n < 36; ++n)
        list.add_row({"f" + std::to_string(n), "", std::to_string(n < 35 ? 35 - n : 99), "", ""}, -1);
    list.mark(0);
    list.mark(3);
    list.set_cursor(35);
    gui::pump(0);
    list.sort(2, true, 0, "..", 2, '<');
    for (int i = 0; i < list.row_count(); ++i) {
        std::string name = list.row_text(i, 0);
        EXPECT_EQ(list.is_marked(i), name == "f0" || name == "f3") << name;
    }
    EXPECT_EQ(list.row_text(0, 0), "f34");
    EXPECT_EQ(list.cursor(), 35);
    int top = static_cast<int>(SendMessageA(list.handle(), LVM_GETTOPINDEX, 0, 0));
    EXPECT_GE(top + list.rows_per_page(), list.row_count());
}

// The trimming is a native table; here the control takes more than its default limit and the log
// ends in the last line appended, a whole line at its top.
TEST(edit_append, a_full_log_keeps_its_last_lines)
{
    gui::host_window f;
    edit log;
    ASSERT_TRUE(log.create(0, 0, 400, 200, ES_MULTILINE | ES_READONLY | WS_VSCROLL, f.handle(), 749));
    std::string line = "00000 " + std::string(150, 'x') + " \x95\x5C\r\n";
    for (int n = 0; n < 300; ++n) {
        std::snprintf(line.data(), 6, "%05d", n);
        line[5] = ' ';
        log.append(line.c_str());
    }
    std::string text = log.get_text(edit::log_limit);
    ASSERT_GT(text.size(), 40000u);
    EXPECT_LT(text.size() + 1, static_cast<std::size_t>(edit::log_limit));
    EXPECT_EQ(text.substr(text.size() - line.size()), line);
    EXPECT_EQ(text.size() % line.size(), 0u);
}

TEST(listbox_items, find_compares_the_whole_text_exactly)
{
    gui::host_window f;
    CreateWindowExA(0, "LISTBOX", "", WS_CHILD | LBS_SORT, 0, 0, 100, 100, f.handle(),
                    reinterpret_cast<HMENU>(743), nullptr, nullptr);
    listbox box;
    ASSERT_TRUE(box.bind(f.handle(), 743));
    box.add(".txt");
    box.add(".c");
    box.add(".TXT");
    EXPECT_EQ(box.find(".txt") >= 0 ? box.item_text(box.find(".txt")) : "", ".txt");
    EXPECT_EQ(box.find(".tx"), -1);
    EXPECT_NE(box.find(".TXT"), box.find(".txt"));
}

TEST(listview_rows, removing_a_row_shifts_the_marks_below)
{
    gui::host_window host;
    listview_report list;
    ASSERT_TRUE(list.create(0, 0, 400, 200, 0, host.handle(), 707, nullptr, 88));
    for (const char* name : {"a", "b", "c", "d"})
        list.add_row({name, "txt", "1", "", "----"}, 2);
    list.mark(1);
    list.mark(3);
    list.remove_row(0);
    ASSERT_EQ(list.row_count(), 3);
    EXPECT_EQ(list.row_text(0, 0), "b");
    EXPECT_TRUE(list.is_marked(0));
    EXPECT_FALSE(list.is_marked(1));
    EXPECT_TRUE(list.is_marked(2));
    list.clear_rows();
    EXPECT_EQ(list.row_count(), 0);
    EXPECT_EQ(SendMessageA(list.handle(), LVM_GETITEMCOUNT, 0, 0), 0);
}

// A dialog that binds nothing and counts its start and end.
class counting_dialog : public dialog {
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
        counting_dialog probe;
        ASSERT_EQ(probe.show(name, nullptr, true), 1);
        HWND window = probe.handle();
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
        auto probe = std::make_unique<counting_dialog>();
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
    counting_dialog probe;
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

std::vector<std::string> calls;

struct probe_list : listview_report {
    void on_click() override { calls.push_back("list click"); }
    void on_item_prepaint(NMLVCUSTOMDRAW*) override { calls.push_back("list item prepaint"); }
};

struct probe_static : static_ {
    void on_double_click() override { calls.push_back("static double click"); }
};

struct probe_listbox : listbox {
    void on_selection_changed() override { calls.push_back("listbox selection changed"); }
    void on_double_click() override { calls.push_back("listbox double click"); }
};

struct probe_combo : combo {
    void on_got_focus() override { calls.push_back("combo got focus"); }
    void on_lost_focus() override { calls.push_back("combo lost focus"); }
    void on_drop_down() override { calls.push_back("combo drop down"); }
    void on_close_up() override { calls.push_back("combo close up"); }
    void on_selection_changed() override { calls.push_back("combo selection changed"); }
};

struct probe_edit : edit {
    void on_got_focus() override { calls.push_back("edit got focus"); }
    void on_lost_focus() override { calls.push_back("edit lost focus"); }
    void on_text_changed() override { calls.push_back("edit text changed"); }
};

struct probe_dialog : dialog {
    void on_init() override {}
    void on_destroy() override {}
    void on_command(int id, HWND) override { calls.push_back("command " + std::to_string(id)); }
};

struct probe_window : window {
    void on_command(int id, HWND) override { calls.push_back("command " + std::to_string(id)); }
    void on_key_down(int key) override { calls.push_back("key down " + std::to_string(key)); }
    void on_close() override { calls.push_back("close"); }
    void on_destroy() override { calls.push_back("destroy"); }
};

constexpr int list_id = 800, static_id = 801, listbox_id = 802, combo_id = 803, edit_id = 804, plain_id = 805;

// A host (a dialog or the main window) with one control of each routed class.
struct host {
    HWND window = nullptr;
    probe_list list;
    probe_static label;
    probe_listbox box;
    probe_combo choice;
    probe_edit text;
    HWND plain_static = nullptr;
    HWND plain_edit = nullptr;

    void make_controls()
    {
        ASSERT_TRUE(list.create(0, 0, 200, 100, 0, window, list_id, nullptr, 88));
        ASSERT_TRUE(label.create(0, 110, 50, 20, false, window, static_id));
        CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_NOTIFY, 60, 110, 50, 40, window,
                        reinterpret_cast<HMENU>(listbox_id), nullptr, nullptr);
        ASSERT_TRUE(box.bind(window, listbox_id));
        ASSERT_TRUE(choice.create(120, 110, 60, 100, 0, window, combo_id));
        ASSERT_TRUE(text.create(0, 160, 100, 20, ES_AUTOHSCROLL, window, edit_id));
        plain_static = CreateWindowExA(0, "STATIC", "x", WS_CHILD | WS_VISIBLE, 110, 160, 20, 20, window,
                                       reinterpret_cast<HMENU>(plain_id), nullptr, nullptr);
        plain_edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 140, 160, 20, 20, window,
                                     reinterpret_cast<HMENU>(plain_id + 1), nullptr, nullptr);
        gui::pump(0);
        calls.clear();
    }
};

struct dialog_host : host {
    probe_dialog owner;
    dialog_host()
    {
        EXPECT_EQ(owner.show(TEMPLATE_NAME, nullptr, true), 1);
        window = owner.handle();
        make_controls();
    }
    ~dialog_host() { DestroyWindow(window); }
};

struct window_host : host {
    probe_window owner;
    window_host()
    {
        window::create_args args{
            .x = 0, .y = 0, .width = 400, .height = 300, .class_name = "kv_probe_window"};
        args.first_command_id = 202;
        EXPECT_TRUE(owner.create(args));
        window = owner.handle();
        make_controls();
    }
    ~window_host()
    {
        DestroyWindow(window);
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE); // posted by the main window's destruction
    }
};

// Every routing rule holds for the dialog procedure and the main window procedure alike.
template <typename host_type> class routing : public ::testing::Test {
};
using both_procedures = ::testing::Types<dialog_host, window_host>;
TYPED_TEST_SUITE(routing, both_procedures);

LRESULT notify(HWND host_window, HWND from, UINT code, NMHDR* header)
{
    header->hwndFrom = from;
    header->idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(from));
    header->code = code;
    return SendMessageA(host_window, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
}

TYPED_TEST(routing, custom_draw_display_texts_and_senders_without_an_object)
{
    TypeParam h;
    HWND list = h.list.handle();
    // Custom draw: the paint stage asks for every item, the item stage sets its colours.
    calls.clear();
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.dwDrawStage = CDDS_PREPAINT;
    EXPECT_EQ(notify(h.window, list, NM_CUSTOMDRAW, &draw.nmcd.hdr), CDRF_NOTIFYITEMDRAW);
    EXPECT_TRUE(calls.empty());
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    EXPECT_EQ(notify(h.window, list, NM_CUSTOMDRAW, &draw.nmcd.hdr), 0);
    EXPECT_EQ(calls, std::vector<std::string>{"list item prepaint"});
    // Texts come from the row store, bounded by the control's buffer.
    h.list.add_row({"name", "longer text"}, 7);
    char buffer[5] = {};
    NMLVDISPINFOA info{};
    info.item.mask = LVIF_TEXT | LVIF_IMAGE;
    info.item.iItem = 0;
    info.item.iSubItem = 1;
    info.item.pszText = buffer;
    info.item.cchTextMax = sizeof buffer;
    notify(h.window, list, LVN_GETDISPINFOA, &info.hdr);
    EXPECT_STREQ(buffer, "long");
    EXPECT_EQ(info.item.iImage, 7);
    // A sender without an object reaches nothing.
    calls.clear();
    NMHDR plain{};
    notify(h.window, h.plain_static, NM_CLICK, &plain);
    EXPECT_TRUE(calls.empty());
}

TYPED_TEST(routing, codes_shared_by_classes_reach_only_their_class)
{
    TypeParam h;
    struct row {
        int id;
        UINT code;
        const char* expected; // nullptr: reaches nothing
    };
    // The same code means another thing for another class; a control without an object and an
    // unlisted code go to the owner's on_command.
    const row rows[] = {
        {listbox_id, 0x300, nullptr},   {edit_id, 1, nullptr},        {static_id, 2, nullptr},
        {plain_id + 1, 0x300, nullptr}, {combo_id, 5, "command 803"}, {static_id, 0x400, "command 801"},
    };
    for (const row& r : rows) {
        calls.clear();
        SendMessageA(h.window, WM_COMMAND, MAKEWPARAM(r.id, r.code),
                     reinterpret_cast<LPARAM>(GetDlgItem(h.window, r.id)));
        if (r.expected)
            EXPECT_EQ(calls, std::vector<std::string>{r.expected}) << r.id << " " << r.code;
        else
            EXPECT_TRUE(calls.empty()) << r.id << " " << r.code;
    }
    // A real text change of an edit: the update notice (0x400, not in the table) reaches the
    // owner, the change itself only the edit.
    calls.clear();
    h.text.set_text("abc");
    gui::pump(0);
    EXPECT_EQ(calls, (std::vector<std::string>{"command 804", "edit text changed"}));
}

TEST(main_window, close_does_only_on_close_and_destroy_quits)
{
    auto h = std::make_unique<window_host>();
    calls.clear();
    SendMessageA(h->window, WM_CLOSE, 0, 0);
    EXPECT_EQ(calls, std::vector<std::string>{"close"});
    EXPECT_TRUE(IsWindow(h->window));
    calls.clear();
    DestroyWindow(h->window);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), "destroy");
    MSG quit{};
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
}

struct probe_typing_list : listview_report {
    void on_char_typed(int character) override { calls.push_back("char " + std::to_string(character)); }
    bool on_key_down(int key) override
    {
        calls.push_back("key " + std::to_string(key));
        return false; // a consumed key stops here: the main window test's arrows move the cursor once
    }
};

// The list's own procedure: typed characters (always swallowed) and keys.
TEST(listview_procedure, characters_and_keys)
{
    gui::host_window host;
    probe_typing_list list;
    ASSERT_TRUE(list.create(0, 0, 400, 200, 0, host.handle(), 707, nullptr, 88));
    list.add_row({"a"}, -1);
    list.add_row({"b"}, -1);
    list.set_cursor(0);
    SetFocus(list.handle());
    calls.clear();
    gui::type_text(list.handle(), "b");
    EXPECT_EQ(calls, std::vector<std::string>{"char 98"});
    EXPECT_EQ(list.cursor(), 0); // the control's own type-ahead never saw it
    calls.clear();
    gui::press_key(list.handle(), VK_DOWN);
    EXPECT_EQ(calls, std::vector<std::string>{"key " + std::to_string(VK_DOWN)});
    EXPECT_EQ(list.cursor(), 1); // a key not consumed goes on to the control
}

} // namespace
