// Process entry, single-instance rule, configuration checks, main window and message loop.
#pragma once

#include <windows.h>

int win_main(HINSTANCE instance, const char* command_line, int show_command);
int app_main(int show_command);
// UpdateWindow, then GetMessageA / TranslateMessage / DispatchMessageA until WM_QUIT.
int run_message_loop(HWND main_window);
