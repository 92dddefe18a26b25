// The directory watcher under Wine: one post per burst, none while suspended, a stop that returns.
#include "pane/dnotify_win.h"
#include "pane/local_listing_win.h"
#include "platform/os.h"
#include "resource.h"
#include "support/temp_dir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct post {
    WPARAM command;
    LPARAM pane;
};
std::vector<post> posts;

LRESULT CALLBACK receiver_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_COMMAND) {
        posts.push_back({wparam, lparam});
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

// A hidden window that records the commands posted to it.
class receiver {
public:
    receiver()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = receiver_procedure;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "kv_dnotify_receiver";
        RegisterClassA(&wc);
        // A message-only window: it needs no display.
        window = CreateWindowA("kv_dnotify_receiver", "", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                               wc.hInstance, nullptr);
        posts.clear();
    }
    ~receiver() { DestroyWindow(window); }
    // Dispatches this thread's messages for the given time.
    static void pump_for(int ms)
    {
        std::uint64_t end = os::now_ms() + static_cast<std::uint64_t>(ms);
        while (os::now_ms() < end) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            Sleep(5);
        }
    }
    HWND window = nullptr;
};

Pane pane_on(const temp_dir& dir, int index)
{
    Pane pane;
    pane.index = index;
    pane.path = dir.path() + "/";
    return pane;
}

} // namespace

TEST(DirectoryWatcher, ABurstOfChangesGivesOnePost)
{
    temp_dir dir;
    receiver r;
    ASSERT_NE(r.window, nullptr);
    start_watcher(pane_on(dir, 2), r.window);
    ASSERT_NE(watcher_of(2), nullptr);
    receiver::pump_for(100);
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(write_text_file(dir.file("f" + std::to_string(i) + ".txt"), ""));
    receiver::pump_for(2000);
    stop_watcher(2);
    EXPECT_EQ(watcher_of(2), nullptr);
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].command, static_cast<WPARAM>(IDM_DIRECTORY_CHANGED));
    EXPECT_EQ(posts[0].pane, 2);
}

// Changes made while suspended post nothing, whether the resume comes after the quiet time or at
// once (the program's own operations); a change after the resume posts again.
TEST(DirectoryWatcher, ASuspendedWatcherPostsNothingAndResumes)
{
    struct {
        int suspended_ms;
        bool change_after_resume;
    } cases[] = {{1500, true}, {50, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.suspended_ms);
        temp_dir dir;
        receiver r;
        start_watcher(pane_on(dir, 1), r.window);
        receiver::pump_for(100);
        suspend_watcher(1);
        for (int i = 0; i < 20; ++i)
            ASSERT_TRUE(write_text_file(dir.file("s" + std::to_string(i)), ""));
        receiver::pump_for(c.suspended_ms);
        EXPECT_TRUE(posts.empty());
        resume_watcher(1);
        if (c.change_after_resume) {
            ASSERT_TRUE(write_text_file(dir.file("after_resume"), ""));
        }
        receiver::pump_for(1500);
        EXPECT_EQ(posts.size(), c.change_after_resume ? 1u : 0u);
        stop_watcher(1);
    }
}

TEST(DirectoryWatcher, NoWatcherForFtpPathsOrMissingDirectories)
{
    receiver r;
    temp_dir dir;
    Pane ftp = pane_on(dir, 1);
    ftp.path = "ftp://server/pub/";
    start_watcher(ftp, r.window);
    EXPECT_EQ(watcher_of(1), nullptr);
    // A directory that cannot be watched: the thread ends by itself, stopping it still returns.
    Pane gone = pane_on(dir, 1);
    gone.path += "missing/";
    start_watcher(gone, r.window);
    stop_watcher(1);
    EXPECT_EQ(watcher_of(1), nullptr);
    stop_watcher(7); // no such slot
}

TEST(DirectoryWatcher, AWatcherLeftRunningDoesNotHoldUpTheProcessEnd)
{
    // Left in its slot on purpose: the process's end stops it (the test program would not end).
    temp_dir dir;
    receiver r;
    start_watcher(pane_on(dir, 2), r.window);
    EXPECT_NE(watcher_of(2), nullptr);
}
