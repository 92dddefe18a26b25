// The Win32 side of the layout: the texts of the mark menus.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// Sets menu items 218 + i (set mark) and 230 + i (go to mark) to "%2d %s" with i + 1 and the
// path.
void update_mark_menu_text(HMENU menu, std::size_t i, const std::string& path);
