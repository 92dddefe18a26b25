// The listing rules without a window: names, wildcard, sort order, lookup, sizes, texts, filter.
#include "pane/entry_text.h"
#include "pane/listing.h"
#include "pane/pane.h"
#include "pane/pane_choices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A row as the local reader builds it, from a file name and its texts.
FileEntry row(const std::string& file_name, const std::string& size,
              const std::string& time = "2010. 1. 5  9:05.07", const std::string& attr = "----")
{
    FileEntry e;
    bool is_dir = !size.empty() && size[0] == '<';
    auto parts = split_entry_name(file_name, is_dir);
    e.name = parts.name;
    e.type = parts.type;
    e.set_size_text(size);
    if (file_name != "..") {
        e.set_time_text(time);
        e.set_attr_text(attr);
    }
    return e;
}

listing make_listing(const std::vector<FileEntry>& rows)
{
    listing l;
    for (auto& r : rows)
        l.append(r);
    return l;
}

std::vector<std::string> names(const listing& l)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < l.size(); ++i)
        out.push_back(join_entry_name(l.row(i)));
    return out;
}

using names_t = std::vector<std::string>;

} // namespace

TEST(EntryNames, Split)
{
    struct {
        const char* file;
        bool dir;
        const char *name, *type, *joined;
    } cases[] = {
        {"a.tar.gz", false, "a.tar", "gz", "a.tar.gz"},
        {"a.", false, "a", "", "a"},
        {".profile", false, ".profile", "", ".profile"},
        {"Makefile", false, "Makefile", "", "Makefile"},
        {"src.d", true, "src.d", "", "src.d"},
        {".a.b", false, ".a", "b", ".a.b"},
        // A trail byte 0x5C ('表') is part of its character.
        {"\x95\x5C.txt", false, "\x95\x5C", "txt", "\x95\x5C.txt"},
    };
    for (auto& c : cases) {
        auto parts = split_entry_name(c.file, c.dir);
        EXPECT_EQ(parts.name, c.name) << c.file;
        EXPECT_EQ(parts.type, c.type) << c.file;
        EXPECT_EQ(join_entry_name(row(c.file, c.dir ? "<dir>" : "1")), c.joined) << c.file;
    }
    // Names are cut to 255 bytes before they are split.
    std::string long_name(300, 'x');
    long_name[260] = '.';
    auto parts = split_entry_name(long_name, false);
    EXPECT_EQ(parts.name.size(), 255u);
    EXPECT_EQ(parts.type, "");
}

TEST(Wildcard, Matches)
{
    struct {
        const char *name, *pattern;
        bool match;
    } cases[] = {
        {".profile", "*.*", true},
        {"Makefile", "*.*", true},
        {"A.TXT", "*.txt", true},
        {"Makefile", "*", true},
        {"main.c", "*", false},
        {"abc", "a*c", true},
        {"acbc", "a*c", false},
        {"a.cpp", "*.c", false},
        {"ab.c", "a?.c", true},
        {"a.c", "a?.c", false},
        {"x.tar.gz", "x.*", false},
        {"x.tar.gz", "x.tar.*", true},
        // The character after '*' is searched with its case; the other letters ignore it.
        {"BA", "*a", false},
        {"Abc", "a*", true},
        // Double-byte names: '?' takes a whole character, a trail byte is never a letter.
        {"\x83\x41.txt", "*A.txt", false},       // 0x41 is the trail byte of 'ア', not 'A'
        {"\x83\x41.txt", "\x83\x61.txt", false}, // double-byte characters compare exactly
        {"\x88\xEA\x97\x97\x95\x5C.txt", "*\x95\x5C.txt", true},
        {"\x83\x95\x41", "*\x95\x41", false}, // the bytes 95 41 straddle two characters
        {"\x93\xFA\x96\x7B\x8C\xEA.doc", "??\x8C\xEA.*", true},
    };
    for (auto& c : cases)
        EXPECT_EQ(match_wildcard(c.name, c.pattern), c.match) << c.name << " ~ " << c.pattern;
}

