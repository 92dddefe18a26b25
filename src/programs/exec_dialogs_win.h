// The three dialogs of a program run: a file name asked for, the finished parameter text, and an
// archiver library's output.
#pragma once

#include "toolkit/control_win.h"
#include "toolkit/controls_win.h"

#include <memory>
#include <string>

// Asks for a name on DIALOG_NAME (caption string 7); OK only with a name the file-name rule
// accepts. Ends with 1 (the name in `name`) or 2.
class dialog_exec_input : public dialog {
public:
    void on_init() override;
    void on_destroy() override;
    void on_command(int id, HWND control_window) override;

    std::string name;

private:
    std::unique_ptr<edit_filename> edit_;
};

// Shows the expanded parameter text for a last edit; 1 with the edited `text`, or 2.
class dialog_exec_confirm : public dialog {
public:
    explicit dialog_exec_confirm(std::string parameter) : text(std::move(parameter)) {}
    void on_init() override;
    void on_destroy() override;
    void on_command(int id, HWND control_window) override;

    std::string text;

private:
    std::unique_ptr<edit> edit_;
};

// A library's output, read-only, closed with "閉じる" or Esc.
class dialog_exec_result : public dialog {
public:
    explicit dialog_exec_result(const char* output) : output_(output) {}
    void on_init() override;
    void on_destroy() override;
    void on_command(int id, HWND control_window) override;

private:
    const char* output_;
    std::unique_ptr<edit> edit_;
};
