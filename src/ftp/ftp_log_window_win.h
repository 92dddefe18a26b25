// The FTP log window and the launchers: every FTP action of a pane is one operation thread run
// under the modal log window, which stays hidden unless Shift was held at the start or an error
// occurs.
#pragma once

#include "ftp/ftp_protocol.h"
#include "ftp/server_registry.h"

#include <windows.h>

#include <string>
#include <vector>

// How a get, delete or put ended.
struct ftp_op_report {
    bool ok = false; // the window ended with 1
    // The top-level entries of the list file that were processed whole (an upload move deletes
    // only these on the local side).
    std::vector<std::string> done;
    // The entries passed over by the name rules, each with its reason; the launcher has already
    // shown them to the user.
    std::vector<std::string> skipped;
    // The same entries by name alone, relative to the list's directory ("sub/name" inside one).
    std::vector<std::string> skipped_names;
};

// Each launcher runs one operation on the server and remote directory of `params`, with the
// pane's capability flags (the listing's probe updates them). `local_dir` is the local pane's
// directory: downloads land there and uploads are read from there.
bool ftp_run_listing(HWND owner, const ftp_operation_params& params, ftp_capabilities& flags);
bool ftp_run_make_dir(HWND owner, const ftp_operation_params& params, ftp_capabilities& flags,
                      const std::string& name);
bool ftp_run_rename(HWND owner, const ftp_operation_params& params, ftp_capabilities& flags,
                    const std::string& old_name, const std::string& new_name);
ftp_op_report ftp_run_get(HWND owner, const ftp_operation_params& params, ftp_capabilities& flags,
                          const std::string& local_dir, const std::string& list_file,
                          const std::string& text_extensions, bool remove);
ftp_op_report ftp_run_delete(HWND owner, const ftp_operation_params& params, ftp_capabilities& flags,
                             const std::string& list_file);
ftp_op_report ftp_run_put(HWND owner, const ftp_operation_params& params, ftp_capabilities& flags,
                          const std::string& local_dir, const std::string& list_file,
                          const std::string& text_extensions, bool move);