TEST(Sizes, Grouping)
{
    struct {
        std::uint64_t value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {999, "999"},
        {1000, "1,000"},
        {3000000000ull, "3,000,000,000"},
        {18446744073709551615ull, "18,446,744,073,709,551,615"},
    };
    for (auto& c : cases) {
        EXPECT_EQ(group_digits(c.value), c.text);
        EXPECT_EQ(parse_size_text(c.text), c.value);
    }
    for (const char* not_a_number : {"?", "<dir>", "", "1,2x"})
        EXPECT_EQ(parse_size_text(not_a_number), 0u) << not_a_number;
}

TEST(Sort, DotDotAndDirectoriesFirstInBothDirections)
{
    for (int column = 0; column < column_count; ++column)
        for (int ascending : {1, 0}) {
            listing l = make_listing({row("b.txt", "10"), row("zdir", "<dir>"), row("a.txt", "20"),
                                      row("..", "<dir>"), row("adir", "<dir>")});
            l.sort({column, ascending});
            auto n = names(l);
            EXPECT_EQ(n[0], "..") << column << ascending;
            EXPECT_TRUE(is_dir_entry(l.row(1)) && is_dir_entry(l.row(2))) << column << ascending;
            EXPECT_FALSE(is_dir_entry(l.row(3)) || is_dir_entry(l.row(4))) << column << ascending;
        }
}

TEST(Sort, Orders)
{
    // clang-format off
    struct {
        const char* what;
        SortState state;
        std::vector<FileEntry> rows;
        names_t expected;
    } cases[] = {
        {"type, ties by name", {column_type, 1}, {row("a.h", "1"), row("b.c", "1"), row("a.c", "1")}, {"a.c", "b.c", "a.h"}},
        {"type descending, ties still ascending", {column_type, 0}, {row("a.c", "1"), row("b.c", "1"), row("a.h", "1")}, {"a.h", "a.c", "b.c"}},
        {"name ignores ASCII case", {column_name, 1}, {row("b.txt", "1"), row("A.txt", "1"), row("c.txt", "1")}, {"A.txt", "b.txt", "c.txt"}},
        {"sizes by value", {column_size, 1}, {row("a", "1,000"), row("b", "999"), row("c", "12,345,678"), row("d", "0")}, {"d", "b", "a", "c"}},
        {"equal sizes by name, descending", {column_size, 0}, {row("b", "5"), row("a", "5"), row("c", "6")}, {"c", "a", "b"}},
        {"unknown sizes first", {column_size, 1}, {row("a", "1"), row("b", "?"), row("c", "0")}, {"b", "c", "a"}},
        {"unreadable times last", {column_time, 1}, {row("a", "1", std::string(unknown_local_time)), row("b", "1", "2010.12.31 23:59.59"), row("c", "1", "2010. 1. 5  9:05.07"), row("d", "1", "2009.12. 5 10:00.00")}, {"d", "c", "b", "a"}},
        {"attributes", {column_attributes, 1}, {row("a", "1", "", "sh--"), row("b", "1", "", "----"), row("c", "1", "", "--r-")}, {"b", "c", "a"}},
    };
    // clang-format on
    for (auto& c : cases) {
        listing l = make_listing(c.rows);
        l.sort(c.state);
        EXPECT_EQ(names(l), c.expected) << c.what;
    }
}

TEST(Sort, ChoosingColumns)
{
    SortState s{column_type, 1};
    struct {
        int column;
        SortState after;
    } steps[] = {{column_type, {column_type, 0}}, {column_type, {column_type, 1}},
                 {column_size, {column_size, 1}}, {-1, {column_size, 1}},
                 {column_size, {column_size, 0}}, {column_name, {column_name, 1}}};
    for (auto& step : steps) {
        update_sort_state(s, step.column);
        EXPECT_EQ(s.column, step.after.column);
        EXPECT_EQ(s.ascending, step.after.ascending);
    }
}

TEST(Listing, FindEntry)
{
    listing l = make_listing({row("..", "<dir>"), row("a.tar.gz", "1"), row("a.tar", "<dir>"),
                              row("A.TAR.gz", "1"), row("a.tar.bz2", "1"), row("Makefile", "1")});
    struct {
        bool dir;
        const char* name;
        int row;
    } cases[] = {
        {false, "a.tar.gz", 1},  {false, "A.TAR.gz", 3}, {true, "a.tar", 2},
        {false, "a.tar.bz2", 4}, {false, "a.tar", -1},   {false, "Makefile", 5},
        {false, "makefile", -1}, {true, "..", 0},        {false, "a.tar.GZ", -1},
    };
    for (auto& c : cases)
        EXPECT_EQ(l.find(c.dir, c.name), c.row) << c.name;
}

