// Starting a program or opening a document through the shell, never a console program.
#pragma once

#include <windows.h>

#include <string>

// ".COM" and ".BAT" (any case), and ".EXE" files whose executable type is MS-DOS or console.
bool is_console_program(const std::string& path);
// ShellExecuteA "open" owned by the main window; false for a console program or a failed start.
bool shell_run(const std::string& program, const char* arguments = nullptr);
// As shell_run, through ShellExecuteExA: `process` gets the started program's handle (null when
// the shell started none), for the caller to close.
bool shell_start(const std::string& program, const char* arguments, HANDLE* process);
// Opens one file of the active local pane (name relative to the current directory): its
// extension program, else the program its type is associated with, else the text viewer.
bool open_file(const std::string& name);
