// Start-up time of kelvasto.exe: from CreateProcess to its main window shown, several runs in a
// program directory of its own (the first run also writes the configuration files).
#include "bench_clock.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct find_query {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK match_main_window(HWND hwnd, LPARAM lp)
{
    auto* q = reinterpret_cast<find_query*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    char name[32] = "";
    GetClassNameA(hwnd, name, sizeof name);
    if (owner == q->pid && IsWindowVisible(hwnd) && lstrcmpA(name, "Kelvasto") == 0) {
        q->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND main_window_of(DWORD pid)
{
    find_query q{pid, nullptr};
    EnumWindows(match_main_window, reinterpret_cast<LPARAM>(&q));
    return q.found;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_bench PATH-TO-kelvasto.exe [runs]\n");
        return 2;
    }
    int runs = argc > 2 ? std::atoi(argv[2]) : 8;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string dir = std::string(temp) + "kv_startup_bench";
    CreateDirectoryA(dir.c_str(), nullptr);
    for (const char* f : {"layout.ini", "kelvasto.ini", "program.ini", "programe.ini"})
        DeleteFileA((dir + "\\" + f).c_str());
    std::string exe = dir + "\\kelvasto.exe";
    if (!CopyFileA(argv[1], exe.c_str(), FALSE)) {
        std::fprintf(stderr, "cannot copy %s\n", argv[1]);
        return 1;
    }

    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::string command = "\"" + exe + "\"";
        double t0 = now_ms();
        if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                            &si, &pi))
            return 1;
        HWND hwnd = nullptr;
        while (!(hwnd = main_window_of(pi.dwProcessId)) && now_ms() - t0 < 60000)
            Sleep(1);
        double t1 = now_ms();
        if (!hwnd) {
            std::fprintf(stderr, "run %d: no window within 60 s\n", i + 1);
            TerminateProcess(pi.hProcess, 1);
            return 1;
        }
        times.push_back(t1 - t0);
        std::printf("run %d: %.1f ms%s\n", i + 1, t1 - t0,
                    i == 0 ? " (first start: writes the configuration)" : "");
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        WaitForSingleObject(pi.hProcess, 30000);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    std::vector<double> warm(times.begin() + (times.size() > 1 ? 1 : 0), times.end());
    std::sort(warm.begin(), warm.end());
    std::printf("start to window shown, warm Wine: median %.1f ms, best %.1f ms over %zu runs\n",
                warm[warm.size() / 2], warm.front(), warm.size());
    return 0;
}
