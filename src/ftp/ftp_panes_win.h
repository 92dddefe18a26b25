// Panes on FTP servers: each pane's FTP state, entering and leaving a server, the server entries
// of the boxes and menu, the listing read of an FTP pane, and the clean-up at exit.
#pragma once

#include "ftp/ftp_protocol.h"
#include "ftp/server_registry.h"
#include "pane/pane.h"

#include <windows.h>

#include <optional>
#include <string>

class combo;

// What a pane on a server keeps: the capability flags and the password (stored or typed).
struct pane_ftp_state {
    ftp_capabilities flags{};
    std::string password;
    // Between opening the server and leaving it: the password and flags are the server's.
    bool open = false;
};
pane_ftp_state& pane_ftp(int pane);

// The parameters of an operation in the pane's current remote directory; when the server's
// section cannot be read the user is told (caption "エラー", string 32) and there are none.
std::optional<ftp_operation_params> pane_operation_params(HWND owner, int pane);

// Fills an FTP pane from the cache of its directory, listing the directory first (after asking)
// when it has no cache yet. make_current: the other pane's local directory becomes current.
bool read_ftp_listing(Pane& pane, bool make_current);

// The title of the server of a box entry (entries after the drives and network folders), and
// of the entry a pane's box has selected.
std::optional<std::string> entry_server_title(int entry);
std::optional<std::string> pane_server_title(int pane);

// The pane's drive choice became the server of `entry`: the other pane's password and flags
// when it shows the same server, else the flags of support.ini and the stored password, asked
// for when none is stored. False (cancelled, no cache directory) leaves the caller to go back.
bool pane_open_server(HWND owner, int pane, int entry);
// The pane leaves the server of `entry`: its password is overwritten, and probed flags are kept
// in support.ini unless the file exists.
void pane_leave_server(int pane, int entry);
// One box entry per server (its start directory) after the drives and network folders, and the
// FTP server menu rebuilt: "new" (600), a separator, then the titles (601 + index). How many.
int server_list_build(combo& box, HMENU server_menu);
// At the main window's end: panes leave their servers, and the caches not kept are removed.
void registry_exit_cleanup();
