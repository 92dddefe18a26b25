// Pop-up menus from string rows, and the drawing helpers the controls share.
#include "toolkit/controls_win.h"

#include "toolkit/controls_shared_win.h"

#include "base/cp932.h"
#include "base/paths.h"
#include "toolkit/control_texts.h"
#include "toolkit/edit_rules.h"
#include "toolkit/module_win.h"
#include "toolkit/row_store.h"

#include <imm.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

HMENU make_popup(unsigned first_string, int first_command, const std::vector<HMENU>& submenus)
{
    HMENU menu = CreatePopupMenu();
    int command = first_command;
    std::size_t next_submenu = 0;
    std::string row;
    for (unsigned id = first_string; id < first_string + max_rows && load_row(id, row); ++id) {
        if (lstrcmpiA(row.c_str(), "end") == 0)
            break;
        if (lstrcmpiA(row.c_str(), "separator") == 0) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        } else if (row.size() >= 6 && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, row.c_str(), 6,
                                                     "popup ", 6) == CSTR_EQUAL) {
            if (next_submenu < submenus.size())
                AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenus[next_submenu++]),
                            row.c_str() + 6);
        } else {
            AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(command++), row.c_str());
        }
    }
    return menu;
}

void show_popup(HMENU menu, HWND owner, int x, int y)
{
    if (x == -1) {
        POINT point{};
        GetCursorPos(&point);
        x = point.x;
        y = point.y;
    }
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
}

void apply_colours(HDC dc, COLORREF text, COLORREF background)
{
    SetTextColor(dc, text);
    if (background == transparent_colour) {
        SetBkMode(dc, TRANSPARENT);
    } else {
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, background);
    }
}

void draw_icon(HDC dc, int x, int y, HIMAGELIST images, int index)
{
    ImageList_Draw(images, index, dc, x, y, ILD_NORMAL);
}

HICON load_icon(const char* name, bool large)
{
    int size_x = GetSystemMetrics(large ? SM_CXICON : SM_CXSMICON);
    int size_y = GetSystemMetrics(large ? SM_CYICON : SM_CYSMICON);
    return static_cast<HICON>(LoadImageA(module_instance(), name, IMAGE_ICON, size_x, size_y, 0));
}
