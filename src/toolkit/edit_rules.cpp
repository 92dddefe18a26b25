// When the name edit and the required-field edits open OK.
#include "toolkit/edit_rules.h"

#include "base/cp932.h"

bool name_edit_ok(std::string_view text, std::string_view initial)
{
    return !text.empty() && compare_text_nocase(text, initial) != 0;
}

bool required_fields_ok(const std::vector<std::size_t>& lengths)
{
    for (std::size_t n : lengths)
        if (n == 0)
            return false;
    return true;
}
