// What the panes ask of the program above them: one interface the application implements and
// hands to the pane area at start-up, so that the pane never includes a layer above it.
#pragma once

#include <windows.h>

#include <string>

class combo;
struct Pane;

class pane_host {
public:
    virtual ~pane_host() = default;

    // The panes changed (a new listing, a mark, the cursor, the active pane): the states of the
    // commands follow.
    virtual void command_states_changed() {}
    // Opens one file of the active local pane, its name relative to the current directory.
    virtual bool open_file(const std::string& /*name*/) { return false; }
    // The FTP server entries after the drives and network folders of the left box, and the items
    // of the FTP server menu; how many entries were added.
    virtual int add_server_entries(combo& /*box*/, HMENU /*server_menu*/) { return 0; }
    // A pane enters the server of a box entry (false: it stays where it was) or leaves it.
    virtual bool open_server(int /*pane*/, int /*entry*/) { return false; }
    virtual void leave_server(int /*pane*/, int /*entry*/) {}
    // The rows of an FTP pane from the listing cache of its directory (false: not available);
    // make_current: the other pane's local directory becomes the current directory.
    virtual bool read_ftp_listing(Pane& /*pane*/, bool /*make_current*/) { return false; }
};
