// The menus built from the program definitions.
#include "programs/program_menus_win.h"

#include "resource.h"

#include <string>
#include <vector>

void rebuild_program_menus(program_file which, HMENU settings_submenu, HMENU run_menu)
{
    if (!settings_submenu)
        return;
    while (GetMenuItemCount(settings_submenu) > 1)
        DeleteMenu(settings_submenu, 1, MF_BYPOSITION);
    if (run_menu)
        while (GetMenuItemCount(run_menu) > 0)
            DeleteMenu(run_menu, 0, MF_BYPOSITION);
    int edit_first =
        which == program_file::manual ? IDM_EDIT_MANUAL_PROGRAM_FIRST : IDM_EDIT_EXTENSION_PROGRAM_FIRST;
    std::vector<std::string> titles = program_titles(program_file_path(which));
    for (std::size_t i = 0; i < titles.size(); ++i) {
        if (i == 0)
            AppendMenuA(settings_submenu, MF_SEPARATOR, 0, nullptr);
        auto k = static_cast<UINT_PTR>(i);
        AppendMenuA(settings_submenu, MF_STRING, edit_first + k, titles[i].c_str());
        if (run_menu)
            AppendMenuA(run_menu, MF_STRING, IDM_RUN_PROGRAM_FIRST + k, titles[i].c_str());
    }
}
