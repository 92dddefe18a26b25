// The rules the file operation worker decides by.
#include "fileops/file_rw_rules.h"

#include "app/cp932.h"

bool is_protected_row(std::string_view attr)
{
    return (attr.size() > 0 && attr[0] == 's') || (attr.size() > 1 && attr[1] == 'h');
}

bool same_name(std::string_view a, std::string_view b)
{
    // Called for every row of a pane per arriving entry: no copies.
    if (a.size() != b.size())
        return false;
    auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
    for (std::size_t i = 0; i < a.size();) {
        std::size_t n = char_length(a, i);
        if (n == 1) {
            if (upper(a[i]) != upper(b[i]))
                return false;
        } else if (a.substr(i, n) != b.substr(i, n)) {
            return false;
        }
        i += n;
    }
    return true;
}

bool lies_inside(std::string_view target_dir, std::string_view source_dir, std::string_view name)
{
    std::string inner(source_dir);
    inner += name;
    if (target_dir.size() <= inner.size())
        return false;
    if (!same_name(target_dir.substr(0, inner.size()), inner))
        return false;
    // A cut in the middle of a double-byte character is no match of the whole name.
    std::string t(target_dir);
    if (is_trail_byte_at(t, inner.size()))
        return false;
    char next = target_dir[inner.size()];
    return next == '/' || next == '\\';
}
