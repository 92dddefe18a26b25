// The texts the controls keep: combo items carrying an icon number, and the log edit's trimming.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Item texts with icons, the form callers may add combo items in: ":3:C:" is icon 3 with the text
// "C:"; ":-1::x" is the text ":x" without one. Splits such a text into its icon (or -1) and text.
int split_icon_item(const std::string& item, std::string* text);

// Where a log of text `all` starts once it reaches `limit` bytes with its terminator: after as
// many whole CR LF lines as it takes to fit; one line longer than the whole log keeps its tail,
// cut at a character boundary.
std::size_t log_trim_start(std::string_view all, std::size_t limit);
