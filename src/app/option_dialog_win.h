// The options dialog: everything of kelvasto.ini on one template, written only on OK.
#pragma once

#include "fileops/file_dialogs_win.h"
#include "settings/settings.h"
#include "toolkit/controls_win.h"
#include "toolkit/timer_win.h"

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <string>

class dialog_option : public dialog {
public:
    void on_init() override;
    void on_destroy() override;
    void on_command(int id, HWND control_window) override;
    void on_timer(UINT_PTR id) override;

private:
    void accept();
    void add_network_folder();
    void choose_viewer();
    void choose_font();
    void show_font();
    void colour_chosen();
    void colour_typed();
    void show_sample();
    void add_extension();
    // Adds a text the list does not hold yet (notice 20 otherwise) and selects it; the first
    // row enables the list and its remove button.
    void add_row(listbox& list, int remove_button, const std::string& text);
    // Removes the selected row; the row that takes its place, or the new last one, is selected.
    void remove_row(listbox& list, int remove_button);

    std::string path_;
    // The working copy of what has no control of its own.
    std::string font_name_, font_style_;
    int font_size_ = 0, font_point_ = 0, font_weight_ = 0;
    bool font_italic_ = false;
    std::array<color_value, color_count> colours_{};
    bool filling_ = false; // the colour edits are being set: their changes are not the user's

    check confirm_copy_, confirm_move_, use_trash_;
    listbox network_folders_, extensions_;
    edit viewer_, font_, letters_;
    combo_color colour_;
    edit_color_r red_;
    edit_color_g green_;
    edit_color_b blue_;
    updown red_updown_, green_updown_, blue_updown_;
    static_sample sample_;
    timer timer_;
    std::unique_ptr<dialog_help> help_;
};

// Runs the dialog over the main window; 1 when the settings were written and read again.
int run_option_dialog(HWND owner);

// The network folder of a folder the browser handed back: a network path as it stands, or the
// target of a network-places shortcut folder (its target.lnk); none for anything else. The
// caller has COM initialised.
std::optional<std::string> network_folder_of(const std::string& folder);
