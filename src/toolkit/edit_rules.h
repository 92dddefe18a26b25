// When the edits that guard a dialog's OK button open it.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// A name edit: a text that is not empty and differs, ignoring ASCII case, from the one given first.
bool name_edit_ok(std::string_view text, std::string_view initial);
// A group of required fields: every field holds text.
bool required_fields_ok(const std::vector<std::size_t>& lengths);
