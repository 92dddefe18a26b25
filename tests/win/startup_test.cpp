// Start-up and shutdown of kelvasto.exe as a separate process: single instance, the
// configuration files made at the first start, the layout written at the end, and the refusal
// in a program directory that cannot be written.
#include "base/paths.h"
#include "platform/os.h"
#include "resource.h"
#include "support/temp_dir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string windows_path(std::string path)
{
    // CMake hands over the build path in Unix form; Wine's Z: drive is the Unix root.
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    return path;
}

std::string string_of(unsigned id)
{
    char text[512];
    int n = LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
    return n > 0 ? std::string(text, static_cast<size_t>(n)) : std::string();
}

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

struct window_query {
    DWORD pid;
    const char* class_name;
    HWND found = nullptr;
};

// The first visible top-level window of the process with the class, or null.
HWND top_window_of(DWORD pid, const char* class_name)
{
    window_query q{pid, class_name};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* q = reinterpret_cast<window_query*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            char name[64] = "";
            GetClassNameA(hwnd, name, sizeof name);
            if (owner == q->pid && IsWindowVisible(hwnd) && lstrcmpA(name, q->class_name) == 0) {
                q->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&q));
    return q.found;
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

std::vector<std::string> static_texts(HWND dialog)
{
    std::vector<std::string> texts;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM lp) -> BOOL {
            char name[32] = "";
            GetClassNameA(child, name, sizeof name);
            if (lstrcmpiA(name, "Static") == 0) {
                char text[512] = "";
                GetWindowTextA(child, text, sizeof text);
                if (text[0])
                    reinterpret_cast<std::vector<std::string>*>(lp)->push_back(text);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

std::string read_bytes(const std::string& path)
{
    auto data = os::read_file(path);
    return data ? *data : std::string("<missing>");
}

// A program directory of its own with a copy of kelvasto.exe.
class Startup : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(dir_.path().empty());
        exe_ = dir_.file("kelvasto.exe");
        ASSERT_TRUE(CopyFileA(windows_path(KV_EXE_PATH).c_str(), exe_.c_str(), FALSE));
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

TEST_F(Startup, SecondInstanceEndsAtOnceAndSilently)
{
    program first;
    ASSERT_TRUE(first.start(exe_));
    ASSERT_NE(wait_for_window(first.info.dwProcessId, "Kelvasto", 30000), nullptr);

    program second;
    ASSERT_TRUE(second.start(exe_));
    EXPECT_EQ(second.wait(30000), 0u);
    EXPECT_EQ(top_window_of(second.info.dwProcessId, "#32770"), nullptr);
    EXPECT_EQ(first.wait(0), static_cast<DWORD>(STILL_ACTIVE));
    close_and_wait(first);
}

TEST_F(Startup, MissingFilesAreMadeAsTheProfileWritesWouldMakeThem)
{
    program p;
    ASSERT_TRUE(p.start(exe_));
    ASSERT_NE(wait_for_window(p.info.dwProcessId, "Kelvasto", 30000), nullptr);

    // The same keys, in the same order, written by the system's own profile functions into a
    // second directory, must give the same bytes.
    temp_dir expected;
    struct key {
        const char* file;
        const char* section;
        std::string name;
        std::string value;
    };
    std::vector<key> keys = {
        {"layout.ini", "value", "position x", "0"},
        {"layout.ini", "value", "position y", "0"},
        {"layout.ini", "value", "size x", "320"},
        {"layout.ini", "value", "size y", "440"},
        {"layout.ini", "value", "width name", "160"},
        {"layout.ini", "value", "width type", "42"},
        {"layout.ini", "value", "width size", "71"},
        {"layout.ini", "value", "width date", "126"},
        {"layout.ini", "value", "width attribute", "36"},
        {"layout.ini", "value", "sort column", "1"},
        {"layout.ini", "switch", "mask systemfile", "+"},
        {"layout.ini", "switch", "dual window", "-"},
        {"layout.ini", "switch", "sort direction", "+"},
        {"layout.ini", "directory", "current left", ""},
        {"layout.ini", "directory", "current right", ""},
        {"kelvasto.ini", "switch", "confirm copy", "+"},
        {"kelvasto.ini", "switch", "confirm move", "+"},
        {"kelvasto.ini", "switch", "use trash", "+"},
        {"kelvasto.ini", "string", "netdrive", ""},
        {"kelvasto.ini", "string", "text viewer", "%WINDIR%\\notepad.exe"},
        {"kelvasto.ini", "string", "text extension", ".cgi.css.htm.html.pl.txt"},
        {"kelvasto.ini", "font", "name", string_of(16)},
        {"kelvasto.ini", "font", "size", "-12"},
        {"kelvasto.ini", "font", "point", "9"},
        {"kelvasto.ini", "font", "bold", "400"},
        {"kelvasto.ini", "font", "italic", "-"},
        {"kelvasto.ini", "font", "style", string_of(17)},
        {"kelvasto.ini", "color", "back source", "0:0:64"},
        {"kelvasto.ini", "color", "back target", "0:0:0"},
        {"kelvasto.ini", "color", "text system", "255:0:0"},
        {"kelvasto.ini", "color", "text hidden", "0:0:255"},
        {"kelvasto.ini", "color", "text readonly", "0:255:0"},
        {"kelvasto.ini", "color", "text directory", "0:255:255"},
        {"kelvasto.ini", "color", "text unknown", "255:255:0"},
        {"kelvasto.ini", "color", "text normal", "255:255:255"},
        {"kelvasto.ini", "key", "select drive", "D"},
        {"kelvasto.ini", "key", "edit wildcard", "P"},
        {"kelvasto.ini", "key", "open menu file", "F"},
        {"kelvasto.ini", "key", "make directory", "K"},
        {"kelvasto.ini", "key", "make file", "N"},
        {"kelvasto.ini", "key", "mark all", "A"},
        {"kelvasto.ini", "key", "compare", "C"},
        {"kelvasto.ini", "key", "open dual window", "W"},
        {"kelvasto.ini", "key", "mask system file", "M"},
        {"kelvasto.ini", "key", "open menu sort", "S"},
        {"kelvasto.ini", "key", "open menu program", "E"},
        {"programe.ini", "cab", "program", "cab32.dll/Cab"},
        {"programe.ini", "cab", "parameter", "-l \"?F1\""},
        {"programe.ini", "cab", "confirm", "-"},
        {"programe.ini", "cab(SHIFT)", "program", "cab32.dll/Cab"},
        {"programe.ini", "cab(SHIFT)", "parameter", "-x \"?F1\" \"?D2?\\\""},
        {"programe.ini", "cab(SHIFT)", "confirm", "+"},
        {"programe.ini", "lzh", "program", "unlha32.dll/Unlha"},
        {"programe.ini", "lzh", "parameter", "l \"?F1\""},
        {"programe.ini", "lzh", "confirm", "-"},
        {"programe.ini", "lzh(SHIFT)", "program", "unlha32.dll/Unlha"},
        {"programe.ini", "lzh(SHIFT)", "parameter", "x \"?F1\" \"?D2?\\\""},
        {"programe.ini", "lzh(SHIFT)", "confirm", "+"},
        {"programe.ini", "zip", "program", "7-zip32.dll/SevenZip"},
        {"programe.ini", "zip", "parameter", "l \"?F1\""},
        {"programe.ini", "zip", "confirm", "-"},
        {"programe.ini", "zip(SHIFT)", "program", "7-zip32.dll/SevenZip"},
        {"programe.ini", "zip(SHIFT)", "parameter", "x -aoa \"?F1\" \"-o?D2\""},
        {"programe.ini", "zip(SHIFT)", "confirm", "+"},
        {"program.ini", "make &Cab", "program", "cab32.dll/Cab"},
        {"program.ini", "make &Cab", "parameter", "-a -g -ml:21 \"?D2?\\?f2\" \"?D1?\\\" \"?f1\""},
        {"program.ini", "make &Cab", "confirm", "+"},
        {"program.ini", "make &Lzh", "program", "unlha32.dll/Unlha"},
        {"program.ini", "make &Lzh", "parameter", "a -d \"?D2?\\?f2\" \"?D1?\\\" \"?f1\""},
        {"program.ini", "make &Lzh", "confirm", "+"},
        {"program.ini", "make &Zip", "program", "7-zip32.dll/SevenZip"},
        {"program.ini", "make &Zip", "parameter", "a -tzip -mx=9 \"?D2?\\?f2\" \"?D1?\\\" \"?f1\""},
        {"program.ini", "make &Zip", "confirm", "+"},
    };
    // The marks end the layout file.
    for (int m = 1; m <= 12; ++m)
        keys.push_back({"layout.ini", "directory", "mark" + std::to_string(m), ""});
    for (const key& k : keys) {
        std::string path = windows_path(expected.file(k.file));
        ASSERT_TRUE(WritePrivateProfileStringA(k.section, k.name.c_str(), k.value.c_str(), path.c_str()))
            << k.name;
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, nullptr);
    for (const char* file : {"layout.ini", "kelvasto.ini", "programe.ini", "program.ini"})
        EXPECT_EQ(read_bytes(dir_.file(file)), read_bytes(windows_path(expected.file(file)))) << file;
    EXPECT_TRUE(os::is_directory(dir_.file("ftp_dir")));
    close_and_wait(p);
}

TEST_F(Startup, ClosingWritesTheLayoutAndLeavesTheSettingsAlone)
{
    program p;
    ASSERT_TRUE(p.start(exe_));
    HWND main = wait_for_window(p.info.dwProcessId, "Kelvasto", 30000);
    ASSERT_NE(main, nullptr);
    std::string settings = dir_.file("kelvasto.ini");
    WIN32_FILE_ATTRIBUTE_DATA before{};
    ASSERT_TRUE(GetFileAttributesExA(settings.c_str(), GetFileExInfoStandard, &before));
    std::string settings_bytes = read_bytes(settings);

    // Move the window so the layout has something new to keep.
    SetWindowPos(main, nullptr, 37, 41, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Sleep(200);
    close_and_wait(p);

    WIN32_FILE_ATTRIBUTE_DATA after{};
    ASSERT_TRUE(GetFileAttributesExA(settings.c_str(), GetFileExInfoStandard, &after));
    EXPECT_EQ(CompareFileTime(&before.ftLastWriteTime, &after.ftLastWriteTime), 0);
    EXPECT_EQ(read_bytes(settings), settings_bytes);
    std::string layout = windows_path(dir_.file("layout.ini"));
    EXPECT_EQ(GetPrivateProfileIntA("value", "position x", -1, layout.c_str()), 37);
    EXPECT_EQ(GetPrivateProfileIntA("value", "position y", -1, layout.c_str()), 41);
}

TEST_F(Startup, ProgramDirectoryComesFromTheExecutableNotTheCommandLine)
{
    // Started unquoted from a folder whose name has a blank, the configuration still goes
    // beside the program.
    std::string folder = dir_.file("with blank");
    ASSERT_TRUE(os::make_directory(folder));
    std::string exe = folder + "/kelvasto.exe";
    ASSERT_TRUE(CopyFileA(exe_.c_str(), exe.c_str(), FALSE));
    to_backslashes(exe);
    program p;
    ASSERT_TRUE(p.start(exe, -1, false));
    ASSERT_NE(wait_for_window(p.info.dwProcessId, "Kelvasto", 30000), nullptr);
    EXPECT_TRUE(os::path_exists(folder + "/kelvasto.ini"));
    EXPECT_FALSE(os::path_exists(dir_.file("with")));
    EXPECT_FALSE(os::path_exists(dir_.file("kelvasto.ini")));
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
        if (show == SW_SHOWMAXIMIZED) {
            EXPECT_FALSE(GetWindowLongA(main, GWL_STYLE) & WS_MAXIMIZEBOX);
            RECT r;
            GetWindowRect(main, &r);
            EXPECT_EQ(r.right - r.left, 320); // the layout's default single-pane width
            EXPECT_EQ(r.bottom - r.top, 440);
        }
        close_and_wait(p);
    }
}

// Run by tests/win/readonly_program_dir.sh with KV_READONLY_DIR naming a program directory on
// a volume that refuses writing (a read-only mount: root passes every permission bit).
TEST(ReadOnlyProgramDirectory, DISABLED_EndsWithMessage32BeforeAnyWindow)
{
    auto dir = os::get_env("KV_READONLY_DIR");
    ASSERT_TRUE(dir && !dir->empty()) << "KV_READONLY_DIR is not set";
    std::string exe = windows_path(*dir + "/kelvasto.exe");
    ASSERT_TRUE(os::path_exists(exe)) << exe;
    program p;
    ASSERT_TRUE(p.start(exe));
    HWND box = wait_for_window(p.info.dwProcessId, "#32770", 30000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(top_window_of(p.info.dwProcessId, "Kelvasto"), nullptr);
    char title[128] = "";
    GetWindowTextA(box, title, sizeof title);
    EXPECT_EQ(std::string(title), string_of(IDS_CAPTION_ERROR));
    auto texts = static_texts(box);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), string_of(IDS_FILE_RW_ERROR));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(p.wait(30000), 0u);
    EXPECT_FALSE(os::path_exists(*dir + "/kelvasto.ini"));
}
