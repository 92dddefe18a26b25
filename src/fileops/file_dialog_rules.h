// The rules of the one-entry dialogs without their windows: the rename's name check, the
// attribute ticks and the rows a new time stamp skips.
#pragma once

#include "pane/listing.h"

#include <string>
#include <string_view>

// A rename beyond letter case can meet another entry of the new name: only then is it looked for.
bool rename_meets_others(std::string_view old_name, std::string_view new_name);

// Attribute texts are "shra" with '-' for an attribute not set. One row starts from its own
// text (padded to four), several rows from "----".
std::string attributes_at_start(std::string_view attr_text, bool several);
// Ticking or clearing box `box` (0 system, 1 hidden, 2 read-only, 3 archive).
void tick_attribute(std::string& attr_text, int box, bool ticked);
// OK is open for several rows always, for one row once its text differs from the row's.
bool attributes_ok(std::string_view start, std::string_view now, bool several);
// Rows that become system or hidden leave the listing while such entries are hidden.
bool attributes_hide_row(std::string_view attr_text, bool hide_system);

// A new time stamp skips directories and system, hidden and read-only files.
bool stamp_skips(const FileEntry& row);
