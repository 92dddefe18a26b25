#include "ftp/ftp_log_window_win.h"

// Placeholder until the operation threads land: nothing runs.
bool ftp_run_listing(HWND, const ftp_operation_params&, ftp_capabilities&)
{
    return false;
}
bool ftp_run_make_dir(HWND, const ftp_operation_params&, ftp_capabilities&, const std::string&)
{
    return false;
}
bool ftp_run_rename(HWND, const ftp_operation_params&, ftp_capabilities&, const std::string&,
                    const std::string&)
{
    return false;
}
ftp_op_report ftp_run_get(HWND, const ftp_operation_params&, ftp_capabilities&, const std::string&,
                          const std::string&, const std::string&, bool)
{
    return {};
}
ftp_op_report ftp_run_delete(HWND, const ftp_operation_params&, ftp_capabilities&, const std::string&)
{
    return {};
}
ftp_op_report ftp_run_put(HWND, const ftp_operation_params&, ftp_capabilities&, const std::string&,
                          const std::string&, const std::string&, bool)
{
    return {};
}
