// The linked resources as read on code page 932: string texts, the menu bar with every command.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "resource.h"

namespace {

// The text of a string id, or "?" like the program's own lookup when the id has none.
std::string load(unsigned id)
{
    char buffer[512];
    int n = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string("?");
}

struct string_case {
    unsigned id;
    const char* text; // Shift_JIS bytes
};

TEST(resources, string_texts_are_exact_shift_jis)
{
    ASSERT_EQ(GetACP(), 932u) << "the texts are compared as code page 932 bytes";
    const string_case cases[] = {
        // Blanks at either end stay: the information line and the columns are laid out by them.
        {IDS_LABEL_ENTRIES, "\x91\xB6\x8D\xDD    "},
        {IDS_DEFAULT_FONT_NAME, "\x82l\x82r \x83S\x83V\x83"
                                "b\x83N"},
        // A double quote, a backslash and the wave dash 0x81 0x60 survive the resource compiler.
        {IDS_LOCAL_NAME_RULE,
         "(1) \x8E\x9F\x82\xCC\x95\xB6\x8E\x9A\x82\xCD\x8Eg\x97p\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1.\n"
         "    \"*/:<>?\\|\n\n"
         "(2) \x8E\x9F\x82\xCC\x96\xBC\x91O\x82\xCD\x8Eg\x97p\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1.\n"
         "    . .. nul con aux prn com1\x81`com4 lpt1\x81`lpt9 clock$ config$"},
        {IDS_FILE_COLUMN_ROWS + 2, "       \x83T\x83"
                                   "C\x83Y"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(load(c.id), c.text) << "string " << c.id;
}

TEST(resources, every_id_has_a_text_and_messages_fit_their_buffer)
{
    // Ids 18 and 31 are unused; the last row of the last list is 102.
    for (unsigned id = IDS_PRODUCT; id <= IDS_COLOR_ROWS + 8; ++id) {
        std::string text = load(id);
        EXPECT_TRUE(text != "?" || id == 18 || id == 31) << "string " << id << " has no text";
        // Message boxes load their text into 256 bytes and captions into 128: nothing may be cut.
        EXPECT_LT(text.size(), id <= IDS_FTP_RESULT_LAST ? 256u : 128u) << "string " << id;
    }
}

void collect_ids(HMENU menu, std::set<unsigned>& ids)
{
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        if (HMENU sub = GetSubMenu(menu, i))
            collect_ids(sub, ids);
        else if (UINT id = GetMenuItemID(menu, i); id != 0 && id != static_cast<UINT>(-1))
            ids.insert(id);
    }
}

TEST(resources, the_menu_bar_its_submenus_by_position_and_every_command)
{
    HMENU bar = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(MENU_MAIN));
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 6);
    // The View caption's first character ends in the byte 0x5C: it survives as a trail byte.
    char view[32] = {};
    GetMenuStringA(bar, MENU_POS_VIEW, view, sizeof view, MF_BYPOSITION);
    EXPECT_STREQ(view, "\x95\x5C\x8E\xA6(&V)");
    // Submenus the main window takes by position, with the first command each holds.
    struct place {
        int top, position;
        UINT first_command;
    };
    const place places[] = {
        {MENU_POS_VIEW, MENU_POS_VIEW_SORT, IDM_SORT_NAME},
        {MENU_POS_VIEW, MENU_POS_VIEW_SET_MARK, IDM_SET_MARK_FIRST},
        {MENU_POS_VIEW, MENU_POS_VIEW_GO_TO_MARK, IDM_GO_TO_MARK_FIRST},
        {MENU_POS_SETTINGS, MENU_POS_SETTINGS_EXTENSION_PROGRAMS, IDM_NEW_EXTENSION_PROGRAM},
        {MENU_POS_SETTINGS, MENU_POS_SETTINGS_MANUAL_PROGRAMS, IDM_NEW_MANUAL_PROGRAM},
        {MENU_POS_SETTINGS, MENU_POS_SETTINGS_FTP_SERVERS, IDM_NEW_FTP_SERVER},
    };
    for (const auto& p : places) {
        HMENU sub = GetSubMenu(GetSubMenu(bar, p.top), p.position);
        ASSERT_NE(sub, nullptr) << p.top << "/" << p.position;
        EXPECT_EQ(GetMenuItemID(sub, 0), p.first_command);
    }
    // The program run menu holds only its placeholder separator until programs are read.
    HMENU programs = GetSubMenu(bar, MENU_POS_PROGRAMS);
    ASSERT_EQ(GetMenuItemCount(programs), 1);
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoA(programs, 0, TRUE, &info));
    EXPECT_TRUE(info.fType & MFT_SEPARATOR);

    // Every command of the command table has an item; posted commands have none.
    std::set<unsigned> ids;
    collect_ids(bar, ids);
    std::vector<unsigned> expected = {IDM_CLOSE,
                                      IDM_OPTION,
                                      IDM_MANUAL_HTML,
                                      IDM_VERSION,
                                      IDM_NEW_EXTENSION_PROGRAM,
                                      IDM_NEW_MANUAL_PROGRAM,
                                      IDM_NEW_FTP_SERVER};
    for (unsigned id = IDM_COPY; id <= IDM_TIMESTAMP; ++id)
        expected.push_back(id);
    for (unsigned id = IDM_MAKE_DIRECTORY; id <= IDM_GO_TO_MARK_LAST; ++id)
        expected.push_back(id);
    for (unsigned id = IDM_SORT_FIRST; id <= IDM_SORT_LAST; ++id)
        expected.push_back(id);
    for (unsigned id : expected)
        EXPECT_TRUE(ids.count(id)) << "command " << id << " is not in the menu bar";
    for (unsigned id : {IDM_CHOOSE_ENTRY, IDM_OPEN, IDM_ROW_MENU, IDM_SORT_MENU, IDM_DIRECTORY_CHANGED})
        EXPECT_FALSE(ids.count(id)) << "command " << id;
    DestroyMenu(bar);
}

// kelvasto.exe carries the build's version: in its version resource (numbers and text) and its version box.
TEST(resources, the_program_carries_the_version_of_the_build)
{
    const std::string exe = std::string("Z:") + KV_EXE_PATH; // Wine's Z: drive is the Unix root
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u) << exe;
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
                  LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                  LOWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(numbers, std::string(KV_VERSION) + ".0");
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    for (const char* key : {"FileVersion", "ProductVersion"}) {
        char* text = nullptr;
        std::string query = std::string("\\StringFileInfo\\041103A4\\") + key;
        ASSERT_TRUE(VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&text), &length))
            << key;
        EXPECT_EQ(std::string(text), std::string(KV_VERSION) + ".0") << key;
    }
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    char line[256] = {};
    LoadStringA(module, IDS_VERSION_TEXT, line, sizeof line);
    FreeLibrary(module);
    EXPECT_EQ(std::string(line), std::string("Kelvasto\nVersion ") + KV_VERSION);
}

} // namespace
