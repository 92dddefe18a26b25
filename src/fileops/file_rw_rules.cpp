// The rules the file operation worker decides by.
#include "fileops/file_rw_rules.h"

#include "base/cp932.h"

bool asks_first(FileOpMode mode, bool both_local, bool confirm_copy, bool confirm_move)
{
    if (!mode.to_target || !both_local)
        return true;
    return mode.remove_source ? confirm_move : confirm_copy;
}

bool is_protected_row(std::string_view attr)
{
    return (attr.size() > 0 && attr[0] == 's') || (attr.size() > 1 && attr[1] == 'h');
}

bool same_name(std::string_view a, std::string_view b)
{
    return equal_text_nocase(a, b);
}

bool lies_inside(std::string_view target_dir, std::string_view source_dir, std::string_view name)
{
    return path_lies_inside(target_dir, source_dir, name);
}