TEST(Listing, RemoveKeepsCursorLine)
{
    // Sorted first: the rows are shown in another order than they were read in.
    listing l = make_listing({row("c", "1"), row("d", "1"), row("a", "1"), row("b", "1")});
    l.sort({column_name, 1});
    l.remove(3);
    l.set_cursor(2);
    l.set_marked(2, true);
    l.remove(0);
    EXPECT_EQ(names(l), (names_t{"b", "c"}));
    EXPECT_EQ(l.cursor(), 1);
    EXPECT_TRUE(l.marked(1));
    l.remove(1);
    EXPECT_EQ(names(l), (names_t{"b"}));
    EXPECT_EQ(l.cursor(), 0);
    l.remove(0);
    EXPECT_EQ(l.cursor(), -1);
}

TEST(InfoLine, Totals)
{
    listing l = make_listing({row("..", "<dir>"), row("d", "<dir>"), row("a", "1"), row("b", "4,097"),
                              row("c", "0"), row("f", "?")});
    for (std::size_t i = 1; i < l.size(); ++i)
        l.set_marked(i, true);
    EXPECT_EQ(group_digits(marked_total(l, 4096)), "12,288");
    EXPECT_EQ(marked_total(l, 1), 4098u);
    for (std::size_t i = 2; i < l.size(); ++i)
        l.set_marked(i, false);
    EXPECT_EQ(marked_total(l, 4096), 0u); // only a directory marked
    // Rounding up never overflows near the top of the range.
    listing big = make_listing({row("x", group_digits(18446744073709551615ull))});
    big.set_marked(0, true);
    EXPECT_EQ(marked_total(big, 1), 18446744073709551615ull);
}

TEST(InfoLine, Text)
{
    const char* existing = "\x91\xB6\x8D\xDD    "; // "存在    "
    const char* free_label = "\x8B\xF3\x82\xAB ";  // "空き "
    // "%10d %s %22s %s(%s)"
    EXPECT_EQ(info_line_text(25, existing, "12,345,678,912", free_label, "NTFS"),
              std::string("        25 ") + existing + " " + std::string(8, ' ') + "12,345,678,912 " +
                  free_label + "(NTFS)");
    // An amount longer than its field is not cut.
    EXPECT_EQ(info_line_text(1234567890123ull, "A", "18,446,744,073,709,551,615", "B", "?"),
              "1234567890123 A 18,446,744,073,709,551,615 B(?)");
}

TEST(EntryTexts, Times)
{
    struct {
        time_fields t;
        const char* text;
    } cases[] = {
        {{2010, 1, 5, 9, 5, 7}, "2010. 1. 5  9:05.07"},
        {{2010, 12, 31, 23, 59, 59}, "2010.12.31 23:59.59"},
    };
    for (auto& c : cases) {
        EXPECT_EQ(format_time_text(c.t), c.text);
        auto back = parse_time_text(c.text);
        ASSERT_TRUE(back) << c.text;
        EXPECT_EQ(format_time_text(*back), c.text);
    }
    for (std::string_view bad :
         std::initializer_list<std::string_view>{unknown_local_time, unknown_ftp_time, "", "2010.1.5 9:05",
                                                 "2010-01-05 09:05:07", "99999999999.1.1 1:1.1"})
        EXPECT_FALSE(parse_time_text(bad)) << bad;
    // FTP times take the shape of local ones.
    EXPECT_EQ(ftp_time_text("20100105090507"), "2010. 1. 5  9:05.07");
    EXPECT_EQ(ftp_time_text("2010010509050"), unknown_ftp_time);
    EXPECT_EQ(ftp_time_text("2010o105090507"), unknown_ftp_time);
}

