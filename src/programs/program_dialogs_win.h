// The editors of program entries: manual programs in program.ini, extension programs in
// programe.ini.
#pragma once

#include "programs/program_controls_win.h"
#include "programs/program_defs.h"
#include "toolkit/control_win.h"
#include "toolkit/controls_win.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// Edits the index-th manual program, or makes a new one (no index); ends 1 when program.ini
// changed (saved or deleted), 2 otherwise. `help` opens the help window over the dialog at a
// first line for a number of lines.
class dialog_program : public dialog {
public:
    dialog_program(std::optional<std::size_t> index, std::function<void(HWND, int, int)> help)
        : dialog_program(program_file::manual, index, std::move(help))
    {
    }
    void on_init() override;
    void on_destroy() override;
    void on_command(int id, HWND control_window) override;

protected:
    dialog_program(program_file which, std::optional<std::size_t> index,
                   std::function<void(HWND, int, int)> help)
        : which_(which), index_(index), help_(std::move(help))
    {
    }

private:
    void accept();
    void remove();
    void browse();

    program_file which_;
    std::optional<std::size_t> index_;
    std::function<void(HWND, int, int)> help_;
    std::string path_;
    std::unique_ptr<edit_title> title_;
    std::unique_ptr<edit_program> program_;
    std::unique_ptr<edit_parameter> parameter_;
    std::unique_ptr<check> confirm_;
    std::unique_ptr<check> shift_only_; // extension programs only
};

// The same for extension programs: the title lists extensions, and "SHIFT時のみ" keeps the entry
// for openings made with Shift held down (its section name ends in "(SHIFT)").
class dialog_program_ext : public dialog_program {
public:
    dialog_program_ext(std::optional<std::size_t> index, std::function<void(HWND, int, int)> help)
        : dialog_program(program_file::extension, index, std::move(help))
    {
    }
};

// Opens the editor of that file over `owner` on its template; its exit code.
int edit_program_entry(program_file which, std::optional<std::size_t> index, HWND owner,
                       std::function<void(HWND, int, int)> help);

// A special folder of the system (CSIDL_...), or empty when it has none.
std::string special_folder(HWND owner, int which);
// The open-file dialog for a program (*.exe, *.pif, *.dll), starting in the program-files
// folder; the chosen path with forward slashes, none when the user cancelled.
std::optional<std::string> choose_program_file(HWND owner);
