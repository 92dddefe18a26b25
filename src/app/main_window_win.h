// The main window: a frame with the menu bar, the panes and the toolbar.
#pragma once

#include <windows.h>

class window_ {
public:
    // Registers the class and creates the window with the outer rectangle and show command.
    bool create(int x, int y, int width, int height, int show_command);
    HWND handle() const { return hwnd_; }

private:
    static LRESULT CALLBACK procedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT on_message(UINT, WPARAM, LPARAM);
    int on_create();
    void on_destroy();
    void on_move();
    void on_restored_size();

    HWND hwnd_ = nullptr;
    // Whether two panes are open now (command 213); the second pane comes with the panes.
    bool dual_window_ = false;
};
