// Parsers of NLST -aFL and long-listing lines.
#include "ftp/listing_formats.h"

nlst_entry nlst_parse_line(std::string_view)
{
    return {};
}
long_listing_entry long_listing_parse_line(std::string_view, int, int)
{
    return {};
}
