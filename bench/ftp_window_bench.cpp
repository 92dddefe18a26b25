// Times downloads through the main window: the left pane on an FTP server, the right pane on a
// local directory, the copy command as the toolbar gives it, every question answered OK; from
// the command to the end of the operation with both panes up to date.
//   ftp_window_bench WORK/ PORT huge FILE    one file of the server's root
//   ftp_window_bench WORK/ PORT many DIR     every file of a directory of the server
// WORK/ holds the program directory and the download directory; each run starts empty.
#include "app/main_window_win.h"
#include "bench_clock.h"
#include "ftp/server_registry.h"
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

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

void pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Every question box of this thread is answered OK as it opens.
BOOL CALLBACK answer_window(HWND window, LPARAM)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "#32770" && IsWindowVisible(window) && GetDlgItem(window, IDOK))
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

void CALLBACK answer_boxes(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), answer_window, 0);
}

bool set_up_program(const std::string& program, const std::string& port, const std::string& local)
{
    os::make_directory(program);
    dirs().program_dir = program;
    std::string font_name = resource_string(IDS_DEFAULT_FONT_NAME, 128);
    std::string font_style = resource_string(IDS_DEFAULT_FONT_STYLE, 128);
    ensure_layout_file(layout_file_path());
    ensure_settings_file(settings_file_path(), font_name, font_style);
    read_layout(layout_file_path());
    load_settings(settings_file_path(), font_name, font_style);
    FtpServerEntry server;
    server.server = "127.0.0.1";
    server.port = port;
    server.id = "anonymous";
    server.password = scramble_password("kv@").value_or("");
    server.keep_dirlist = false;
    if (!server_save(ftp_ini_path(), "bench", server))
        return false;
    layout().pane_dirs[1] = local;
    layout().pane_dirs[2] = local;
    layout().dual_window = true;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: ftp_window_bench WORK/ PORT huge|many NAME\n");
        return 2;
    }
    std::string work = argv[1];
    if (work.back() != '/')
        work += '/';
    std::string mode = argv[3];
    std::string name = argv[4];
    std::string local = work + "local/";
    os::make_directory(local);

    INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    InitCommonControlsEx(&controls);
    set_module_instance(GetModuleHandleA(nullptr));
    shell_icons icons;
    set_system_icons(&icons);
    if (!set_up_program(work + "program/", argv[2], local)) {
        std::fprintf(stderr, "cannot write ftp.ini\n");
        return 1;
    }
    auto main_window = std::make_unique<window_>();
    if (!main_window->create(0, 0, 800, 600, SW_SHOWNORMAL)) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    SetForegroundWindow(main_window->handle());
    pump();
    SetTimer(nullptr, 0, 20, answer_boxes);

    // The left pane goes to the server (the last entry of its box), then into the directory.
    panes().active = 1;
    choose_entry(panes().views[1]->box.count() - 1);
    pump();
    Pane& server = panes().panes[1];
    if (server.path.rfind("ftp://", 0) != 0) {
        std::fprintf(stderr, "the pane did not reach the server\n");
        return 1;
    }
    if (mode == "many") {
        change_directory(name);
        pump();
        mark_all_files();
    } else {
        int row = find_entry(server, false, name);
        if (row < 0) {
            std::fprintf(stderr, "no %s on the server\n", name.c_str());
            return 1;
        }
        move_cursor(row - server.rows.cursor());
    }
    pump();

    double start = now_ms();
    PostMessageA(main_window->handle(), WM_COMMAND, IDM_COPY, 0);
    pump(); // the operation runs in its modal window inside this dispatch
    double elapsed = now_ms() - start;
    std::uint64_t bytes = 0;
    std::size_t files = 0;
    WIN32_FIND_DATAA found;
    HANDLE scan = FindFirstFileA((local + "*").c_str(), &found);
    for (bool more = scan != INVALID_HANDLE_VALUE; more; more = FindNextFileA(scan, &found))
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ++files;
            bytes += (std::uint64_t(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        }
    if (scan != INVALID_HANDLE_VALUE)
        FindClose(scan);
    std::printf("%s: %zu files, %llu bytes in %.0f ms\n", mode.c_str(), files,
                static_cast<unsigned long long>(bytes), elapsed);
    DestroyWindow(main_window->handle());
    pump();
    return 0;
}
