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
            path_ = candidate; // generic_string has forward slashes on Windows too
            return;
        }
    }
}

temp_dir::~temp_dir()
{
    if (!path_.empty())
        os::remove_directory_tree(path_); // read-only entries too, and links are not followed
}

bool write_text_file(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}
