// A stand-in windowed program started through the shell: "kv_test_waiter @<list> <release>"
// copies the list file to <release>.seen, then runs until the file <release> exists. Started
// with anything else (as the text viewer), it writes its command line to the file the variable
// KV_TEST_SEEN names and ends.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command, int)
{
    std::string line = command ? command : "";
    if (line.empty() || line[0] != '@') {
        char seen[MAX_PATH];
        if (GetEnvironmentVariableA("KV_TEST_SEEN", seen, sizeof seen) == 0)
            return 2;
        HANDLE file = CreateFileA(seen, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        CloseHandle(file);
        return 0;
    }
    std::size_t blank = line.find(' ');
    if (blank == std::string::npos)
        return 2;
    std::string list = line.substr(1, blank - 1);
    std::string release = line.substr(blank + 1);
    CopyFileA(list.c_str(), (release + ".seen").c_str(), FALSE);
    for (int i = 0; i < 600 && GetFileAttributesA(release.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(100);
    return 0;
}
