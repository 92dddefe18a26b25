// The main window's rules: the commands pane facts enable, what each key and typed character does.
#include "app/command_rules.h"
#include "pane/key_map.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

namespace {

// One letter per command that is on, in the order of the rules.
std::string on(const command_states& s)
{
    const char letters[] = "CMDRATNW/.2HP";
    std::string out;
    for (std::size_t i = 0; i < command_rule_count; ++i)
        if (s[i])
            out += letters[i];
    return out;
}

enum : unsigned {
    dual = 1,
    src_ftp = 2,
    tgt_ftp = 4,
    same = 8,
    at_root = 16,
    no_row = 32,
    dir = 64,
    holds = 128
};

struct rule_case {
    const char* name;
    unsigned flags;
    std::size_t marked;
    const char* attributes;
    int programs;
    const char* expected;
};

struct key_case {
    const char* name;
    int key;
    unsigned modifiers;
    list_action action;
    int command; // posted, or the box entry of a digit
    bool consumed;
};

using a = list_action;
constexpr a post = a::command;

} // namespace

TEST(CommandRules, Table)
{
    const rule_case cases[] = {
        // One pane: copy is the copy under a new name, nothing can be moved.
        {"one pane, a file", 0, 0, "---a", 0, "CDRATN/."},
        {"read-only file: no time stamp", 0, 0, "--r-", 0, "CDRAN/."},
        {"hidden file", 0, 0, "-h--", 0, "AN/."},
        {"system file", 0, 0, "s---", 0, "AN/."},
        {"short attribute text is plain", 0, 0, "", 0, "CDRATN/."},
        {"one pane on a server", src_ftp, 0, "----", 0, "DR/."},
        {"two marks on a server: no rename", src_ftp, 2, "----", 0, "D/."},
        {"two marks in one pane", 0, 2, "----", 0, "DATN/."},
        // Two panes.
        {"same directory", dual | same, 0, "----", 0, "DRATN/.2"},
        {"target inside the directory", dual | dir | holds, 0, "----", 0, "DRANW/.2"},
        {"another directory: no time stamp", dual | dir, 0, "----", 0, "CMDRANW/.2"},
        {"holding the target needs a directory", dual | holds, 0, "----", 0, "CMDRATNW/.2"},
        {"two marks", dual, 2, "-h--", 0, "CMDATNW/.2"},
        {"two marks, same directory", dual | same, 3, "----", 0, "DATN/.2"},
        {"the row ..", dual | no_row, 0, "----", 0, "NW/.2"},
        {"drive root: no way up", dual | no_row | at_root, 0, "----", 0, "NW2"},
        {"from a server to a local pane", dual | src_ftp, 0, "----", 0, "CMDRW/.2"},
        {"between two servers", dual | src_ftp | tgt_ftp, 0, "----", 0, "DRW/.2"},
        {"two marks between two servers", dual | src_ftp | tgt_ftp, 2, "----", 0, "DW/.2"},
        // The program menu: definitions, and both panes local.
        {"programs, one pane", 0, 0, "----", 1, "CDRATN/.P"},
        {"programs, target on a server", dual | tgt_ftp, 0, "----", 3, "CMDRATNW/.2"},
        {"programs, source on a server", src_ftp, 0, "----", 3, "DR/."},
    };
    for (const rule_case& c : cases) {
        pane_facts f;
        f.dual = c.flags & dual;
        f.source_local = !(c.flags & src_ftp);
        f.target_local = f.dual && !(c.flags & tgt_ftp);
        f.paths_differ = f.dual && !(c.flags & same);
        f.source_below_root = !(c.flags & at_root);
        f.marked = c.marked;
        f.has_row = !(c.flags & no_row);
        f.row_attributes = c.attributes;
        f.row_is_dir = c.flags & dir;
        f.row_holds_target = c.flags & holds;
        f.manual_programs = c.programs;
        EXPECT_EQ(on(command_states_for(f)), c.expected) << c.name;
    }
    pane_facts hide;
    hide.hide_system_files = true;
    EXPECT_EQ(on(command_states_for(hide)), "H");
}

