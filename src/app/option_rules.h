// The checks of the options dialog: the command letters, the two lists as the settings file
// stores them, and which folder of the folder browser can be a network folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Exactly eleven capital letters "A" to "Z", one per command letter; a letter may serve twice
// (the key map lets the earlier command have it).
bool key_letters_valid(std::string_view text);

// The network folders as "netdrive" stores them: joined with ":" between them. The text
// extensions as "text extension" stores them: each after a ".". Both in the order given, and
// only whole entries that fit the 32768-byte list buffer: an entry cut in two would name
// another folder or another extension.
std::string join_netdrive(const std::vector<std::string>& folders);
std::string join_text_extensions(const std::vector<std::string>& extensions);
// The entries of a "text extension" value: the texts between the dots; a value that does not
// begin with "." is an empty list, and an empty text between two dots is no entry.
std::vector<std::string> text_extension_entries(std::string_view setting);

// A folder the browser may hand back (both in forward-slash form): one directly inside the
// network-places folder, compared without regard to ASCII case.
bool directly_inside(std::string_view path, std::string_view folder);
// The network folder entry of a share's path ("\\srv\share" or "//srv/share/"): forward slashes
// and one "/" at the end; none for anything that is not a network path.
std::optional<std::string> network_folder_entry(std::string_view path);
