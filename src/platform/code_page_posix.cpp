// Code page 932 names on POSIX through the C library's iconv; no user-bound protection here.
#include "platform/code_page.h"

#include <iconv.h>

namespace os {
namespace {

std::optional<std::string> convert(const char* to, const char* from, std::string_view text)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string in(text);
    std::string out(text.size() * 4 + 4, '\0');
    char* in_at = in.data();
    std::size_t in_left = in.size();
    char* out_at = out.data();
    std::size_t out_left = out.size();
    std::size_t done = iconv(cd, &in_at, &in_left, &out_at, &out_left);
    iconv_close(cd);
    // A positive count is of irreversible conversions: a stand-in, never the name itself.
    if (done != 0 || in_left != 0)
        return std::nullopt;
    out.resize(out.size() - out_left);
    return out;
}

} // namespace

std::optional<std::string> utf8_to_cp932(std::string_view utf8)
{
    std::optional<std::string> cp932 = convert("CP932", "UTF-8", utf8);
    if (!cp932 || convert("UTF-8", "CP932", *cp932) != std::string(utf8))
        return std::nullopt;
    return cp932;
}

std::optional<std::string> cp932_to_utf8(std::string_view cp932)
{
    std::optional<std::string> utf8 = convert("UTF-8", "CP932", cp932);
    if (!utf8 || convert("CP932", "UTF-8", *utf8) != std::string(cp932))
        return std::nullopt;
    return utf8;
}

std::optional<std::string> protect_for_user(std::string_view)
{
    return std::nullopt;
}

std::optional<std::string> unprotect_for_user(std::string_view)
{
    return std::nullopt;
}

} // namespace os
