// The program entry of kelvasto.exe.
#include "app/app_main_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int show_command)
{
    return win_main(instance, command_line, show_command);
}
