// Shift_JIS, EUC-JP and ISO-2022-JP conversions of whole text files.
#include "ftp/charset.h"

unsigned jis_to_sjis(unsigned)
{
    return 0;
}
unsigned sjis_to_jis(unsigned)
{
    return 0;
}
unsigned kana_to_full_width(unsigned char)
{
    return 0;
}
bool euc_to_sjis_text(std::string_view, std::string&)
{
    return false;
}
bool jis_to_sjis_text(std::string_view, std::string&)
{
    return false;
}
bool sjis_to_euc_text(std::string_view, std::string&)
{
    return false;
}
bool kana_to_full_width_text(std::string_view, std::string&)
{
    return false;
}
bool sjis_to_jis_text(std::string_view, std::string&)
{
    return false;
}
bool convert_euc_to_sjis(const std::string&)
{
    return false;
}
bool convert_jis_to_sjis(const std::string&)
{
    return false;
}
bool convert_sjis_to_euc(const std::string&)
{
    return false;
}
bool convert_kana_to_full_width(const std::string&)
{
    return false;
}
bool convert_sjis_to_jis(const std::string&)
{
    return false;
}
