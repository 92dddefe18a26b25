// Entry points of the commands carried out by the file operations, dialogs, programs and FTP
// parts. Until those parts fill them in, the commands do nothing.
#include "app/commands_later_win.h"

#include "fileops/file_dialogs_win.h"

void backup_entry(HWND owner) { run_backup(owner); }
void rename_entry(HWND owner) { run_rename(owner); }
void attribute_entry(HWND owner) { run_attribute(owner); }
void timestamp_entry(HWND owner) { run_timestamp(owner); }
void make_entry(HWND owner, bool directory) { run_make(owner, directory); }

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
