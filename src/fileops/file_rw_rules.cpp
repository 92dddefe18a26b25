// The rules the file operation worker decides by.
#include "fileops/file_rw_rules.h"

#include "app/cp932.h"

bool is_protected_row(std::string_view attr)
{
    return (attr.size() > 0 && attr[0] == 's') || (attr.size() > 1 && attr[1] == 'h');
}

bool same_name(std::string_view a, std::string_view b)
{
    std::string ua(a), ub(b);
    mbs_upper(ua);
    mbs_upper(ub);
    return ua == ub;
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
