// Parameter templates: every macro against one- and two-pane facts, list files, names asked, length.
#include "programs/command_template.h"

#include <gtest/gtest.h>

namespace {

// "a.txt" as its name and extension columns; ".." and "dir/" (a directory) as they are.
template_entry entry(std::string s)
{
    template_entry e;
    e.is_directory = !s.empty() && s.back() == '/';
    if (e.is_directory)
        s.pop_back();
    std::size_t dot = s.rfind('.');
    if (s != ".." && dot != std::string::npos && dot != 0) {
        e.ext = s.substr(dot + 1);
        s.resize(dot);
    }
    e.name = s;
    return e;
}

// Marked names, then the cursor name after "|" ("" = an empty pane).
template_pane pane(const char* path, std::vector<std::string> marked, const char* cursor)
{
    template_pane p{path, {}, {}};
    for (auto& m : marked)
        p.marked.push_back(entry(m));
    if (*cursor)
        p.cursor = entry(cursor);
    return p;
}

struct row {
    const char* text;
    bool two_panes;
    template_pane source;
    template_pane target;
    const char* opened; // "" for a manual program
    std::vector<std::string> names;
    template_status status;
    const char* expanded;
    const char* list1;
    const char* list2;
};

constexpr auto ok = template_status::expanded;
constexpr auto ask = template_status::ask_name;
constexpr auto refused = template_status::too_long;

} // namespace

TEST(CommandTemplate, Expansion)
{
    const auto src = pane("C:/d/", {}, "a.txt");
    const auto two = pane("C:/d/", {"a.txt", "b"}, "b");
    const auto tgt = pane("D:/t/", {}, "z.zip");
    const auto ftp = pane("ftp://host/pub/", {}, "r.txt");
    const row rows[] = {
        // Directory forms: a drive root and a share root keep their separator.
        {"?D1?\\?f1", false, pane("C:/", {}, "a.txt"), {}, "", {}, ok, "C:/\\a.txt", "", ""},
        {"?D1?\\?f1", false, src, {}, "", {}, ok, "C:/d\\a.txt", "", ""},
        {"[?D1][?D2]",
         true,
         pane("//s/sh/", {}, "a"),
         pane("//s/sh/x/", {}, "a"),
         "",
         {},
         ok,
         "[//s/sh/][//s/sh/x]",
         "",
         ""},
        // ?\ after a blank or a backslash goes, elsewhere (also first, or after a trail byte 0x5C) stays.
        {"x ?\\y a\\?\\b", false, src, {}, "", {}, ok, "x y a\\b", "", ""},
        {"?\\y\x95\x5C?\\", false, src, {}, "", {}, ok, "\\y\x95\x5C\\", "", ""},
        // Several marks: both macros name one list, written by the first (full paths here).
        {"?F1 ?f1",
         false,
         two,
         {},
         "",
         {},
         ok,
         "@T/kv_rsp1.tmp @T/kv_rsp1.tmp",
         "\"C:/d/a.txt\"\r\n\"C:/d/b\"\r\n",
         ""},
        {"?n1 ?F1",
         false,
         two,
         {},
         "",
         {},
         ok,
         "@T/kv_rsp1.tmp @T/kv_rsp1.tmp",
         "\"a.txt\"\r\n\"b\"\r\n",
         ""},
        {"?F2 ?f2",
         true,
         src,
         two,
         "",
         {},
         ok,
         "@T/kv_rsp2.tmp @T/kv_rsp2.tmp",
         "",
         "\"C:/d/a.txt\"\r\n\"C:/d/b\"\r\n"},
        // One mark wins over the cursor; an opened file wins over every mark.
        {"?F1 ?f1 ?n1", false, pane("C:/d/", {"m.c"}, "a.txt"), {}, "", {}, ok, "C:/d/m.c m.c m", "", ""},
        {"?F1 ?n1 ?F2",
         true,
         two,
         two,
         "o.lzh",
         {},
         ok,
         "C:/d/o.lzh o @T/kv_rsp2.tmp",
         "",
         "\"C:/d/a.txt\"\r\n\"C:/d/b\"\r\n"},
        {"<?F1?f1?n1>", false, pane("C:/d/", {}, ""), {}, "", {}, ok, "<>", "", ""},
        // A target on FTP: ?D2, ?F2 and ?f2 (and ?Dx) vanish; one pane: ?D2 is the source.
        {"a?D2b?F2c?f2d?Dxe", true, src, ftp, "", {}, ok, "abcde", "", ""},
        {"?D2 ?Dx", false, src, ftp, "", {}, ok, "C:/d C:/d", "", ""},
        // Forms no row names stay, and the scan goes on after the "?".
        {"?n2 ?f3 ?x ?? ?D1?", false, src, {}, "", {}, ok, "?n2 ?f3 ?x ?? C:/d?", "", ""},
        {"a?D", false, src, {}, "", {}, ok, "a?D", "", ""},
        // Names: asked in scan order, one per asking macro.
        {"?f0", false, src, {}, "", {}, ask, "", "", ""},
        {"?f0|?F2|?f2", false, src, tgt, "", {"n", "m", "k"}, ok, "n|C:/d\\m|k", "", ""},
        {"?F2 ?f2", true, src, pane("D:/t/", {}, ".."), "", {"z.zip"}, ask, "", "", ""},
        {"\"?D2?\\?f2\" ?F2",
         true,
         src,
         pane("D:/t/", {}, ".."),
         "",
         {"z.zip", "y"},
         ok,
         "\"D:/t\\z.zip\" D:/t/y",
         "",
         ""},

    };
    for (const auto& r : rows) {
        template_inputs in{r.text, r.source, r.target, r.two_panes, {}, "T/", r.names};
        if (*r.opened)
            in.opened = entry(r.opened);
        template_result res = expand_template(in);
        EXPECT_EQ(res.status, r.status) << r.text;
        EXPECT_EQ(res.text, r.expanded) << r.text;
        EXPECT_EQ(res.list1, r.list1) << r.text;
        EXPECT_EQ(res.list2, r.list2) << r.text;
    }
}

TEST(CommandTemplate, LongerThan255IsRefused)
{
    template_inputs in{std::string(249, 'x') + "?D1", pane("C:/dir/", {}, "a"), {}, false, {}, "T/", {}};
    EXPECT_EQ(expand_template(in).status, template_status::expanded); // 255 bytes
    in.text += "y";
    EXPECT_EQ(expand_template(in).status, template_status::too_long);
    EXPECT_EQ(expand_template(in).text, "");
    // Refused before a name is asked once the text already does not fit.
    in.text = std::string(256, 'x') + "?f0";
    EXPECT_EQ(expand_template(in).status, template_status::too_long);
}
