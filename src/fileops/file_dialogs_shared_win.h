// What the file dialogs share: the panes they change, the watchers they hold, the rows they take.
#pragma once

#include "pane/pane.h"

#include <windows.h>

#include <string>
#include <vector>

namespace file_dialogs {

Pane& pane_at(int index);
// The panes whose watchers a dialog stops: both panes, or the active one alone.
std::vector<int> watched_panes(bool both);
void suspend_watchers(bool both);
void resume_watchers(bool both);
// The rows the attribute and time-stamp dialogs change: those an action takes, less "..".
std::vector<int> chosen_rows(const Pane& p);
// The other pane when both show the same directory: its rows follow the active pane's.
int twin_pane();
// A new entry of the active pane's directory gets its row (the cursor on it), and so does the
// other pane when it shows the same directory.
void add_new_row(bool is_dir, const std::string& name);
// A file or a directory of that path exists.
bool entry_exists(const std::string& path);
// Enter presses the default button even while it is greyed: OK counts only when it is enabled.
bool ok_enabled(HWND dialog);

} // namespace file_dialogs