TEST(KeyMap, KeyDownTable)
{
    const std::array<char, 11> letters = {'D', 'P', 'F', 'K', 'N', 'A', 'C', 'W', 'M', 'S', 'E'};
    const key_case cases[] = {
        {"Page Up", vk::page_up, 0, a::page_up, 0, true},
        {"Shift+Page Up", vk::page_up, mod_shift, a::to_first, 0, true},
        {"Shift+Page Down", vk::page_down, mod_shift, a::to_last, 0, true},
        {"Space is the typed blank's", vk::space, 0, a::none, 0, true},
        {"Home with Ctrl", vk::home, mod_ctrl, a::to_first, 0, true},
        {"Up", vk::up, 0, a::up, 0, true},
        {"Ctrl+Shift+Up", vk::up, mod_ctrl | mod_shift, a::to_first, 0, true},
        {"Shift+Down", vk::down, mod_shift, a::page_down, 0, true},
        {"Left", vk::left, 0, a::switch_pane, 0, true},
        {"Shift+Left scrolls, passed on", vk::left, mod_shift, a::scroll_left, 0, false},
        {"Ctrl+Shift+Right passed on", vk::right, mod_ctrl | mod_shift, a::none, 0, false},
        {"Tab", vk::tab, mod_shift, a::switch_pane, 0, true},
        {"Delete never deletes", vk::del, 0, a::unmark_all, 0, true},
        {"Insert", vk::insert, 0, a::mark_all_files, 0, true},
        {"Backspace", vk::back, 0, post, 217, true},
        {"Enter", vk::enter, 0, post, 208, true},
        {"Shift+Esc", vk::escape, mod_shift, post, 215, true},
        {"Esc", vk::escape, 0, a::bring_editor_forward, 0, true},
        {"F1 goes to mark 1", vk::f1, 0, post, 230, true},
        {"Ctrl+F3 goes to mark 3", vk::f1 + 2, mod_ctrl, post, 232, true},
        {"Shift+F12 sets mark 12", vk::f12, mod_shift, post, 229, true},
        {"D", 'D', 0, a::select_drive, 0, true},
        {"P", 'P', 0, a::edit_wildcard, 0, true},
        {"F", 'F', 0, post, 247, true},
        {"Shift+K jumps as a typed letter", 'K', mod_shift, a::none, 0, false},
        {"Ctrl+K", 'K', mod_ctrl, a::none, 0, false},
        {"a letter of no command", 'Q', 0, a::none, 0, false},
        {"a lower-case code is no letter", 'k', 0, a::none, 0, false},
        {"F13", vk::f12 + 1, 0, a::none, 0, false},
    };
    for (const key_case& c : cases) {
        key_result r = key_down_action(c.key, c.modifiers, letters);
        EXPECT_EQ(r.action, c.action) << c.name;
        EXPECT_EQ(r.command, c.command) << c.name;
        EXPECT_EQ(r.consumed, c.consumed) << c.name;
    }
    // The same letter twice: the earlier command wins.
    const std::array<char, 11> twice = {'D', 'P', 'F', 'D', 'N', 'A', 'C', 'W', 'M', 'S', 'E'};
    EXPECT_EQ(key_down_action('D', 0, twice).action, a::select_drive);
}

TEST(KeyMap, TypedCharacterTable)
{
    const key_case cases[] = {
        {"blank", ' ', 0, a::toggle_mark, 0, true},
        {"-", '-', 0, a::unmark_all, 0, true},
        {"*", '*', 0, a::all_files_wildcard, 0, true},
        {"backslash", '\\', 0, post, 216, true},
        {":", ':', 0, a::select_drive, 0, true},
        {"1 is the first entry", '1', 0, a::choose_entry, 0, true},
        {"9", '9', 0, a::choose_entry, 8, true},
        {"0 is no entry", '0', 0, a::none, 0, false},
        {"Shift+K", 'K', mod_shift, a::jump_to_letter, 0, true},
        {"Shift+k", 'k', mod_shift, a::jump_to_letter, 0, true},
        {"K without Shift", 'K', 0, a::none, 0, false},
        {"a lead byte of code page 932", 0x83, mod_shift, a::none, 0, false},
    };
    for (const key_case& c : cases) {
        key_result r = char_typed_action(c.key, c.modifiers);
        EXPECT_EQ(r.action, c.action) << c.name;
        EXPECT_EQ(r.action == a::choose_entry ? r.index : r.command, c.command) << c.name;
    }
}

TEST(KeyMap, CursorSteps)
{
    // 41 rows, 10 on a page; the list clamps the target.
    const struct {
        a move;
        int cursor;
        std::optional<int> step;
    } cases[] = {
        {a::page_down, 0, 9}, {a::page_down, 40, {}},  {a::to_last, 3, 40}, {a::to_last, 40, {}},
        {a::page_up, 40, -9}, {a::page_up, 0, {}},     {a::page_up, 1, -9}, {a::to_first, 20, -40},
        {a::up, 5, -1},       {a::up, 0, {}},          {a::down, 5, 1},     {a::down, 40, {}},
        {a::down, -1, 1},     {a::switch_pane, 5, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cursor_step(c.move, 41, c.cursor, 10), c.step)
            << static_cast<int>(c.move) << " " << c.cursor;
    EXPECT_EQ(cursor_step(a::down, 1, 0, 10), std::nullopt); // ".." alone
    EXPECT_EQ(cursor_step(a::page_down, 41, 0, 0), 0);       // no page visible: a page is one row
}
