// The FTP listing cache: reading and writing dir.lst lines, and the rewrites after changes.
#include "ftp/listing_cache.h"

cache_entry cache_parse_line(std::string_view)
{
    return {};
}
std::vector<std::string_view> cache_split_lines(std::string_view, std::size_t)
{
    return {};
}
std::int64_t cache_size_value(std::string_view)
{
    return -1;
}
std::string cache_format_entry(std::string_view, std::string_view, std::int64_t)
{
    return {};
}
bool cache_write_entry(std::string_view, std::string_view, const std::string&, std::int64_t, bool)
{
    return false;
}
bool cache_remove_entry(const std::string&, std::string_view, bool)
{
    return false;
}
bool cache_rename_entry(std::string_view, const std::string&, std::string_view)
{
    return false;
}
std::string cache_time_to_text(std::string_view)
{
    return {};
}
bool cache_store_mlsd(const std::string&, int, bool&)
{
    return false;
}
bool cache_component_rule(std::string_view)
{
    return false;
}
std::string cache_file_path(std::string_view, std::string_view, std::string_view)
{
    return {};
}
bool cache_make_directories(std::string_view, std::string_view, std::string_view)
{
    return false;
}
