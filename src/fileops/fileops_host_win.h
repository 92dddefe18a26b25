// What the file operations ask of the program above them: the FTP side of copy, move, delete,
// rename and new directory. The application hands one host to the file operations at start-up;
// without one (and until the FTP panes are built) nothing happens on an FTP pane.
#pragma once

#include "fileops/file_rw_rules.h"

#include <windows.h>

#include <string>

struct Pane;

// How copy, move or delete ended: the notice dialog's code.
enum file_op_outcome : int {
    op_not_started = 0, // cancelled, nothing to process, or copy and move with one list open
    op_done = 1,
    op_failed = 3,
};

class fileops_host {
public:
    virtual ~fileops_host() = default;
    // Copy, move or delete on an FTP pane, given the transfer list file.
    virtual file_op_outcome ftp_file_op(HWND /*owner*/, FileOpMode /*mode*/, Pane& /*active*/,
                                        Pane* /*other*/, const std::string& /*list_path*/)
    {
        return op_not_started;
    }
    // Renames an entry of the active FTP pane, or makes a directory there; false keeps the dialog.
    virtual bool ftp_rename(HWND /*owner*/, const std::string& /*from*/, const std::string& /*to*/)
    {
        return false;
    }
    virtual bool ftp_make_dir(HWND /*owner*/, const std::string& /*name*/) { return false; }
};

// The host set at start-up, or one that does nothing.
fileops_host& fileops_up();
void set_fileops_host(fileops_host* host);
