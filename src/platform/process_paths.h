// Paths that ask the operating system: the program and temporary directories of this run,
// absolute paths, environment directories, temporary files.
#pragma once

#include <string>
#include <string_view>

// The absolute form of a path relative to the current directory, with forward slashes.
std::string absolute_path(std::string_view relative);

// An environment variable as a directory ("C:/TEMP/", upper case) or as upper-case text;
// empty when it is not set or set to nothing.
std::string read_env_dir(const char* name, bool directory);

// The directory for temporary files: TMP_RAM, then TMP, then TEMP (read afresh each time).
std::string temp_directory();

// Makes a new empty file from a template such as "LIB_$$$$.TMP" in the temporary directory,
// numbering the run of '$' from 0; an existing name, even one made a moment ago by another
// process, is never reused. False when the template has no '$' or the numbers run out.
bool make_temp_file(std::string& path, std::string_view name_template);

// The directories of this run, found once at start-up and read-only afterwards.
struct process_dirs {
    std::string program_dir; // forward slashes, ends with "/": the configuration files live here
    std::string temp_dir;    // TMP_RAM, TMP or TEMP in directory form, or empty

    // program_dir + file name: the path of a configuration file.
    std::string program_file(const char* name) const { return program_dir + name; }
};
process_dirs& dirs();
