// The main window's geometry: where each pane's controls go in the client area.
#pragma once

struct control_rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const control_rect&) const = default;
};

// One pane's controls: the current-directory box and the wildcard field on the row under the
// toolbar, the information line under them, the list down to the status bar.
struct pane_rects {
    control_rect box;
    control_rect wildcard;
    control_rect info;
    control_rect list;
};

constexpr int wildcard_width = 96;
constexpr int top_row_height = 28;
constexpr int info_height = 20;
constexpr int status_height = 24;

// Pane 1 (left) or 2 (right) in a client area of width x height under a toolbar `toolbar`
// high; with two panes each takes half of what is left after 2 * edge between them.
pane_rects pane_control_rects(int pane, int width, int height, int toolbar, int edge, bool dual);
