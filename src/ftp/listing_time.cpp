// Server zone to local time for listing cache times.
#include "ftp/listing_time.h"

int local_zone()
{
    return 0;
}
void local_year_month(int& year, int& month)
{
    year = 1970;
    month = 1;
}
bool convert_zone_time(int, int, std::span<char>)
{
    return false;
}
bool convert_server_time(int, std::span<char>)
{
    return false;
}
bool convert_server_time(int, std::string&)
{
    return false;
}
