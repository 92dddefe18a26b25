// The layout file layout.ini: window rectangle, columns, sort, switches, pane directories, marks.
#pragma once

struct layout_state {
    int window_x = 0;
    int window_y = 0;
    int window_width = 320;
    int window_height = 440;
};

// The one layout state of the process (main thread).
layout_state& layout();

bool ensure_layout_file();
void read_layout();
// Writes the whole layout state into layout.ini; failures are ignored.
void write_layout();
