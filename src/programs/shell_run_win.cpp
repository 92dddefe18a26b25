// Starting a program or opening a document through the shell, never a console program.
#include "programs/shell_run_win.h"

#include "base/paths.h"
#include "pane/pane_view_win.h"
#include "programs/program_run_win.h"
#include "resource.h"
#include "settings/settings.h"
#include "settings/settings_win.h"
#include "toolkit/module_win.h"

#include <shellapi.h>

#include <cstdio>

namespace {

bool ends_with_nocase(const std::string& s, const char* tail)
{
    std::size_t n = std::char_traits<char>::length(tail);
    return s.size() >= n && lstrcmpiA(s.c_str() + s.size() - n, tail) == 0;
}

void warn_user(unsigned text_id)
{
    MessageBoxA(panes().main, resource_string(text_id, 256).c_str(),
                resource_string(IDS_CAPTION_ERROR, 128).c_str(), MB_OK | MB_ICONWARNING);
}

} // namespace

bool is_console_program(const std::string& path)
{
    if (path.size() < 4)
        return false;
    if (ends_with_nocase(path, ".COM") || ends_with_nocase(path, ".BAT"))
        return true;
    if (!ends_with_nocase(path, ".EXE"))
        return false;
    auto type = static_cast<DWORD>(SHGetFileInfoA(path.c_str(), 0, nullptr, 0, SHGFI_EXETYPE));
    return type == 0x5A4D || type == 0x4550; // MS-DOS ("MZ"), or "PE" with a zero high word: console
}

bool shell_run(const std::string& program, const char* arguments)
{
    if (is_console_program(program))
        return false;
    std::string file = program;
    to_backslashes(file);
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(panes().main, "open", file.c_str(), arguments, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

bool shell_start(const std::string& program, const char* arguments, HANDLE* process)
{
    *process = nullptr;
    if (is_console_program(program))
        return false;
    std::string file = program;
    to_backslashes(file);
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.hwnd = panes().main;
    info.lpVerb = "open";
    info.lpFile = file.c_str();
    info.lpParameters = arguments && *arguments ? arguments : nullptr;
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info))
        return false;
    *process = info.hProcess;
    return true;
}

bool open_file(const std::string& name)
{
    if (run_extension_program(name))
        return true;
    if (shell_run(name))
        return true;
    if (ends_with_nocase(name, ".COM") || ends_with_nocase(name, ".EXE")) {
        warn_user(IDS_PROGRAM_START_ERROR);
        return false;
    }
    std::string viewer;
    if (!expand_env(viewer, path_size, settings().text_viewer)) {
        warn_user(IDS_SYSTEM_ERROR);
        return false;
    }
    char argument[path_size * 2];
    std::snprintf(argument, sizeof argument, "\"%s%s\"", active_pane().path.c_str(), name.c_str());
    if (!shell_run(viewer, argument)) {
        warn_user(IDS_PROGRAM_START_ERROR);
        return false;
    }
    Sleep(500);
    return true;
}
