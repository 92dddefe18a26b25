// The list files of the file operations, written and read byte for byte.
#include "fileops/batch_list.h"

#include "base/cp932.h"
#include "base/paths.h"

#include <cstring>

std::string list_file_path(const std::string& temp_dir, const char* name)
{
    return temp_dir + name;
}

std::string batch_list_entry(std::string_view path)
{
    std::string entry(path);
    if (!entry.empty() && (entry.back() == '/' || entry.back() == '\\') &&
        !is_trail_byte_at(entry, entry.size() - 1))
        entry.pop_back();
    return entry;
}

std::string batch_list_bytes(const std::vector<std::string>& paths)
{
    std::string bytes;
    for (const auto& p : paths) {
        bytes += batch_list_entry(p);
        bytes += '\0';
    }
    bytes += '\0';
    return bytes;
}

std::string shell_source_text(std::string_view list_bytes)
{
    std::string text;
    std::size_t i = 0;
    while (i < list_bytes.size()) {
        std::size_t end = list_bytes.find('\0', i);
        if (end == std::string_view::npos)
            end = list_bytes.size();
        if (end == i)
            break; // the list's end
        std::string entry(list_bytes.substr(i, end - i));
        to_backslashes(entry);
        text += entry;
        text += '\0';
        i = end + 1;
    }
    text += '\0';
    if (text.size() == 1)
        text += '\0'; // an empty list is still ended by two zero bytes
    return text;
}

batch_list_file::~batch_list_file()
{
    if (file_)
        std::fclose(file_);
}

bool batch_list_file::create(const std::string& path)
{
    path_ = path;
    count_ = 0;
    file_ = std::fopen(path.c_str(), "wb");
    return file_ != nullptr;
}

bool batch_list_file::add(std::string_view path)
{
    if (!file_)
        return false;
    std::string entry = batch_list_entry(path);
    entry += '\0';
    if (std::fwrite(entry.data(), 1, entry.size(), file_) != entry.size())
        return false;
    ++count_;
    return true;
}

bool batch_list_file::finish()
{
    if (!file_)
        return false;
    bool ok = std::fputc('\0', file_) != EOF;
    ok = std::fflush(file_) == 0 && ok;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    return ok;
}

void batch_list_file::discard()
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!path_.empty())
        std::remove(path_.c_str());
}

std::string time14_of_text(std::string_view t)
{
    // Places of year, month, day, hour, minute and second in "%d.%2d.%2d %2d:%02d.%02d".
    static constexpr std::size_t places[] = {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18};
    std::string digits;
    for (std::size_t p : places) {
        char c = p < t.size() ? t[p] : '0';
        digits += c == ' ' ? '0' : c;
    }
    return digits;
}

std::string transfer_list_line(bool is_dir, std::string_view file_name, std::string_view time_text)
{
    std::string line;
    if (is_dir) {
        line = "Type=dir ";
    } else {
        line = "Type=file;Modify=";
        line += time14_of_text(time_text);
        line += ' ';
    }
    line += file_name;
    line += "\r\n";
    return line;
}
