// A window timer whose id comes from a process-wide counter, so no two timers share an id.
#pragma once

#include <windows.h>

class timer {
public:
    // Registers the timer on the window with the next id; false (and nothing stored) on failure.
    bool start(HWND window, UINT interval_ms);
    void stop();
    // The id used at start: the window's timer messages carry it.
    UINT_PTR id() const { return id_; }

private:
    UINT_PTR handle_ = 0;
    HWND window_ = nullptr;
    UINT_PTR id_ = 0;
};
