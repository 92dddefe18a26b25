// kelvasto.exe as a separate process: a single instance, the files made at the first start, the
// layout written at the end, and the refusal in a program directory that cannot be written.
#include "base/paths.h"
#include "platform/os.h"
#include "resource.h"
#include "support/ftp_peers.h"
#include "support/temp_dir.h"
#include "toolkit/module_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// A started copy of kelvasto.exe.
struct program {
    PROCESS_INFORMATION info{};

    // `quoted`: the program's path stands in quotes on its command line.
    bool start(const std::string& exe, int show_command = -1, bool quoted = true)
    {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        if (show_command >= 0) {
            si.dwFlags = STARTF_USESHOWWINDOW;
            si.wShowWindow = static_cast<WORD>(show_command);
        }
        std::string command = quoted ? "\"" + exe + "\"" : exe;
        return CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                              &info) != 0;
    }
    // The exit code, or STILL_ACTIVE when it did not end within the time.
    DWORD wait(DWORD ms)
    {
        if (WaitForSingleObject(info.hProcess, ms) != WAIT_OBJECT_0)
            return STILL_ACTIVE;
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
    ~program()
    {
        if (info.hProcess) {
            if (wait(0) == STILL_ACTIVE) {
                TerminateProcess(info.hProcess, 99);
                WaitForSingleObject(info.hProcess, 10000);
            }
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
};

// The first visible top-level window of the process with the class, or null.
HWND top_window_of(DWORD pid, const char* class_name)
{
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, class_name, nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid && IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

// Polls for the window for up to `ms` milliseconds.
HWND wait_for_window(DWORD pid, const char* class_name, int ms)
{
    for (int waited = 0; waited < ms; waited += 50) {
        if (HWND h = top_window_of(pid, class_name))
            return h;
        Sleep(50);
    }
    return nullptr;
}

// A program directory of its own with a copy of kelvasto.exe.
class Startup : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(dir_.path().empty());
        exe_ = dir_.file("kelvasto.exe");
        ASSERT_TRUE(CopyFileA(local_form(KV_EXE_PATH).c_str(), exe_.c_str(), FALSE));
    }
    void close_and_wait(program& p)
    {
        HWND main = top_window_of(p.info.dwProcessId, "Kelvasto");
        ASSERT_NE(main, nullptr);
        PostMessageA(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(p.wait(30000), 0u);
    }
    temp_dir dir_;
    std::string exe_;
};

} // namespace

// The first start makes the missing files beside the program, wherever the command line puts
// it: started unquoted from a folder whose name has a blank. A second start meanwhile ends at
// once and silently.
TEST_F(Startup, MissingFilesAreMadeBesideTheProgramAndASecondInstanceEndsSilently)
{
    std::string folder = dir_.file("with blank");
    ASSERT_TRUE(os::make_directory(folder));
    std::string exe = folder + "/kelvasto.exe";
    ASSERT_TRUE(CopyFileA(exe_.c_str(), exe.c_str(), FALSE));
    to_backslashes(exe);
    program p;
    ASSERT_TRUE(p.start(exe, -1, false));
    ASSERT_NE(wait_for_window(p.info.dwProcessId, "Kelvasto", 30000), nullptr);
    EXPECT_FALSE(os::path_exists(dir_.file("with")));
    EXPECT_FALSE(os::path_exists(dir_.file("kelvasto.ini")));

    // The same keys, in the same order, written by the system's own profile functions into a
    // second directory, must give the same bytes (the values are checked natively).
    temp_dir expected;
    for (const char* file : {"layout.ini", "kelvasto.ini", "programe.ini", "program.ini"}) {
        std::string made = os::read_file(folder + "/" + file).value_or("<missing>"), section;
        std::string path = expected.file(file);
        for (std::size_t at = 0, end; at < made.size(); at = end + 2) {
            end = made.find("\r\n", at);
            ASSERT_NE(end, std::string::npos) << file << ": every line ends in CR LF";
            std::string line = made.substr(at, end - at);
            std::size_t equals = line.find('=');
            if (!line.empty() && line[0] == '[')
                section = line.substr(1, line.size() - 2);
            else
                ASSERT_TRUE(WritePrivateProfileStringA(section.c_str(), line.substr(0, equals).c_str(),
                                                       line.substr(equals + 1).c_str(), path.c_str()))
                    << line;
        }
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, nullptr);
        EXPECT_EQ(os::read_file(path), made) << file;
    }
    EXPECT_TRUE(os::is_directory(folder + "/ftp_dir"));

    program second;
    ASSERT_TRUE(second.start(exe, -1, false));
    EXPECT_EQ(second.wait(30000), 0u);
    EXPECT_EQ(top_window_of(second.info.dwProcessId, "#32770"), nullptr);
    EXPECT_EQ(p.wait(0), static_cast<DWORD>(STILL_ACTIVE));
    close_and_wait(p);
}

TEST_F(Startup, ShowCommandsMinimiseButNeverMaximise)
{
    for (int show : {SW_SHOWMINNOACTIVE, SW_SHOWMAXIMIZED}) {
        SCOPED_TRACE(show);
        program p;
        ASSERT_TRUE(p.start(exe_, show));
        HWND main = wait_for_window(p.info.dwProcessId, "Kelvasto", 30000);
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(IsIconic(main) != FALSE, show == SW_SHOWMINNOACTIVE);
        EXPECT_FALSE(IsZoomed(main));
        EXPECT_FALSE(GetWindowLongA(main, GWL_STYLE) & WS_MAXIMIZEBOX);
        close_and_wait(p);
    }
}

// Run by tests/win/readonly_program_dir.sh with KV_READONLY_DIR naming a program directory on
// a volume that refuses writing (a read-only mount: root passes every permission bit).
TEST(ReadOnlyProgramDirectory, DISABLED_EndsWithMessage32BeforeAnyWindow)
{
    auto dir = os::get_env("KV_READONLY_DIR");
    ASSERT_TRUE(dir && !dir->empty()) << "KV_READONLY_DIR is not set";
    std::string exe = local_form(*dir + "/kelvasto.exe");
    ASSERT_TRUE(os::path_exists(exe)) << exe;
    program p;
    ASSERT_TRUE(p.start(exe));
    HWND box = wait_for_window(p.info.dwProcessId, "#32770", 30000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(top_window_of(p.info.dwProcessId, "Kelvasto"), nullptr);
    char title[128] = "";
    GetWindowTextA(box, title, sizeof title);
    EXPECT_EQ(std::string(title), resource_string(IDS_CAPTION_ERROR));
    // The message box's text is its static control with the id 0xFFFF.
    char text[512] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_EQ(std::string(text), resource_string(IDS_FILE_RW_ERROR));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(p.wait(30000), 0u);
    EXPECT_FALSE(os::path_exists(local_form(*dir + "/kelvasto.ini")));
}
