// Code page 932 names and user-bound protection on Windows (MultiByteToWideChar, DPAPI).
#include "platform/code_page.h"

#include <windows.h>

#include <wincrypt.h>

namespace os {
namespace {

constexpr UINT cp932 = 932;

std::optional<std::wstring> to_wide(UINT code_page, std::string_view text)
{
    if (text.empty())
        return std::wstring();
    int n = MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                                nullptr, 0);
    if (n <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                        wide.data(), n);
    return wide;
}

// WideCharToMultiByte to code page 932 refuses a character it would replace; UTF-8 has a form for
// every character.
std::optional<std::string> from_wide(UINT code_page, const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    BOOL used_default = FALSE;
    BOOL* used = code_page == CP_UTF8 ? nullptr : &used_default;
    DWORD flags = code_page == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    int n = WideCharToMultiByte(code_page, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                nullptr, used);
    if (n <= 0 || used_default)
        return std::nullopt;
    std::string text(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(code_page, flags, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr,
                        used);
    if (used_default)
        return std::nullopt;
    return text;
}

std::optional<std::string> convert(UINT from, UINT to, std::string_view text)
{
    std::optional<std::wstring> wide = to_wide(from, text);
    if (!wide)
        return std::nullopt;
    std::optional<std::string> out = from_wide(to, *wide);
    // The round trip: a character that comes back as another is no form of it.
    if (!out || to_wide(to, *out) != wide)
        return std::nullopt;
    return out;
}

} // namespace

std::optional<std::string> utf8_to_cp932(std::string_view utf8)
{
    return convert(CP_UTF8, cp932, utf8);
}

std::optional<std::string> cp932_to_utf8(std::string_view text)
{
    std::optional<std::string> utf8 = convert(cp932, CP_UTF8, text);
    if (!utf8 || convert(CP_UTF8, cp932, *utf8) != std::string(text))
        return std::nullopt;
    return utf8;
}

std::optional<std::string> protect_for_user(std::string_view data)
{
    DATA_BLOB in{static_cast<DWORD>(data.size()), reinterpret_cast<BYTE*>(const_cast<char*>(data.data()))};
    DATA_BLOB out{};
    if (!CryptProtectData(&in, L"Kelvasto", nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out))
        return std::nullopt;
    std::string blob(reinterpret_cast<const char*>(out.pbData), out.cbData);
    LocalFree(out.pbData);
    return blob;
}

std::optional<std::string> unprotect_for_user(std::string_view blob)
{
    DATA_BLOB in{static_cast<DWORD>(blob.size()), reinterpret_cast<BYTE*>(const_cast<char*>(blob.data()))};
    DATA_BLOB out{};
    if (!CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out))
        return std::nullopt;
    std::string data(reinterpret_cast<const char*>(out.pbData), out.cbData);
    SecureZeroMemory(out.pbData, out.cbData);
    LocalFree(out.pbData);
    return data;
}

} // namespace os
