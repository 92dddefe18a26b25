// A stand-in windowed program started through the shell: "kv_test_waiter @<list> <release>"
// copies the list file to <release>.seen, then runs until the file <release> exists.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command, int)
{
    std::string line = command ? command : "";
    std::size_t blank = line.find(' ');
    if (line.empty() || line[0] != '@' || blank == std::string::npos)
        return 2;
    std::string list = line.substr(1, blank - 1);
    std::string release = line.substr(blank + 1);
    CopyFileA(list.c_str(), (release + ".seen").c_str(), FALSE);
    for (int i = 0; i < 600 && GetFileAttributesA(release.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(100);
    return 0;
}
