// Time texts of the listing cache: server zone to local time for MLSD and MDTM times.
#pragma once

#include <cstddef>
#include <span>
#include <string>

// The local zone as ±HHMM (900 for +09:00), from the standard offset of local time from UTC
// (local = UTC - _timezone seconds).
int local_zone();

// Today's local year and month (1-12), for long listings that show no year.
void local_year_month(int& year, int& month);

// Rewrites the first 14 characters (YYYYMMDDhhmmss) from zone `from_zone` to zone `to_zone`
// (both ±HHMM), carrying across day, month and year ends; seconds and every character after
// the 14th stay as they are. False (text unchanged) when they are not a valid time.
bool convert_zone_time(int from_zone, int to_zone, std::span<char> time);

// The server's time in place as local time: convert_zone_time(server_zone, local_zone(), time).
bool convert_server_time(int server_zone, std::span<char> time);
bool convert_server_time(int server_zone, std::string& time);
