// The controls' portable texts: the list view's row store and sort, icon combo items, log trimming.
#include "toolkit/control_texts.h"
#include "toolkit/row_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct text_case {
    const char *a, *b;
    int sign;
};

int sign(int v)
{
    return (v > 0) - (v < 0);
}

TEST(row_store_compare, ignores_ascii_case_only)
{
    const text_case cases[] = {
        {"abc", "ABC", 0},
        {"a", "B", -1},
        {"Zeta", "alpha", 1},
        {"ab", "abc", -1},
        // The trail byte 0x41 of "\x83\x41" (ア) is not folded: it stays below "\x83\x60" (チ).
        {"\x83\x41", "\x83\x60", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sign(compare_text_nocase(c.a, c.b)), c.sign) << c.a << " " << c.b;
}

TEST(row_store_compare, right_aligned_texts_compare_by_value)
{
    const text_case cases[] = {
        {"9", "10", -1},
        {"987", "1,234", -1},
        {"?", "10", -1}, // "?" sizes come before every size of two or more digits
        {"1,234", "1,234", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sign(compare_text_right_aligned(c.a, c.b)), c.sign) << c.a << " " << c.b;
}

// Rows of a file pane: name, type, size, time, attributes.
row_store pane_rows(const std::vector<std::vector<std::string>>& rows)
{
    row_store store;
    for (const auto& r : rows)
        store.add(r, -1);
    return store;
}

using names_t = std::vector<std::string>;

names_t names(const row_store& store)
{
    names_t out;
    for (std::size_t i = 0; i < store.size(); ++i)
        out.emplace_back(store.text(i, 0));
    return out;
}

// Sorts as the report list view does (the size column right-aligned); returns where `tracked` went.
int sort_rows(row_store& store, const sort_keys& keys, int tracked = -1)
{
    std::vector<bool> right{false, false, true, false, false};
    return comb_sort(
        store.size(), keys.ascending,
        [&](std::size_t a, std::size_t b) { return compare_rows_report(store, a, b, keys, right); },
        [&](std::size_t a, std::size_t b) { store.swap(a, b); }, tracked);
}

TEST(row_store_sort, dot_dot_first_then_directories_in_both_directions)
{
    for (bool ascending : {true, false}) {
        row_store store = pane_rows({{"b", "txt", "10", "", ""},
                                     {"zdir", "", "<DIR>", "", ""},
                                     {"..", "", "<DIR>", "", ""},
                                     {"a", "txt", "9", "", ""},
                                     {"adir", "", "<DIR>", "", ""}});
        sort_keys keys{2, ascending, 0, "..", 2, '<'};
        sort_rows(store, keys);
        EXPECT_EQ(names(store), (ascending ? names_t{"..", "adir", "zdir", "a", "b"}
                                           : names_t{"..", "adir", "zdir", "b", "a"}));
    }
}

TEST(row_store_sort, ties_are_broken_ascending_by_name_in_both_directions)
{
    for (bool ascending : {true, false}) {
        row_store store =
            pane_rows({{"c", "txt", "1", "", ""}, {"a", "txt", "1", "", ""}, {"b", "txt", "1", "", ""}});
        sort_rows(store, sort_keys{1, ascending, 0, "..", 2, '<'});
        EXPECT_EQ(names(store), (names_t{"a", "b", "c"}));
    }
}

// The list view scrolls to the row its cursor had (its marks following their rows: the GUI toolkit_test).
TEST(row_store_sort, the_cursor_row_is_tracked)
{
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 40; ++i)
        rows.push_back({"f" + std::to_string(100 - i), "", std::to_string(i), "", ""});
    row_store store = pane_rows(rows);
    int tracked = sort_rows(store, sort_keys{0, true, 0, "..", 2, '<'}, 5); // f95
    EXPECT_EQ(store.text(static_cast<std::size_t>(tracked), 0), "f95");
}

TEST(row_store, missing_positions_read_empty_and_finds_are_exact)
{
    row_store store = pane_rows({{"Abc"}, {"abc"}, {"b"}});
    EXPECT_EQ(store.text(9, 0), "");
    EXPECT_EQ(store.text(0, 4), "");
    EXPECT_EQ(store.image(9), -1);
    EXPECT_EQ(store.find(-1, "abc"), 1);
    EXPECT_EQ(store.find(1, "abc"), -1);
    EXPECT_EQ(store.find_prefix(-1, 'A'), 0);
    EXPECT_EQ(store.find_prefix(0, 'A'), 1);
    EXPECT_EQ(store.find_prefix(-1, 'x'), -1);
}

// An icon item is written ":icon:text"; a text that itself begins with ':' is written with ":-1:".
TEST(control_texts, icon_items)
{
    struct {
        const char* text;
        int icon;
        const char* stored;
    } cases[] = {
        {"C:", 3, ":3:C:"},       {"plain", -1, "plain"}, {":odd", -1, ":-1::odd"},
        {":7:x", -1, ":-1::7:x"}, {"", 0, ":0:"},
    };
    for (const auto& c : cases) {
        std::string text;
        EXPECT_EQ(split_icon_item(c.stored, &text), c.icon) << c.stored;
        EXPECT_EQ(text, c.text) << c.stored;
    }
    for (const char* odd : {":", "::x", ":x:y", ":3", ":99999999999:x"}) {
        std::string text;
        EXPECT_EQ(split_icon_item(odd, &text), -1) << odd;
        EXPECT_EQ(text, odd);
    }
}

// A full log drops whole lines from its top; a longer line keeps its tail, cut between characters.
TEST(control_texts, log_trimming)
{
    struct {
        std::string all;
        std::size_t limit, start;
    } cases[] = {
        {"ab\r\ncd\r\n", 10, 0},           {"ab\r\ncd\r\n", 8, 4},
        {"ab\r\ncd\r\nef", 7, 8},          {"abcdefgh", 6, 4},
        {"a\x83\x5C\x83\x5C", 5, 3}, // not inside ソ
        {"ab\r\n\x83\x5C\x83\x5Cx", 6, 6},
    };
    for (const auto& c : cases)
        EXPECT_EQ(log_trim_start(c.all, c.limit), c.start) << c.all << " " << c.limit;
}

} // namespace
