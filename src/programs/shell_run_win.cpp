// Starting a program or opening a document through the shell, never a console program.
#include "programs/shell_run_win.h"

#include "pane/pane_view_win.h"

#include <shellapi.h>

namespace {

bool ends_with_nocase(const std::string& s, const char* tail)
{
    std::size_t n = std::char_traits<char>::length(tail);
    return s.size() >= n && lstrcmpiA(s.c_str() + s.size() - n, tail) == 0;
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
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(panes().main, "open", program.c_str(), arguments, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

bool open_file(const std::string& name)
{
    return shell_run(name);
}
