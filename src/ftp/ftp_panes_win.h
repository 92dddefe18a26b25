// Panes on FTP servers: each pane's FTP state, entering and leaving a server, the server entries
// of the boxes and menu, the listing read of an FTP pane, and the clean-up at exit.
#pragma once

#include "ftp/ftp_protocol.h"
#include "ftp/server_registry.h"
#include "pane/pane.h"

#include <windows.h>

#include <optional>
#include <string>

// What a pane on a server keeps: the capability flags and the password (stored or typed).
struct pane_ftp_state {
    ftp_capabilities flags{};
    std::string password;
};
pane_ftp_state& pane_ftp(int pane);

// The parameters of an operation in the pane's current remote directory; when the server's
// section cannot be read the user is told (caption "エラー", string 32) and there are none.
std::optional<ftp_operation_params> pane_operation_params(HWND owner, int pane);

// Fills an FTP pane from the cache of its directory, listing the directory first (after asking)
// when it has no cache yet. make_current: the other pane's local directory becomes current.
bool read_ftp_listing(Pane& pane, bool make_current);