TEST(EntryTexts, Attributes)
{
    struct {
        std::uint32_t bits;
        const char* text;
    } cases[] = {{0x80, "----"}, {0x21, "--ra"}, {0x6, "sh--"}, {0x27, "shra"}, {0x10, "----"}};
    for (auto& c : cases)
        EXPECT_EQ(attr_text_from_bits(c.bits), c.text) << c.bits;
    struct {
        const char* text;
        std::uint32_t bits;
    } back[] = {{"----", 0x80}, {"shra", 0x27}, {"--r-", 0x1}, {"????", 0x80},
                {"hs--", 0x80}, {"s", 0x4},     {"", 0x80}};
    for (auto& c : back)
        EXPECT_EQ(attr_bits_from_text(c.text), c.bits) << c.text;
}

TEST(EntryTexts, FtpRows)
{
    // Unknown facts show as such; ".." has no time or attributes.
    FileEntry f = make_ftp_entry(false, "a.tar.gz", std::nullopt, std::nullopt, 7, 9);
    EXPECT_EQ(f.name + "|" + f.type + "|" + f.size_text() + f.time_text() + f.attr_text(),
              "a.tar|gz|?" + std::string(unknown_ftp_time) + "????");
    FileEntry up = make_ftp_entry(true, "..", std::nullopt, std::nullopt, 7, 9);
    EXPECT_EQ(up.size_text() + up.time_text() + up.attr_text(), "<dir>");
    EXPECT_EQ(std::make_pair(f.icon, up.icon), std::make_pair(9, 7)); // the file icon, the directory icon
    FileEntry sized = make_ftp_entry(false, "x", 3000000000ull, "20100105090507", 7, 9);
    EXPECT_EQ(sized.size_text(), "3,000,000,000");
    EXPECT_EQ(sized.time_text(), "2010. 1. 5  9:05.07");
}

// A row keeps size, time and attributes as facts where it can; a text given comes back unchanged, copied too.
TEST(EntryTexts, KeptExactly)
{
    const char* sizes[] = {"",       "<dir>",
                           "?",      "0",
                           "1,234",  "18,446,744,073,709,551,615",
                           "0999",   "1,00",
                           "<link>", "18,446,744,073,709,551,616"};
    const char* times[] = {"",
                           "2010. 1. 5  9:05.07",
                           "????. ?. ?  ?:??.??",
                           "????. ?. ? ??:??.??",
                           "0000. 0. 0  0:00.00",
                           "10000.12.31 23:59.59",
                           "2010.1.5 9:05.07",
                           "99999. 1. 1  0:00.00",
                           "2010.300. 1  0:00.00"};
    const char* attrs[] = {"", "----", "shra", "-h-a", "????", "s", "hs--", "-----"};
    for (std::size_t i = 0; i < 10; ++i) {
        FileEntry e;
        e.set_size_text(sizes[i]);
        e.set_time_text(times[i % 9]);
        e.set_attr_text(attrs[i % 8]);
        FileEntry copy = e;
        for (const FileEntry* r : {&e, &copy}) {
            EXPECT_EQ(r->size_text(), sizes[i]);
            EXPECT_EQ(r->time_text(), times[i % 9]);
            EXPECT_EQ(r->attr_text(), attrs[i % 8]);
            EXPECT_EQ(r->is_dir(), sizes[i][0] == '<') << sizes[i];
        }
    }
}

TEST(PanePaths, LocalFilter)
{
    struct {
        scan_facts entry;
        const char *path, *wildcard;
        bool hide, kept;
    } cases[] = {
        {{".", true}, "C:/a/", "*.*", true, false},
        {{"..", true}, "C:/a/", "*.*", true, true},
        {{"..", true}, "//s/share/", "*.*", true, false},
        {{"..", true}, "C:/", "*.*", true, false},
        {{"..", true, false, true}, "C:/h/a/", "*.*", true, true}, // the way out of a hidden directory
        {{"h", true, false, true}, "C:/a/", "*.*", true, false},
        {{"s.txt", false, true, false}, "C:/a/", "*.*", true, false},
        {{"s.txt", false, true, false}, "C:/a/", "*.*", false, true},
        {{"a.c"}, "C:/a/", "*.c", true, true},
        {{"a.cpp"}, "C:/a/", "*.c", true, false},
        {{".gitignore"}, "C:/a/", "*.c", true, true},
        {{"src", true}, "C:/a/", "*.c", true, true},
    };
    for (auto& c : cases)
        EXPECT_EQ(keep_local_entry(c.entry, c.path, c.wildcard, c.hide), c.kept)
            << c.entry.name << " in " << c.path << " with " << c.wildcard;
}

