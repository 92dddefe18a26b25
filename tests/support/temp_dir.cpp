// Temporary directories for tests.
#include "support/temp_dir.h"

#include "platform/os.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

static std::string unique_suffix()
{
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    char text[32];
    std::snprintf(text, sizeof text, "%08X%04X", rd(), counter++ & 0xFFFF);
    return text;
}

temp_dir::temp_dir(bool upper_case_relative)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate;
        if (upper_case_relative) {
            candidate = "KVT" + unique_suffix();
        } else {
            std::error_code ec;
            fs::path base = fs::temp_directory_path(ec);
            if (ec)
                base = ".";
            candidate = (base / ("kvtest_" + unique_suffix())).generic_string();
        }
        if (os::make_directory(candidate)) {
            path_ = candidate;
            for (char& c : path_)
                if (c == '\\')
                    c = '/';
            return;
        }
    }
}

temp_dir::~temp_dir()
{
    if (!path_.empty())
        remove_tree(path_);
}

bool write_text_file(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool remove_tree(const std::string& path)
{
    std::error_code ec;
    // Read-only entries would stop the removal on Windows: make everything writable first.
    for (auto it = fs::recursive_directory_iterator(path, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ec);
    fs::remove_all(path, ec);
    return !fs::exists(path);
}
