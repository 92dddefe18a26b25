// Parameter templates: every macro against one- and two-pane facts, list files, names asked, length.
#include "programs/command_template.h"

#include <gtest/gtest.h>

namespace {

// "a.txt" as its name and extension columns; ".." as it is.
template_entry entry(const std::string& s)
{
    std::size_t dot = s.rfind('.');
    if (s == ".." || dot == std::string::npos || dot == 0)
        return {s, ""};
    return {s.substr(0, dot), s.substr(dot + 1)};
}

// A pane's path, marked names and cursor name ("" for an empty pane).
template_pane pane(const char* path, const std::vector<std::string>& marked, const char* cursor)
{
    template_pane p{path, {}, {}};
    for (const auto& m : marked)
        p.marked.push_back(entry(m));
    if (*cursor)
        p.cursor = entry(cursor);
    return p;
}

struct row {
    std::string text;
    bool two_panes;
    template_pane source;
    template_pane target;
    const char* opened; // "" for a manual program
    std::vector<std::string> names;
    template_status status;
    std::string expanded;
    const char* lists; // kv_rsp1.tmp's lines, then kv_rsp2.tmp's
};

constexpr auto ok = template_status::expanded;
constexpr auto ask = template_status::ask_name;
constexpr auto refused = template_status::too_long;

} // namespace

TEST(CommandTemplate, Expansion)
{
    const auto src = pane("C:/d/", {}, "a.txt");
    const auto two = pane("C:/d/", {"a.txt", "b"}, "b");
    const auto one = pane("C:/d/", {"m.c"}, "a.txt");
    const auto up = pane("D:/t/", {}, "..");
    const auto ftp = pane("ftp://host/pub/", {}, "r.txt");
    const auto share = pane("//s/sh/", {}, "a");
    const char* full = "\"C:/d/a.txt\"\r\n\"C:/d/b\"\r\n";
    const std::string x251(251, 'x');
    const row rows[] = {
        // Directory forms: a drive root and a share root keep their separator.
        {"?D1?\\?f1", false, pane("C:/", {}, "a.txt"), {}, "", {}, ok, "C:/\\a.txt", ""},
        {"?D1?\\?f1", false, src, {}, "", {}, ok, "C:/d\\a.txt", ""},
        {"[?D1][?D2]", true, share, pane("//s/sh/x/", {}, "a"), "", {}, ok, "[//s/sh/][//s/sh/x]", ""},
        // ?\ after a blank or a backslash goes, elsewhere (also first, or after a trail byte 0x5C) stays.
        {"x ?\\y a\\?\\b", false, src, {}, "", {}, ok, "x y a\\b", ""},
        {"?\\y\x95\x5C?\\", false, src, {}, "", {}, ok, "\\y\x95\x5C\\", ""},
        // Several marks: both macros name one list, written by the first (full paths here).
        {"?F1 ?f1", false, two, {}, "", {}, ok, "@T/kv_rsp1.tmp @T/kv_rsp1.tmp", full},
        {"?n1 ?F1", false, two, {}, "", {}, ok, "@T/kv_rsp1.tmp @T/kv_rsp1.tmp", "\"a.txt\"\r\n\"b\"\r\n"},
        {"?F2 ?f2", true, src, two, "", {}, ok, "@T/kv_rsp2.tmp @T/kv_rsp2.tmp", full},
        // One mark wins over the cursor; an opened file wins over every mark.
        {"?F1 ?f1 ?n1", false, one, {}, "", {}, ok, "C:/d/m.c m.c m", ""},
        {"?F1 ?n1 ?F2", true, two, two, "o.lzh", {}, ok, "C:/d/o.lzh o @T/kv_rsp2.tmp", full},
        {"<?F1?f1?n1>", false, pane("C:/d/", {}, ""), {}, "", {}, ok, "<>", ""},
        // A target on FTP: ?D2, ?F2 and ?f2 (and ?Dx) vanish; one pane: ?D2 is the source.
        {"a?D2b?F2c?f2d?Dxe", true, src, ftp, "", {}, ok, "abcde", ""},
        {"?D2 ?Dx", false, src, ftp, "", {}, ok, "C:/d C:/d", ""},
        // Forms no row names stay, and the scan goes on after the "?".
        {"?n2 ?f3 ?x ?? ?D1?", false, src, {}, "", {}, ok, "?n2 ?f3 ?x ?? C:/d?", ""},
        // Names: asked in scan order, one per asking macro; ".." asks in its place.
        {"?f0", false, src, {}, "", {}, ask, "", ""},
        {"?f0|?F2|?f2", false, src, up, "", {"n", "m", "k"}, ok, "n|C:/d\\m|k", ""},
        {"?F2 ?f2", true, src, up, "", {"z.zip"}, ask, "", ""},
        {"\"?D2?\\?f2\" ?F2", true, src, up, "", {"z.zip", "y"}, ok, "\"D:/t\\z.zip\" D:/t/y", ""},
        // Longer than 255 bytes: refused with nothing to write, before any name is asked.
        {x251 + "?D1", false, src, {}, "", {}, ok, x251 + "C:/d", ""}, // 255 bytes
        {x251 + "?D1?F1 ?f0", true, two, {}, "", {}, refused, "", ""},
    };
    for (const auto& r : rows) {
        template_inputs in{r.text, r.source, r.target, r.two_panes, {}, "T/", r.names};
        if (*r.opened)
            in.opened = entry(r.opened);
        template_result res = expand_template(in);
        EXPECT_EQ(res.status, r.status) << r.text;
        EXPECT_EQ(res.text, r.expanded) << r.text;
        EXPECT_EQ(res.list1 + res.list2, r.lists) << r.text;
    }
}

TEST(CommandTemplate, LibraryCalls)
{
    const struct {
        const char* program;
        const char* library; // "" when no library is called
        const char* function;
    } rows[] = {
        {"7-zip32.dll/SevenZip", "7-zip32.dll", "SevenZip"},
        {"C:/ARC/UNLHA32.DLL/Unlha", "C:/ARC/UNLHA32.DLL", "Unlha"},
        {"a.dll/x.dll/F", "a.dll", "x.dll/F"},
        {"C:/bin/x.dll", "", ""},
        {"C:/dll/tool.exe", "", ""},
        {"a.dl/F", "", ""},
    };
    for (const auto& r : rows) {
        std::optional<library_call> call = split_library_call(r.program);
        EXPECT_EQ(call ? call->library : "", r.library) << r.program;
        EXPECT_EQ(call ? call->function : "", r.function) << r.program;
    }
}
