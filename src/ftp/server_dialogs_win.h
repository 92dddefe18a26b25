// The server definition dialog and the password prompt.
#pragma once

#include "ftp/server_controls_win.h"
#include "toolkit/control_win.h"
#include "toolkit/controls_win.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// Defines a new server (no index) or edits the index-th one; ends 1 when ftp.ini changed (saved
// or deleted), after which the caller re-reads the drives. `help` opens the help window over the
// dialog at a first line for a number of lines.
class dialog_drive_ftp : public dialog {
public:
    dialog_drive_ftp(std::optional<std::size_t> index, std::function<void(HWND, int, int)> help)
        : index_(index), help_(std::move(help))
    {
    }
    void on_init() override;
    void on_destroy() override;
    void on_command(int id, HWND control_window) override;

private:
    void accept();
    void remove();

    std::optional<std::size_t> index_;
    std::function<void(HWND, int, int)> help_;
    std::string old_title_;
    std::string old_server_;
    std::unique_ptr<edit_account> title_;
    std::unique_ptr<edit_server> server_;
    std::unique_ptr<combo_fixed> zone_;
    std::unique_ptr<combo_fixed> charset_;
    std::unique_ptr<edit_port> port_;
    std::unique_ptr<updown> port_updown_;
    std::unique_ptr<edit_ftpid> user_;
    std::unique_ptr<edit> password_;
    std::unique_ptr<edit> directory_;
    std::unique_ptr<check> keep_;
    std::unique_ptr<combo_fixed> security_;
    std::unique_ptr<combo_fixed> name_charset_;
    std::unique_ptr<check> protect_;
    // The stored form as read: a protected one this user cannot read is kept while no password
    // is typed in its place.
    std::string old_password_;
};

// Asks for the password of a server that stores none; ends 1 with the typed text.
class dialog_password : public dialog {
public:
    void on_init() override;
    void on_destroy() override;
    void on_command(int id, HWND control_window) override;
    const std::string& typed() const { return typed_; }

private:
    std::unique_ptr<edit_ftppwd> password_;
    std::string typed_;
};
