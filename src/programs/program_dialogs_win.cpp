// The editors of program entries: manual programs in program.ini, extension programs in
// programe.ini.
#include "programs/program_dialogs_win.h"

#include "base/name_rules.h"
#include "base/paths.h"
#include "dialogs.h"
#include "resource.h"
#include "toolkit/module_win.h"

#include <commdlg.h>
#include <shlobj.h>

#include <string_view>

namespace {

constexpr std::string_view shift_mark = "(SHIFT)";

struct help_section {
    int first_line;
    int line_count;
};
constexpr help_section manual_help{384, 84};
constexpr help_section extension_help{279, 104};

// Enter presses the default button even while it is greyed: OK counts only when enabled.
bool ok_enabled(HWND dialog)
{
    return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != 0;
}

} // namespace

void dialog_program::on_init()
{
    center_on_parent();
    path_ = program_file_path(which_);
    program_entry entry;
    if (index_) {
        std::optional<std::string> title = program_title_at(path_, *index_);
        if (!title) {
            end(2);
            return;
        }
        entry = read_program_entry(path_, *title);
    } else {
        entry.parameter = "\"?F1\"";
        entry.confirm = true;
    }
    title_ = std::make_unique<edit_title>();
    title_->bind(hwnd_, ID_PROGRAM_TITLE);
    program_ = std::make_unique<edit_program>();
    program_->bind(hwnd_, ID_PROGRAM_FILE);
    parameter_ = std::make_unique<edit_parameter>();
    parameter_->bind(hwnd_, ID_PROGRAM_PARAMETER);
    confirm_ = std::make_unique<check>();
    confirm_->bind(hwnd_, ID_PROGRAM_CONFIRM);
    if (which_ == program_file::extension) {
        shift_only_ = std::make_unique<check>();
        shift_only_->bind(hwnd_, ID_PROGRAM_SHIFT_ONLY);
        // Room for "(SHIFT)": a longer section name would be read back cut, without its mark.
        title_->set_limit(static_cast<int>(name_size - shift_mark.size()));
        std::size_t mark = entry.title.find('(');
        if (mark != std::string::npos) {
            shift_only_->set_check();
            entry.title.resize(mark);
        }
    }
    if (!index_)
        DestroyWindow(GetDlgItem(hwnd_, ID_DELETE));
    title_->set_text(entry.title.c_str());
    program_->set_text(entry.program.c_str());
    parameter_->set_text(entry.parameter.c_str());
    if (entry.confirm)
        confirm_->set_check();
    title_->on_text_changed(); // OK only while the three fields hold text
}

void dialog_program::on_destroy()
{
    title_.reset();
    program_.reset();
    parameter_.reset();
    confirm_.reset();
    shift_only_.reset();
}

void dialog_program::on_command(int id, HWND)
{
    switch (id) {
    case IDOK:
        if (ok_enabled(hwnd_))
            accept();
        break;
    case IDCANCEL:
        end(2);
        break;
    case ID_DELETE:
        remove();
        break;
    case ID_BROWSE:
        browse();
        break;
    case ID_HELP_BUTTON:
        if (help_) {
            help_section h = which_ == program_file::manual ? manual_help : extension_help;
            help_(hwnd_, h.first_line, h.line_count);
        }
        break;
    default:
        break;
    }
}

void dialog_program::accept()
{
    title_->set_focus();
    // The entry as the file holds it now; one removed meanwhile is left alone.
    std::string old_title;
    if (index_) {
        std::optional<std::string> current = program_title_at(path_, *index_);
        if (!current)
            return;
        old_title = *current;
    }
    std::string title = title_->get_text(name_size);
    if (!title_rule(title)) {
        inform(IDS_CAPTION_INFORMATION, title_rule_message);
        return;
    }
    if (shift_only_ && shift_only_->get_check())
        title += shift_mark;
    if (program_title_taken(path_, title, old_title)) {
        inform(IDS_CAPTION_INFORMATION, IDS_NAME_EXISTS);
        return;
    }
    std::string program = program_->get_text(path_size);
    // The old section goes in the same write: a failed one keeps the entry, and the dialog too.
    if (!replace_program(path_, old_title, title, program, parameter_->get_text(path_size),
                         confirm_->get_check())) {
        warn(IDS_CAPTION_ERROR, IDS_FILE_RW_ERROR);
        return;
    }
    end(1);
}

void dialog_program::remove()
{
    title_->set_focus();
    if (!index_ || !ask(IDS_CAPTION_QUESTION, IDS_ASK_DELETE))
        return;
    std::optional<std::string> title = program_title_at(path_, *index_);
    if (!title || !delete_program(path_, *title)) {
        warn(IDS_CAPTION_ERROR, IDS_FILE_RW_ERROR);
        return;
    }
    end(1);
}

void dialog_program::browse()
{
    if (std::optional<std::string> file = choose_program_file(hwnd_))
        program_->set_text(file->c_str());
}

int edit_program_entry(program_file which, std::optional<std::size_t> index, HWND owner,
                       std::function<void(HWND, int, int)> help)
{
    if (which == program_file::manual)
        return dialog_program(index, std::move(help)).show(TEMPLATE_PROGRAM, owner);
    return dialog_program_ext(index, std::move(help)).show(TEMPLATE_PROGRAM_EXT, owner);
}

std::string special_folder(HWND owner, int which)
{
    char folder[MAX_PATH] = {};
    LPITEMIDLIST pidl = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(owner, which, &pidl)) && pidl) {
        if (!SHGetPathFromIDListA(pidl, folder))
            folder[0] = '\0';
        CoTaskMemFree(pidl);
    }
    return folder;
}

std::optional<std::string> choose_program_file(HWND owner)
{
    constexpr std::string_view executable_pattern = "*.exe;*.pif;*.dll";
    std::string caption = resource_string(IDS_TITLE_CHOOSE_PROGRAM, name_size);
    std::string filter =
        resource_string(IDS_FILTER_EXECUTABLES, name_size) + "(" + std::string(executable_pattern) + ")";
    filter += '\0';
    filter += executable_pattern;
    filter += '\0'; // the string's own terminator ends the list
    std::string folder = special_folder(owner, CSIDL_PROGRAM_FILES);
    char file[path_size] = {};
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = caption.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_LONGNAMES;
    if (!GetOpenFileNameA(&ofn))
        return std::nullopt;
    to_slashes(file);
    return std::string(file);
}
