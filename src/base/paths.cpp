// Pure path and text operations: separators, bounded copies, parent paths, swap names.
#include "base/paths.h"

#include "base/cp932.h"

#include <cstdio>
#include <cstring>

void to_slashes(std::string& text)
{
    for (std::size_t i = 0; i < text.size(); i += char_length(text, i))
        if (text[i] == '\\')
            text[i] = '/';
}

void to_slashes(char* text)
{
    for (std::size_t i = 0; text[i];) {
        if (is_lead_byte(static_cast<unsigned char>(text[i])) && text[i + 1]) {
            i += 2;
            continue;
        }
        if (text[i] == '\\')
            text[i] = '/';
        ++i;
    }
}

void to_backslashes(std::string& text)
{
    for (char& c : text)
        if (c == '/')
            c = '\\';
}

void to_backslashes(char* text)
{
    for (; *text; ++text)
        if (*text == '/')
            *text = '\\';
}

void copy_bounded(char* destination, std::size_t n, std::string_view source)
{
    if (n == 0)
        return;
    std::size_t len = source.size() < n ? source.size() : n - 1;
    std::memcpy(destination, source.data(), len);
    destination[len] = '\0';
}

void append_bounded(char* destination, std::size_t n, std::string_view source)
{
    std::size_t used = ::strnlen(destination, n);
    if (used + 1 >= n)
        return;
    copy_bounded(destination + used, n - used, source);
}

std::string bounded(std::string_view source, std::size_t n)
{
    if (n == 0)
        return {};
    return std::string(source.substr(0, source.size() < n ? source.size() : n - 1));
}

void append_bounded(std::string& destination, std::size_t n, std::string_view source)
{
    if (destination.size() + 1 >= n)
        return;
    std::size_t room = n - destination.size() - 1;
    destination.append(source.substr(0, source.size() < room ? source.size() : room));
}

void parent_path(std::string& path)
{
    std::size_t last = mbs_rfind_separator(path);
    if (last == std::string::npos)
        return;
    if (last + 1 == path.size()) {
        path.resize(last);
        last = mbs_rfind_separator(path);
        if (last == std::string::npos)
            return;
    }
    path.resize(last + 1);
}

std::string make_swap_name(std::string_view path)
{
    std::string swap(path);
    std::size_t sep = mbs_rfind_separator(swap);
    std::size_t dot = mbs_find(swap, '.', sep == std::string::npos ? 0 : sep + 1);
    if (dot != std::string::npos)
        swap.resize(dot + 1);
    else
        swap += '.';
    swap += "$$$";
    return swap;
}

std::string tz_text(long bias)
{
    char text[32];
    if (bias < 0)
        std::snprintf(text, sizeof text, "TZ=JST-%ld:%ld", -bias / 60, -bias % 60);
    else
        std::snprintf(text, sizeof text, "TZ=JST+%ld:%ld", bias / 60, bias % 60);
    return text;
}

std::string directory_of(std::string_view file_path)
{
    std::string dir = bounded(file_path, path_size);
    to_slashes(dir);
    std::size_t last = mbs_rfind(dir, '/');
    dir.resize(last == std::string::npos ? 0 : last + 1);
    return dir;
}
