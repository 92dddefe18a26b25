// The watcher calls of the panes. The directory watcher thread plugs in here: until it does, a
// pane is read again only when the user or a command asks for it.
#include "pane/pane_view_win.h"

void start_watcher(int) {}
void stop_watcher(int) {}
void suspend_watcher(int) {}
void resume_watcher(int) {}
