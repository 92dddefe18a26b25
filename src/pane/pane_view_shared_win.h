// What the pane view's files share: the views of the panes, the keys held, the colours, the
// box entries and the row under the mouse.
#pragma once

#include "pane/pane_view_win.h"

#include <windows.h>

#include <string>
#include <vector>

namespace pane_internal {

pane_view* view_of(int pane);
pane_view* active_view();
bool key_held(int key);
COLORREF colour(std::size_t which);
// After marks changed by a pane operation: the control, the information line, the commands.
void marks_changed(int pane);
std::vector<std::string> box_entries(const combo& box);
int entry_icon(const std::string& text);
void bring_editor_forward();
// The row under the mouse pointer (-1 for none); `at` gets the pointer in screen coordinates.
int row_under_mouse(HWND list, POINT& at);

} // namespace pane_internal
