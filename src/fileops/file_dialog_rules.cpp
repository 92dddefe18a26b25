// The rename's name check, the attribute ticks and the rows a new time stamp skips.
#include "fileops/file_dialog_rules.h"

#include "base/cp932.h"

namespace {

constexpr char attribute_letters[5] = "shra";

bool has(std::string_view attr, std::size_t at, char letter)
{
    return attr.size() > at && attr[at] == letter;
}

} // namespace

bool rename_meets_others(std::string_view old_name, std::string_view new_name)
{
    return compare_text_nocase(new_name, old_name) != 0;
}

std::string attributes_at_start(std::string_view attr_text, bool several)
{
    std::string text = several ? "----" : std::string(attr_text.substr(0, 4));
    text.resize(4, '-');
    return text;
}

void tick_attribute(std::string& attr_text, int box, bool ticked)
{
    if (box < 0 || box >= 4)
        return;
    attr_text.resize(4, '-');
    attr_text[static_cast<std::size_t>(box)] = ticked ? attribute_letters[box] : '-';
}

bool attributes_ok(std::string_view start, std::string_view now, bool several)
{
    return several || now != start;
}

bool attributes_hide_row(std::string_view attr_text, bool hide_system)
{
    return hide_system && (has(attr_text, 0, 's') || has(attr_text, 1, 'h'));
}

bool stamp_skips(const FileEntry& row)
{
    std::string attr = row.attr_text();
    return is_dir_entry(row) || has(attr, 0, 's') || has(attr, 1, 'h') || has(attr, 2, 'r');
}
