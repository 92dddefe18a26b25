// Window timers with ids from a process-wide counter that starts at 1.
#include "toolkit/timer_win.h"

namespace {
// Only the main thread starts timers.
UINT_PTR next_timer_id = 1;
} // namespace

bool timer::start(HWND window, UINT interval_ms)
{
    UINT_PTR handle = SetTimer(window, next_timer_id, interval_ms, nullptr);
    if (handle == 0) {
        handle_ = 0;
        return false;
    }
    handle_ = handle;
    window_ = window;
    id_ = next_timer_id;
    ++next_timer_id;
    return true;
}

void timer::stop()
{
    if (handle_ != 0)
        KillTimer(window_, handle_);
    handle_ = 0;
}
