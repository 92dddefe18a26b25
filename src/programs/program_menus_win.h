// The menus built from the program definitions.
#pragma once

#include "programs/program_defs.h"

#include <windows.h>

// Builds the file's items again: the settings submenu keeps only "新規作成" and gets a separator
// and one edit command per entry (401 + i or 501 + i); for manual programs the run menu gets one
// run command per entry (301 + i).
void rebuild_program_menus(program_file which, HMENU settings_submenu, HMENU run_menu = nullptr);
