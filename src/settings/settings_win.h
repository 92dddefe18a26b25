// The Win32 side of the settings: environment expansion and the display font.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

// ExpandEnvironmentStringsA into a buffer of `size` bytes; false when the call fails or the
// expanded text does not fit.
bool expand_env(std::string& out, std::size_t size, std::string_view text);

// The display font of panes, information lines, wildcard boxes and the status bar, from
// settings(): height, weight, italic and face name; everything else at its default.
HFONT create_display_font();
