// The Win32 side of the layout: the texts of the mark menus.
#include "settings/layout_win.h"

#include "settings/layout.h"

void update_mark_menu_text(HMENU menu, std::size_t i, const std::string& path)
{
    std::string text = mark_menu_text(i, path);
    UINT id = static_cast<UINT>(i);
    ModifyMenuA(menu, first_set_mark_command + id, MF_BYCOMMAND | MF_STRING, first_set_mark_command + id,
                text.c_str());
    ModifyMenuA(menu, first_go_to_mark_command + id, MF_BYCOMMAND | MF_STRING, first_go_to_mark_command + id,
                text.c_str());
}
