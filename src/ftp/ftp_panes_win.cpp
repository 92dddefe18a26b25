#include "ftp/ftp_panes_win.h"

#include <array>

// Placeholder until the FTP panes land.
pane_ftp_state& pane_ftp(int pane)
{
    static std::array<pane_ftp_state, 3> states;
    return states[static_cast<std::size_t>(pane == 2 ? 2 : 1)];
}

std::optional<ftp_operation_params> pane_operation_params(HWND, int)
{
    return std::nullopt;
}

bool read_ftp_listing(Pane&, bool)
{
    return false;
}
