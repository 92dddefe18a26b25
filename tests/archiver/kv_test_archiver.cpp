// A stand-in archiver library: KvArchive(owner, command line, output, size), called as the file
// manager calls an archiver. The command line is a verb and blank-separated words, each perhaps in
// double quotes; "@path" names a list file. Verb "f" fills all of `size` bytes, no terminator;
// otherwise the output names the verb, the owner and the command line, then each list read, and
// verb "a" also writes that text into the file its first word names.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

extern "C" __declspec(dllexport) int WINAPI KvArchive(HWND owner, LPCSTR command, LPSTR output, DWORD size)
{
    std::vector<std::string> words;
    for (const char* p = command; *p;) {
        if (*p == ' ') {
            ++p;
            continue;
        }
        char end = *p == '"' ? *p++ : ' ';
        std::string w;
        while (*p && *p != end)
            w += *p++;
        if (*p == '"')
            ++p;
        words.push_back(w);
    }
    std::string verb = words.empty() ? "" : words[0];
    if (verb == "f") {
        for (DWORD i = 0; i < size; ++i)
            output[i] = static_cast<char>('a' + i % 26);
        return 0;
    }
    char head[64];
    std::snprintf(head, sizeof head, "kv archiver %s owner %p\r\n", verb.c_str(), static_cast<void*>(owner));
    std::string text = head + ("command: " + std::string(command) + "\r\n");
    char buffer[4096];
    DWORD got = 0;
    for (const std::string& w : words) {
        HANDLE f = w[0] == '@'
                       ? CreateFileA(w.c_str() + 1, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                       : INVALID_HANDLE_VALUE;
        if (f == INVALID_HANDLE_VALUE)
            continue;
        text += "list " + w.substr(1) + ":\r\n";
        while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0)
            text.append(buffer, got);
        CloseHandle(f);
    }
    HANDLE f = verb == "a" && words.size() > 1
                   ? CreateFileA(words[1].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)
                   : INVALID_HANDLE_VALUE;
    if (f != INVALID_HANDLE_VALUE) {
        WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
        CloseHandle(f);
    }
    lstrcpynA(output, text.c_str(), static_cast<int>(size));
    return 0;
}
