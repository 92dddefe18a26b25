// The main window's geometry as integer arithmetic over the client size.
#include "app/window_geometry.h"

pane_rects pane_control_rects(int pane, int width, int height, int toolbar, int edge, bool dual)
{
    int half = (width - 2 * edge) / 2;
    int x = dual && pane == 2 ? 2 * edge + half : 0;
    int w = dual ? half : width;
    int t = toolbar;
    pane_rects r;
    r.box = {x, t, w - 2 * edge - wildcard_width, height - status_height - t};
    r.wildcard = {x + w - wildcard_width, t, wildcard_width, 26};
    r.info = {x, t + top_row_height, w, info_height - 2};
    r.list = {x, t + top_row_height + info_height, w,
              height - status_height - info_height - top_row_height - t};
    return r;
}
