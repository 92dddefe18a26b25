// The OS seam for names that cross into another encoding: code page 932 and UTF-8, and the
// password protection of the Windows user.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace os {

// The code page 932 form of a UTF-8 text; none when the text is no UTF-8 or a character of it
// has no code page 932 form that reads back as that same character (no best-fit stand-ins:
// WAVE DASH U+301C is not the code page's 0x8160, which reads back as U+FF5E).
std::optional<std::string> utf8_to_cp932(std::string_view utf8);
// The UTF-8 form of a code page 932 text; none when it is not well formed or would come back as
// other bytes (0x8790, the NEC copy of ≒, comes back as 0x81E0).
std::optional<std::string> cp932_to_utf8(std::string_view cp932);

// Data protected for the current Windows user (DPAPI); none where that is not available (POSIX)
// or the call fails. unprotect_for_user gives none for data of another user or machine.
std::optional<std::string> protect_for_user(std::string_view data);
std::optional<std::string> unprotect_for_user(std::string_view blob);

} // namespace os
