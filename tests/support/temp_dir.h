// A temporary directory for one test, removed with everything in it afterwards.
#pragma once

#include <string>

class temp_dir {
public:
    // A new directory under the system's temporary folder; with `upper_case_relative`, a new
    // directory in the current directory whose name has no lower-case letter (for code that
    // upper-cases directory names, as the environment-directory rule does).
    explicit temp_dir(bool upper_case_relative = false);
    ~temp_dir();
    temp_dir(const temp_dir&) = delete;
    temp_dir& operator=(const temp_dir&) = delete;

    // The directory with forward slashes, without a trailing slash.
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Writes the bytes into the file (created or replaced); false on failure.
bool write_text_file(const std::string& path, const std::string& bytes);
