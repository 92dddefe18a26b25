// The dialogs of a program run: the name input, the parameter confirmation and the library result.
#include "programs/exec_dialogs_win.h"

#include "base/name_rules.h"
#include "base/paths.h"
#include "dialogs.h"
#include "resource.h"

void dialog_exec_input::on_init()
{
    center_on_parent();
    set_title_from_string(IDS_ASK_FILE_NAME);
    edit_ = std::make_unique<edit_filename>();
    edit_->bind(hwnd_, ID_NAME);
    edit_->set_initial("");
    EnableWindow(GetDlgItem(hwnd_, IDOK), FALSE);
    edit_->set_focus();
}

void dialog_exec_input::on_destroy()
{
    edit_.reset();
}

void dialog_exec_input::on_command(int id, HWND)
{
    if (id == IDCANCEL) {
        end(2);
        return;
    }
    // Enter presses the default button even while it is greyed.
    if (id != IDOK || !edit_ || !IsWindowEnabled(GetDlgItem(hwnd_, IDOK)))
        return;
    edit_->set_focus();
    name = edit_->get_text(path_size);
    if (!local_name_rule(name)) {
        inform(IDS_CAPTION_INFORMATION, local_name_rule_message);
        edit_->set_focus();
        return;
    }
    end(1);
}

void dialog_exec_confirm::on_init()
{
    center_on_parent();
    edit_ = std::make_unique<edit>();
    edit_->bind(hwnd_, ID_EXEC_PARAMETER);
    edit_->set_limit(path_size);
    edit_->set_text(text.c_str());
    edit_->set_focus();
}

void dialog_exec_confirm::on_destroy()
{
    edit_.reset();
}

void dialog_exec_confirm::on_command(int id, HWND)
{
    if (id == IDOK && edit_) {
        text = edit_->get_text(path_size);
        end(1);
    } else if (id == IDCANCEL) {
        end(2);
    }
}

void dialog_exec_result::on_init()
{
    center_on_screen();
    edit_ = std::make_unique<edit>();
    edit_->bind(hwnd_, ID_TEXT);
    edit_->make_read_only();
    // The whole output is shown: the default limit of an edit is smaller.
    SendMessageA(edit_->handle(), EM_LIMITTEXT, 0x10000, 0);
    edit_->set_text(output_);
    SetFocus(GetDlgItem(hwnd_, ID_CLOSE));
}

void dialog_exec_result::on_destroy()
{
    edit_.reset();
}

void dialog_exec_result::on_command(int id, HWND)
{
    if (id == ID_CLOSE || id == IDCANCEL)
        end(1);
}
