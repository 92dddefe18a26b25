// The choices the main window makes on a pane's model: the row a one-entry command takes, the
// newer-file marks and where a directory mark leads.
#pragma once

#include "pane/pane.h"

#include <string>
#include <string_view>

// The row a one-entry command acts on: the one marked row, else the cursor row; -1 for none and
// for "..".
int target_row(const Pane& pane);

// Marks the file rows of `mine` newer than the file of that name in `theirs` (see is_newer_time)
// or missing there; every other row, directories included, loses its mark.
void mark_newer(Pane& mine, const Pane& theirs);

// Following directory mark `mark` from a pane: to the mark, or back to the pane's return path
// when the pane stands on the mark already; `return_path` is the pane's return path after it.
struct mark_jump {
    std::string destination;
    std::string return_path;
};
mark_jump follow_mark(const Pane& pane, std::string_view mark);

// A directory change from pane path `path`: "/" to the root, ".." to the parent (`left` names the
// directory left, for the cursor), any other argument into that subdirectory. `ok` is false
// where there is nothing to do: above the root, or a path that would not fit in 255 bytes (cut,
// it would name another directory or half a character).
struct directory_step {
    bool ok = false;
    std::string path;
    std::string left;
};
directory_step step_directory(std::string_view path, std::string_view argument);
