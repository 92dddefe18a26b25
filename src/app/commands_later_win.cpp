// Entry points of the commands carried out by the file operations, dialogs, programs and FTP
// parts. Until those parts fill them in, the commands do nothing.
#include "app/commands_later_win.h"

void backup_entry(HWND) {}
void rename_entry(HWND) {}
void attribute_entry(HWND) {}
void timestamp_entry(HWND) {}
void make_entry(HWND, bool) {}

void option_dialog(HWND) {}

void load_program_menus(HMENU, HMENU, HMENU) {}
void run_manual_program(HWND, int) {}
void edit_extension_program(HWND, int) {}
void edit_manual_program(HWND, int) {}

bool edit_ftp_server(HWND, int)
{
    return false;
}
int add_ftp_box_entries(combo&, HMENU)
{
    return 0;
}
bool pane_open_server(int, int)
{
    return false;
}
void pane_leave_server(int, int) {}
void registry_exit_cleanup() {}
