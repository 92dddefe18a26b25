// The program editors' three required fields: OK is enabled only while all three hold text.
#pragma once

#include "base/paths.h"
#include "dialogs.h"
#include "toolkit/controls_win.h"

struct edit_title : edit_required {
    edit_title() : edit_required({ID_PROGRAM_TITLE, ID_PROGRAM_FILE, ID_PROGRAM_PARAMETER}, name_size) {}
};
struct edit_program : edit_required {
    edit_program() : edit_required({ID_PROGRAM_TITLE, ID_PROGRAM_FILE, ID_PROGRAM_PARAMETER}, path_size) {}
};
struct edit_parameter : edit_required {
    edit_parameter() : edit_required({ID_PROGRAM_TITLE, ID_PROGRAM_FILE, ID_PROGRAM_PARAMETER}, path_size) {}
};
