// File names between the server's encoding (Shift_JIS or UTF-8) and the code page 932 names the
// panes and the listing cache hold.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Whether a session's names travel in UTF-8: "utf8" always, "sjis" never, "auto" (or anything
// else) when the server's FEAT named UTF8.
bool names_in_utf8(std::string_view name_charset, bool feat_utf8);

// The code page 932 name of a name as the server sent it; none when it has no code page 932
// form (a character outside the code page, or one that would come back as another). A Shift_JIS
// name is taken as it is when every character of it is one of the code page's own.
std::optional<std::string> name_from_server(std::string_view wire, bool utf8);
// The name as the server takes it; none when it has no form there that comes back as itself.
std::optional<std::string> name_to_server(std::string_view name, bool utf8);
// For the report of names passed over only, never to name anything: the name with every
// character that has no code page 932 form, and every control byte, shown as '?'.
std::string name_for_report(std::string_view wire, bool utf8);

// A cache line that keeps the place of a name without a code page 932 form: no pane shows it,
// and a walk through the directory reports it instead of passing over it in silence.
std::string no_cp932_cache_line(std::string_view wire, bool utf8);
// The report name of such a line; none for every other line.
std::optional<std::string> no_cp932_line_name(std::string_view line);
