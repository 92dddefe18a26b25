// The FTP server editor's required fields (OK only while title, server, port and user hold text)
// and the password prompt's field.
#pragma once

#include "base/paths.h"
#include "dialogs.h"
#include "toolkit/controls_win.h"

struct edit_account : edit_required {
    edit_account() : edit_required({ID_FTP_TITLE, ID_FTP_SERVER, ID_FTP_PORT, ID_FTP_USER}, name_size) {}
};
struct edit_server : edit_required {
    edit_server() : edit_required({ID_FTP_TITLE, ID_FTP_SERVER, ID_FTP_PORT, ID_FTP_USER}, name_size) {}
};
struct edit_port : edit_required {
    edit_port() : edit_required({ID_FTP_TITLE, ID_FTP_SERVER, ID_FTP_PORT, ID_FTP_USER}, 6) {}
};
struct edit_ftpid : edit_required {
    edit_ftpid() : edit_required({ID_FTP_TITLE, ID_FTP_SERVER, ID_FTP_PORT, ID_FTP_USER}, name_size) {}
};
struct edit_ftppwd : edit_required {
    edit_ftppwd() : edit_required({ID_FTP_PASSWORD}, name_size) {}
};
