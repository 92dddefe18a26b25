// Icon indexes into the system's small-icon image list.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

class shell_icons {
public:
    shell_icons();
    HIMAGELIST image_list() const { return image_list_; }
    int folder_icon() const { return folder_icon_; }
    int network_icon() const { return network_icon_; }
    int generic_file_icon() const { return generic_file_icon_; }

    // The icon index of a path; a path ending in ".." is a folder.
    int icon_of(const std::string& path) const;

private:
    HIMAGELIST image_list_ = nullptr; // belongs to the system: never destroyed
    bool shared_ = true;
    int folder_icon_ = 0;
    int network_icon_ = 0;
    int generic_file_icon_ = 0;
};

// The one set of icons of the process, made at start-up; null before (and in programs that
// show no files).
shell_icons* system_icons();
void set_system_icons(shell_icons* icons);
