// Entry points of the commands whose work belongs to the file operations, their dialogs, the
// options dialog, the external programs and the FTP client. The main window routes every such
// command here, in one place; each body is filled by the part that carries the command out.
#pragma once

#include <windows.h>

class combo;

// File operations (the owner is the main window).
void copy_marked(HWND owner);                // 202 with two panes
void backup_entry(HWND owner);               // 202 with one pane: copy under a new name
void move_marked(HWND owner);                // 203
void delete_marked(HWND owner);              // 204
void rename_entry(HWND owner);               // 205
void attribute_entry(HWND owner);            // 206
void timestamp_entry(HWND owner);            // 207
void make_entry(HWND owner, bool directory); // 209 directory, 210 file

// The options dialog (242).
void option_dialog(HWND owner);

// External programs: the definitions read into their menus when the window is created, the
// number of manual programs, running one (301-399) and the editors (400-599; index -1 is new).
void load_program_menus(HMENU extension_menu, HMENU manual_menu, HMENU run_menu);
void run_manual_program(HWND owner, int index);
void edit_extension_program(HWND owner, int index);
void edit_manual_program(HWND owner, int index);

// FTP servers: the editor (600-699; true when it ended with OK), the server entries of the left
// box and the FTP server menu (returns how many were added), opening and leaving a server for a
// pane, and the clean-up at exit.
bool edit_ftp_server(HWND owner, int index);
int add_ftp_box_entries(combo& box, HMENU server_menu);
bool pane_open_server(int pane, int entry);
void pane_leave_server(int pane, int entry);
void registry_exit_cleanup();
