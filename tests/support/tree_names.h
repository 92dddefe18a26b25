// What a test leaves on the disk: every path below a directory, so that a stray work file or a
// directory made outside its place shows in one comparison.
#pragma once

#include <filesystem>
#include <set>
#include <string>

// Relative to `root` with forward slashes; directories end in '/'.
inline std::set<std::string> tree_names(const std::string& root)
{
    std::set<std::string> paths;
    const std::filesystem::path base(root);
    for (const auto& e : std::filesystem::recursive_directory_iterator(base)) {
        std::string relative = e.path().lexically_relative(base).generic_string();
        paths.insert(e.is_directory() ? relative + "/" : relative);
    }
    return paths;
}
