// Running program definitions: the manual program menu, the manual and extension programs, and
// one run from its template to the shell or an archiver library.
#pragma once

#include "programs/program_defs.h"

#include <windows.h>

#include <optional>
#include <string>

// Command 301 + index: entry `index` of program.ini (message 32 when it is gone).
void run_manual_program(std::size_t index);
// The first entry of programe.ini for the file's extension and the state of Shift, run on the
// file (relative to the source pane's directory); false when none matches.
bool run_extension_program(const std::string& file_name);

// Expands, confirms and launches one entry; `opened` is the file an extension program opens.
// Every failure is shown to the user here.
void run_entry(const program_entry& entry, const std::optional<std::string>& opened);

// The list files of a program the shell started are kept while it runs; this deletes them now
// (the window is going), unless another list has been written under the name since.
void release_started_program();
