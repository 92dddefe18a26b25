// The extension input of the options and program editors.
#include "fileops/file_dialogs_win.h"

#include "fileops/file_dialogs_shared_win.h"

#include "base/cp932.h"
#include "base/name_rules.h"
#include "base/paths.h"
#include "base/stamp_text.h"
#include "dialogs.h"
#include "fileops/file_dialog_rules.h"
#include "fileops/file_primitives_win.h"
#include "fileops/fileops_host_win.h"
#include "fileops/help_text.h"
#include "pane/dir_scan_win.h"
#include "pane/entry_text.h"
#include "pane/local_listing_win.h"
#include "pane/pane_view_win.h"
#include "platform/os.h"
#include "platform/process_paths.h"
#include "resource.h"
#include "toolkit/row_store.h"
#include "toolkit/shell_icons_win.h"

#include <cstdio>
#include <vector>

using namespace file_dialogs;

std::string& extension_text()
{
    static std::string text;
    return text;
}

void dialog_extension::on_init()
{
    center_on_parent();
    text_ = std::make_unique<edit_filename>();
    text_->bind(hwnd_, ID_NAME);
    text_->set_initial("");
    EnableWindow(GetDlgItem(hwnd_, IDOK), FALSE);
    text_->set_focus();
}

void dialog_extension::on_destroy()
{
    text_.reset();
}

void dialog_extension::on_command(int id, HWND)
{
    if (id == IDCANCEL) {
        end(2);
        return;
    }
    if (id != IDOK || !text_ || !ok_enabled(hwnd_))
        return;
    std::string text = text_->get_text(path_size);
    if (text.empty())
        return;
    if (!no_dot_name_rule(text)) {
        inform(IDS_CAPTION_INFORMATION, no_dot_name_rule_message);
        text_->set_focus();
        return;
    }
    extension_text() = text;
    end(1);
}
