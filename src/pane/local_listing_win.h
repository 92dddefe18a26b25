// Reading a pane's directory from the Windows file system, single rows, attributes, times, volumes.
#pragma once

#include "pane/pane.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Refills the pane from its directory; a directory that cannot be read gives way to its nearest
// readable ancestor, which becomes the pane's path. With set_current the (local) directory becomes
// the process's current directory. An FTP pane's rows come through the pane host (the listing
// cache); false only for an FTP pane whose listing is not available.
bool read_listing(Pane& pane, bool set_current);
// The end of every listing read, local or FTP, whose view holds its redraw since the rows were
// cleared: sort, cursor on row 0, redraw with all rows, information line.
void finish_listing(Pane& pane);

// One row for the entry file_name of the pane's directory, appended unsorted.
void add_local_entry(Pane& pane, bool is_dir, std::string_view file_name);
// One row from the facts of an FTP listing line, appended unsorted.
void add_ftp_entry(Pane& pane, bool is_dir, std::string_view file_name, std::optional<std::uint64_t> size,
                   std::optional<std::string_view> time14);

// The information line and the status-bar text of the pane, from its marks and its volume.
void update_pane_info(Pane& pane);

// Free bytes of the volume (0 when unknown); its cluster size in bytes (1 when unknown).
std::uint64_t free_bytes(const std::string& root);
int allocation_unit(const std::string& root);
// The file system name (at most 15 bytes) and the volume label (at most 127 bytes); "???" when
// they cannot be read.
struct volume_names {
    std::string file_system;
    std::string label;
};
volume_names volume_information(const std::string& root);

// The attributes of one path as an attribute text ("????" and false when they cannot be read).
bool attribute_text(const std::string& path, std::string& text);
// The last-write time of one path as a time text; false when it cannot be read.
bool file_time_text(const std::string& path, std::string& text);
bool set_attributes_from_text(const std::string& path, std::string_view text);
// Sets only the last-write time of an existing file from a time text (local time).
bool set_file_time_from_text(const std::string& path, std::string_view text);
