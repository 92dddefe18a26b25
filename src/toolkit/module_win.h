// The module every resource lookup uses, the string table and the id-based message box.
#pragma once

#include <windows.h>

#include <string>

// The module set at start-up, or the executable's own when none was set.
HINSTANCE module_instance();
void set_module_instance(HINSTANCE instance);

// The string-table text of an id in the ANSI code page, or "?" when the id has none.
std::string resource_string(unsigned id, std::size_t size = 256);
// Message box with no owner: caption and text from the string table, OK, information icon.
void message_box_ids(unsigned caption_id, unsigned text_id);
