// What the control families share: string rows of the resources and the background brushes.
#pragma once

#include "toolkit/controls_win.h"
#include "toolkit/module_win.h"

#include <string>

// A string row of a row list; false when the row does not exist at all, which ends a list
// that lacks its "end" row instead of reading "?" rows for ever.
inline bool load_row(unsigned id, std::string& text)
{
    char buffer[128] = {};
    int n = LoadStringA(module_instance(), id, buffer, sizeof buffer);
    if (n <= 0)
        return false;
    text.assign(buffer, static_cast<std::size_t>(n));
    return true;
}

constexpr unsigned max_rows = 1000;
// The colour entries of the options dialog: "背景:ソース側" ... up to "end".
constexpr unsigned first_colour_row = 94;

inline void replace_brush(HBRUSH& brush, COLORREF background)
{
    if (brush)
        DeleteObject(brush);
    brush = background == transparent_colour ? nullptr : CreateSolidBrush(background);
}
