// The directory change watcher of a local pane: one refresh command, 500 ms after the last change.
#pragma once

#include "pane/pane.h"
#include "toolkit/thread.h"

#include <windows.h>

#include <string>

// Watches one directory (not its subdirectories) and posts WM_COMMAND `command` with the pane
// index as lParam to `window` once the changes have stopped for 500 ms. The result word is the
// switch: 1 posts, 0 only swallows the changes.
class thread_dnotify : public thread {
public:
    std::string directory;
    HWND window = nullptr;
    int command = 254;
    int pane = 1;

    // The quiet time after the last change before the post.
    static constexpr unsigned quiet_ms = 500;

protected:
    int run() override;
};

// One watcher slot per pane (1 left, 2 right); empty while the pane shows an FTP path.
// Start: a watcher on the pane's path posting to main_window (the slot's old watcher is stopped
// first). Nothing is started for a path that is not local.
void start_watcher(const Pane& pane, HWND main_window);
// The same for pane 1 or 2 of the pane area, posting to the main window.
void start_watcher(int pane_index);
void stop_watcher(int pane_index);
// Withholds the posts while the program changes files itself; resume lets them through again.
void suspend_watcher(int pane_index);
void resume_watcher(int pane_index);
// The watcher in a slot, or null.
thread_dnotify* watcher_of(int pane_index);
