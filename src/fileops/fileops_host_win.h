// What the file operations ask of the program above them: the FTP side of copy, move, delete,
// rename and new directory. The application hands one host to the file operations at start-up;
// without one (and until the FTP panes are built) nothing happens on an FTP pane.
#pragma once

#include "fileops/file_rw_rules.h"

#include <windows.h>

#include <string>

struct Pane;

class fileops_host {
public:
    virtual ~fileops_host() = default;
    // Copy, move or delete on an FTP pane, given the transfer list file: a notice code (1 done,
    // 3 failed), 0 when nothing was started.
    virtual int ftp_file_op(HWND /*owner*/, FileOpMode /*mode*/, Pane& /*active*/, Pane* /*other*/,
                            const std::string& /*list_path*/)
    {
        return 0;
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
