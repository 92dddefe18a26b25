// The FTP side of the file operations, which the main window hands to them at start-up.
#pragma once

#include "fileops/fileops_host_win.h"

fileops_host& ftp_file_operations();
