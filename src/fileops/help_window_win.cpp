// The help window: a read-only range of the help text beside the program.
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

int& help_first_line()
{
    static int line = 2;
    return line;
}

int& help_line_count()
{
    static int count = 1;
    return count;
}

void dialog_help::on_init()
{
    // The template is not visible by itself: a modeless window shows itself.
    center_on_parent();
    ShowWindow(hwnd_, SW_SHOW);
    text_ = std::make_unique<edit>();
    text_->bind(hwnd_, ID_TEXT);
    text_->make_read_only();
    auto content = os::read_file(dirs().program_dir + "kelvasto.txt");
    if (!content)
        return;
    if (auto lines = help_lines(*content, help_first_line(), help_line_count()))
        text_->set_text(lines->c_str());
}

void dialog_help::on_destroy()
{
    text_.reset();
}

void dialog_help::on_command(int id, HWND)
{
    if (id != ID_CLOSE && id != IDCANCEL)
        return;
    DestroyWindow(hwnd_);
}

std::unique_ptr<dialog_help> open_help(HWND owner, int first_line, int line_count)
{
    help_first_line() = first_line;
    help_line_count() = line_count;
    auto help = std::make_unique<dialog_help>();
    if (help->show(TEMPLATE_HELP, owner, true) != 1)
        return nullptr;
    return help;
}
