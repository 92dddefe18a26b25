// A stand-in archiver library: KvArchive(owner, command line, output, size) as the file manager
// calls an archiver. The command line is "<verb> <arguments>", arguments blank-separated, each
// perhaps in double quotes; "@path" names a list file.
//   a <archive> <items...>  makes <archive>: the owner, the command line and every list read
//   l <items...>            lists its arguments
//   f                       fills all of `size` bytes and leaves no terminator
// The output text names the verb, the owner window and the command line, then each list read.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<std::string> split(const char* text)
{
    std::vector<std::string> words;
    for (const char* p = text; *p;) {
        while (*p == ' ')
            ++p;
        if (!*p)
            break;
        std::string w;
        if (*p == '"') {
            for (++p; *p && *p != '"'; ++p)
                w += *p;
            if (*p)
                ++p;
        } else {
            for (; *p && *p != ' '; ++p)
                w += *p;
        }
        words.push_back(w);
    }
    return words;
}

std::string read_all(const std::string& path)
{
    std::string text;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return "(no list " + path + ")\r\n";
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(f);
    return text;
}

} // namespace

extern "C" __declspec(dllexport) int WINAPI KvArchive(HWND owner, LPCSTR command, LPSTR output, DWORD size)
{
    std::vector<std::string> words = split(command ? command : "");
    std::string verb = words.empty() ? "" : words[0];
    if (verb == "f") {
        for (DWORD i = 0; i < size; ++i)
            output[i] = static_cast<char>(i + 1 == size ? 'Z' : 'a' + i % 26);
        return 0;
    }
    char head[64];
    std::snprintf(head, sizeof head, "kv archiver %s owner %p\r\n", verb.c_str(), static_cast<void*>(owner));
    std::string text = std::string(head) + "command: " + (command ? command : "") + "\r\n";
    for (std::size_t i = 1; i < words.size(); ++i)
        if (!words[i].empty() && words[i][0] == '@')
            text += "list " + words[i].substr(1) + ":\r\n" + read_all(words[i].substr(1));
    if (verb == "a" && words.size() > 1) {
        HANDLE f = CreateFileA(words[1].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) {
            text += "cannot make " + words[1] + "\r\n";
        } else {
            DWORD written = 0;
            WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
            CloseHandle(f);
        }
    }
    lstrcpynA(output, text.c_str(), static_cast<int>(size));
    return 0;
}
