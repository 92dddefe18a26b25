// Process-wide start-up state: instance, program and temporary directories, the main window.
#pragma once

#include <memory>
#include <string>

class window_;
class shell_icons;

struct app_context {
    void* instance = nullptr;  // module instance for every resource lookup
    std::string command_line;  // stored, never interpreted
    std::string program_dir;   // forward slashes, ends with "/"
    std::string temp_dir;      // directory form, or empty
    std::string ram_temp_dir;  // TMP_RAM in directory form, or empty
    window_* main_window = nullptr;
    shell_icons* icons = nullptr;

    // program_dir + file name: the path of a configuration file.
    std::string program_file(const char* name) const { return program_dir + name; }
};

// The one instance; written only during start-up, read-only afterwards.
app_context& app();
