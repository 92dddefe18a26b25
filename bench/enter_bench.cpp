// Times entering a directory of many files in the main window: from the Enter key on its row to
// the first rows painted in the list (read, sort, information line, paint).
#include "app/main_window_win.h"
#include "bench_clock.h"
#include "pane/pane_view_win.h"
#include "platform/os.h"
#include "platform/process_paths.h"
#include "resource.h"
#include "settings/layout.h"
#include "settings/settings.h"
#include "toolkit/module_win.h"
#include "toolkit/shell_icons_win.h"

#include <commctrl.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

// Dispatches until the queue is empty.
void pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The bare walk of the same directory: every entry visited and its facts touched, nothing kept.
double bare_walk_ms(const std::string& dir)
{
    double start = now_ms();
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((dir + "*.*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    volatile std::uint64_t checksum = 0;
    do {
        checksum = checksum + data.nFileSizeLow + data.ftLastWriteTime.dwLowDateTime + data.dwFileAttributes +
                   static_cast<unsigned char>(data.cFileName[0]);
    } while (FindNextFileA(h, &data));
    FindClose(h);
    return now_ms() - start;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: enter_bench DIRECTORY/ [ROUNDS]\n  DIRECTORY holds the directory \"big\"\n");
        return 2;
    }
    std::string parent = argv[1];
    int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    if (parent.back() != '/')
        parent += '/';

    INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    InitCommonControlsEx(&controls);
    set_module_instance(GetModuleHandleA(nullptr));
    shell_icons icons;
    set_system_icons(&icons);
    std::string program = parent + "program/";
    os::make_directory(program);
    dirs().program_dir = program;
    std::string font_name = resource_string(IDS_DEFAULT_FONT_NAME, 128);
    std::string font_style = resource_string(IDS_DEFAULT_FONT_STYLE, 128);
    ensure_layout_file(layout_file_path());
    ensure_settings_file(settings_file_path(), font_name, font_style);
    read_layout(layout_file_path());
    load_settings(settings_file_path(), font_name, font_style);
    layout().pane_dirs[1] = parent;

    auto main_window = std::make_unique<window_>();
    if (!main_window->create(0, 0, 640, 700, SW_SHOWNORMAL)) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    SetForegroundWindow(main_window->handle());
    pump();
    HWND list = GetDlgItem(main_window->handle(), list_id(1));
    Pane& pane = panes().panes[1];

    std::vector<double> times, walks;
    std::size_t rows = 0;
    for (int round = 0; round < rounds; ++round) {
        walks.push_back(bare_walk_ms(parent + "big/"));
        int row = find_entry(pane, true, "big");
        if (row < 0) {
            std::fprintf(stderr, "no directory \"big\" in %s\n", parent.c_str());
            return 1;
        }
        move_cursor(row - pane.rows.cursor());
        pump();
        double start = now_ms();
        PostMessageA(list, WM_KEYDOWN, VK_RETURN, 1);
        while (pane.path != parent + "big/") {
            pump();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        }
        pump();
        UpdateWindow(list); // the first page of rows is painted here
        times.push_back(now_ms() - start);
        rows = pane.rows.size();
        change_directory("..");
        pump();
    }
    std::sort(times.begin(), times.end());
    std::sort(walks.begin(), walks.end());
    std::printf(
        "enter a directory of %zu rows, Enter to painted rows, %d rounds: least %.1f ms, median %.1f ms\n",
        rows, rounds, times.front(), times[times.size() / 2]);
    std::printf("bare FindFirstFileA walk of the same directory: least %.1f ms, median %.1f ms\n",
                walks.front(), walks[walks.size() / 2]);
    std::printf("ratio (goal <= 1.30): least %.2f, median %.2f\n", times.front() / walks.front(),
                times[times.size() / 2] / walks[walks.size() / 2]);
    DestroyWindow(main_window->handle());
    pump();
    return 0;
}
