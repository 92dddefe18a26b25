// The directory change watcher: a poll of the change notification every 10 ms.
#include "pane/dnotify_win.h"

#include "pane/pane_view_win.h"
#include "resource.h"

#include <memory>

namespace {

// Slots 1 and 2; the main thread alone fills and empties them. A watcher still running when
// the process ends is stopped before it is destroyed, so the end never waits for it.
struct watcher_slots {
    std::unique_ptr<thread_dnotify> slot[3];
    ~watcher_slots()
    {
        for (auto& w : slot) {
            if (w) {
                w->request_stop();
                w->join();
            }
        }
    }
};
watcher_slots all_slots;
std::unique_ptr<thread_dnotify> (&slots)[3] = all_slots.slot;

bool valid_slot(int pane_index)
{
    return pane_index >= 1 && pane_index <= 2;
}

} // namespace

int thread_dnotify::run()
{
    // File and directory names, attributes, size and last-write time; subdirectories not watched.
    constexpr DWORD filter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                             FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                             FILE_NOTIFY_CHANGE_LAST_WRITE;
    HANDLE change = FindFirstChangeNotificationA(directory.c_str(), FALSE, filter);
    if (change == INVALID_HANDLE_VALUE) {
        finish(1);
        return 1;
    }
    bool pending = false;
    // A burst that began or went on while suspended is the program's own work: its rows are
    // already updated, even when its quiet time ends after the resume.
    bool own_changes = false;
    DWORD last = 0;
    for (;;) {
        // The 10 ms wait is the poll's pause as well: a stop request is seen within it.
        if (WaitForSingleObject(change, 10) == WAIT_OBJECT_0) {
            last = GetTickCount();
            pending = true;
            if (get_result() != 1)
                own_changes = true;
            if (!FindNextChangeNotification(change))
                break;
            continue;
        }
        if (is_stop_requested())
            break;
        if (pending && GetTickCount() - last > quiet_ms) {
            if (get_result() == 1 && !own_changes)
                PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(command), static_cast<LPARAM>(pane));
            pending = false;
            own_changes = false;
        }
    }
    FindCloseChangeNotification(change);
    finish(0);
    return 0;
}

void start_watcher(const Pane& pane, HWND main_window)
{
    if (!valid_slot(pane.index))
        return;
    stop_watcher(pane.index);
    if (!is_local_path(pane.path))
        return;
    auto watcher = std::make_unique<thread_dnotify>();
    watcher->directory = pane.path;
    watcher->window = main_window;
    watcher->command = IDM_DIRECTORY_CHANGED;
    watcher->pane = pane.index;
    watcher->set_result(1);
    if (!watcher->begin())
        return;
    slots[pane.index] = std::move(watcher);
}

void stop_watcher(int pane_index)
{
    if (!valid_slot(pane_index) || !slots[pane_index])
        return;
    slots[pane_index]->request_stop();
    slots[pane_index]->join();
    slots[pane_index]->release();
    slots[pane_index].reset();
}

void suspend_watcher(int pane_index)
{
    if (valid_slot(pane_index) && slots[pane_index])
        slots[pane_index]->set_result(0);
}

void resume_watcher(int pane_index)
{
    if (valid_slot(pane_index) && slots[pane_index])
        slots[pane_index]->set_result(1);
}

thread_dnotify* watcher_of(int pane_index)
{
    return valid_slot(pane_index) ? slots[pane_index].get() : nullptr;
}

void start_watcher(int pane_index)
{
    if (!valid_slot(pane_index))
        return;
    pane_area& area = panes();
    start_watcher(area.panes[static_cast<std::size_t>(pane_index)], area.main);
}
