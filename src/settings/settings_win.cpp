// The Win32 side of the settings: environment expansion and the display font.
#include "settings/settings_win.h"

#include "settings/settings.h"

#include <vector>

bool expand_env(std::string& out, std::size_t size, std::string_view text)
{
    out.clear();
    if (size == 0)
        return false;
    std::string source(text);
    std::vector<char> buffer(size);
    DWORD n = ExpandEnvironmentStringsA(source.c_str(), buffer.data(), static_cast<DWORD>(size));
    // n counts the terminator; 0 is a failure and more than the buffer means it did not fit.
    if (n == 0 || n > size)
        return false;
    out.assign(buffer.data());
    return true;
}

HFONT create_display_font()
{
    const app_settings& s = settings();
    return CreateFontA(s.font_size, 0, 0, 0, s.font_weight, s.font_italic ? TRUE : FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, 0, 0, 0, 0, s.font_name.c_str());
}
