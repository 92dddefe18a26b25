// The dialogs of the one-entry file commands (rename, make, copy under a new name), of the
// attribute and time-stamp commands, the extension input and the help window.
#pragma once

#include "toolkit/control_win.h"
#include "toolkit/controls_win.h"

#include <memory>
#include <string>

// The commands (the owner is the main window); each returns the dialog's end code.
int run_rename(HWND owner);
int run_make(HWND owner, bool directory);
int run_backup(HWND owner);
int run_attribute(HWND owner);
int run_timestamp(HWND owner);

// The name dialog on DIALOG_NAME: the edit and what OK does.
class name_dialog : public dialog {
public:
    void on_destroy() override;
    void on_command(int id, HWND control_window) override;

protected:
    // Binds the edit with `old_name` and the caption; OK starts disabled.
    void open(unsigned caption_id, const std::string& old_name);
    // OK was pressed with the typed name; true ends the dialog (the code is set by the dialog).
    virtual void accept(const std::string& name) = 0;
    virtual void closing() {}
    // The name passes the pane's rule (local or FTP) and is not taken; otherwise the notice.
    bool name_usable(const std::string& name, bool check_taken);
    bool taken(const std::string& name);

    std::unique_ptr<edit_filename> name_;
    std::string old_name_;
    bool is_dir_ = false;
    bool local_ = true;
};

class dialog_rename : public name_dialog {
public:
    void on_init() override;

private:
    void accept(const std::string& name) override;
    void closing() override;
    void rename_rows(const std::string& name);
    int row_ = -1;
};

class dialog_make : public name_dialog {
public:
    explicit dialog_make(bool directory) : directory_(directory) {}
    void on_init() override;

private:
    void accept(const std::string& name) override;
    void closing() override;
    bool directory_;
};

class dialog_backup : public name_dialog {
public:
    void on_init() override;

private:
    void accept(const std::string& name) override;
    void closing() override;
};

class dialog_attribute : public dialog {
public:
    void on_init() override;
    void on_destroy() override;
    void on_command(int id, HWND control_window) override;

    const std::string& new_text() const { return new_; }

private:
    void apply();
    std::unique_ptr<check> boxes_[4];
    std::string old_;
    std::string new_;
    bool several_ = false;
};

class dialog_timestamp : public dialog {
public:
    void on_init() override;
    void on_destroy() override;
    void on_command(int id, HWND control_window) override;

    const std::string& new_text() const { return new_; }

private:
    void year_changed();
    void field_chosen(combo_fixed& list, std::size_t at);
    void rebuild_days();
    void check_ok();
    void apply();

    std::unique_ptr<edit_year> year_;
    std::unique_ptr<updown> year_updown_;
    std::unique_ptr<combo_month> month_;
    std::unique_ptr<combo_day> day_;
    std::unique_ptr<combo_hour> hour_;
    std::unique_ptr<combo_minute> minute_;
    std::unique_ptr<combo_second> second_;
    std::string old_;
    std::string new_;
    bool filling_ = false;
};

// The time-stamp dialog while it is open, or null.
dialog_timestamp* open_timestamp_dialog();

// The extension input: ends 1 with the text in extension_text(), or 2.
class dialog_extension : public dialog {
public:
    void on_init() override;
    void on_destroy() override;
    void on_command(int id, HWND control_window) override;

private:
    std::unique_ptr<edit_filename> text_;
};
std::string& extension_text();

// The help window (modeless): lines help_first_line() .. + help_line_count() - 1 of
// kelvasto.txt in the program directory. Closing it destroys the window; its owner sees the
// window gone and then deletes the object.
class dialog_help : public dialog {
public:
    void on_init() override;
    void on_destroy() override;
    void on_command(int id, HWND control_window) override;

private:
    std::unique_ptr<edit> text_;
};
int& help_first_line();
int& help_line_count();
// Sets the range and opens the help window over `owner`; null when it could not be made.
std::unique_ptr<dialog_help> open_help(HWND owner, int first_line, int line_count);