// Rows that compare equal (here: the same texts, told apart by their icons) end up where the comb
// sort puts them; long common beginnings, unknown and odd sizes take the slow comparison. Every
// other round no two rows are alike; in rounds 2, 6, 10 ... rows are alike but at most one is "..".
TEST(Sort, SameOrderAsSwappingRows)
{
    std::uint32_t seed = 12345;
    auto next = [&seed](std::uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    // clang-format off
    const char* names[] = {"a", "A", "b", "common_beginning_of_a_long_name_1", "common_beginning_of_a_long_name_2",
                           "Common_Beginning_Of_A_Long_Name_1", "x\x83\x5C", "..", "_", "["};
    // clang-format on
    const char* types[] = {"", "c", "C", "txt", "tar.gz", "averyveryverylongtype"};
    const char* sizes[] = {"0",    "1",   "999", "1,000", "4,097", "?", "<dir>", "12,345,678,901,234",
                           "0999", "1,00"};
    const char* times[] = {"2010. 1. 5  9:05.07", "2010. 1. 5  9:05.08", "2010.12.31 23:59.59",
                           "????. ?. ?  ?:??.??"};
    const char* attrs[] = {"----", "---a", "sh--", "????"};
    for (int round = 0; round < 40; ++round) {
        std::vector<FileEntry> rows;
        std::size_t n = 1 + next(300);
        for (std::size_t i = 0; i < n; ++i) {
            FileEntry e;
            e.name = names[next(10)];
            if (round % 2) // no two rows alike
                e.name += std::to_string(i);
            else if (round % 4 == 2 && e.name == "..") // alike rows, but one ".." at most
                e.name = i == 0 ? ".." : "A";
            e.type = types[next(6)];
            e.set_size_text(sizes[next(10)]);
            e.set_time_text(times[next(4)]);
            e.set_attr_text(attrs[next(4)]);
            e.icon = static_cast<int>(i);
            rows.push_back(e);
        }
        SortState state{static_cast<int>(next(5)), static_cast<int>(next(2))};
        listing l = make_listing(rows);
        l.set_cursor(static_cast<int>(next(static_cast<std::uint32_t>(n))));
        l.set_marked(static_cast<std::size_t>(l.cursor()), true);
        int cursor_icon = l.row(static_cast<std::size_t>(l.cursor())).icon;
        int followed = l.sort(state);
        // The comb sort swapping whole rows pass by pass: the order the listing's sort must end in.
        std::size_t gap = rows.size();
        bool swapped = false;
        while (swapped || gap > 1) {
            gap = gap * 10 / 13;
            gap = gap == 0 ? 1 : (gap == 9 || gap == 10) ? 11 : gap;
            swapped = false;
            for (std::size_t i = 0; i + gap < rows.size(); ++i) {
                int r = compare_entries(rows[i], rows[i + gap], state);
                if (state.ascending ? r > 0 : r < 0) {
                    std::swap(rows[i], rows[i + gap]);
                    swapped = true;
                }
            }
        }
        ASSERT_EQ(l.size(), rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            ASSERT_EQ(l.row(i).icon, rows[i].icon) << "round " << round << " row " << i;
        ASSERT_GE(followed, 0);
        EXPECT_EQ(l.row(static_cast<std::size_t>(followed)).icon, cursor_icon);
        EXPECT_TRUE(l.marked(static_cast<std::size_t>(followed)));
        EXPECT_EQ(l.marked_count(), 1u);
    }
}

// The row a one-entry command takes: the one marked row, else the cursor row; never "..".
TEST(PaneChoices, TargetRow)
{
    struct {
        int cursor;
        std::vector<int> marked;
        int target;
    } cases[] = {
        {2, {}, 2}, {2, {3}, 3}, {2, {1, 3}, 2}, {0, {}, -1}, {2, {0}, -1}, {-1, {}, -1},
    };
    for (const auto& c : cases) {
        Pane p;
        p.rows = make_listing({row("..", "<dir>"), row("a.txt", "1"), row("b.txt", "1"), row("c.txt", "1")});
        p.rows.set_cursor(c.cursor);
        for (int m : c.marked)
            p.rows.set_marked(static_cast<std::size_t>(m), true);
        EXPECT_EQ(target_row(p), c.target) << c.cursor << " " << c.marked.size();
    }
}

// Marked: newer files, files the other pane lacks; not: earlier marks, directories, under 2 s newer.
TEST(PaneChoices, MarkNewer)
{
    Pane mine, theirs;
    mine.rows = make_listing(
        {row("..", "<dir>"), row("sub", "<dir>", "2030. 1. 1  0:00.00"),
         row("three.txt", "1", "2010. 1. 5 10:00.03"), row("one.txt", "1", "2010. 1. 5 10:00.02"),
         row("only.txt", "1", "2000. 1. 1  0:00.00"), row("\x83\x5C.c", "1", "2010. 1. 5 10:00.04")});
    theirs.rows = make_listing(
        {row("sub", "<dir>", "2000. 1. 1  0:00.00"), row("three.txt", "1", "2010. 1. 5 10:00.01"),
         row("one.txt", "1", "2010. 1. 5 10:00.01"), row("\x83\x5C.c", "1", "2010. 1. 5 10:00.04")});
    for (std::size_t i = 0; i < mine.rows.size(); ++i)
        mine.rows.set_marked(i, true);
    mark_newer(mine, theirs);
    std::vector<bool> marks;
    for (std::size_t i = 0; i < mine.rows.size(); ++i)
        marks.push_back(mine.rows.marked(i));
    EXPECT_EQ(marks, (std::vector<bool>{false, false, true, false, true, false}));
}

// A mark leads to its directory and remembers where the pane was; on the mark, back there.
TEST(PaneChoices, FollowMark)
{
    struct {
        const char *path, *return_path, *mark, *destination, *return_after;
    } cases[] = {
        {"C:/a/", "C:/", "C:/b/", "C:/b/", "C:/a/"},
        {"C:/b/", "C:/a/", "C:/b/", "C:/a/", "C:/a/"},
        {"C:/b/", "", "C:/b/", "", ""},
        {"C:/B/", "C:/a/", "C:/b/", "C:/b/", "C:/B/"},
    };
    for (const auto& c : cases) {
        Pane p;
        p.path = c.path;
        p.return_path = c.return_path;
        mark_jump jump = follow_mark(p, c.mark);
        EXPECT_EQ(jump.destination, c.destination) << c.path << " " << c.mark;
        EXPECT_EQ(jump.return_path, c.return_after) << c.path << " " << c.mark;
    }
}

// Directory changes: up onto the directory left, not above the root or past 255 bytes; 0x5C no separator.
TEST(PaneChoices, StepDirectory)
{
    const std::string long_dir = "C:/" + std::string(249, 'L') + "/"; // 253 bytes
    struct {
        std::string path, argument;
        bool ok;
        std::string to, left;
    } cases[] = {
        {"C:/a/", "b", true, "C:/a/b/", ""},
        {"C:/a/b/", "..", true, "C:/a/", "b"},
        {"C:/a/\x83\x5C/", "..", true, "C:/a/", "\x83\x5C"},
        {"C:/\x83\x5C/", "\x83\x5C", true, "C:/\x83\x5C/\x83\x5C/", ""},
        {"C:/a/b/", "/", true, "C:/", ""},
        {"C:/", "..", false, "", ""},
        {"//srv/share/", "..", false, "", ""},
        {"//srv/share/d/", "..", true, "//srv/share/", "d"},
        {"ftp://host/pub/", "..", true, "ftp://host/", "pub"},
        {long_dir, "x", true, long_dir + "x/", ""}, // 255 bytes
        {long_dir, "xy", false, "", ""},
    };
    for (const auto& c : cases) {
        directory_step step = step_directory(c.path, c.argument);
        EXPECT_EQ(step.ok, c.ok) << c.path << " " << c.argument;
        if (c.ok) {
            EXPECT_EQ(step.path, c.to) << c.path << " " << c.argument;
            EXPECT_EQ(step.left, c.left) << c.path << " " << c.argument;
        }
    }
}
