// One program run: environment, macros and list files, the confirmation, then an archiver
// library called in-process or a program started through the shell.
#include "programs/program_run_win.h"

#include "base/paths.h"
#include "dialogs.h"
#include "pane/entry_text.h"
#include "pane/pane.h"
#include "pane/pane_view_win.h"
#include "platform/os.h"
#include "platform/process_paths.h"
#include "programs/command_template.h"
#include "programs/exec_dialogs_win.h"
#include "programs/shell_run_win.h"
#include "resource.h"
#include "settings/settings_win.h"
#include "toolkit/module_win.h"

#include <vector>

namespace {

void warn_user(unsigned text_id)
{
    MessageBoxA(panes().main, resource_string(text_id, 256).c_str(),
                resource_string(IDS_CAPTION_ERROR, 128).c_str(), MB_OK | MB_ICONWARNING);
}

std::string list_path(int which)
{
    return dirs().temp_dir + (which == 1 ? "kv_rsp1.tmp" : "kv_rsp2.tmp");
}

void delete_lists()
{
    os::remove_file(list_path(1));
    os::remove_file(list_path(2));
}

bool write_list(const std::string& path, const std::string& text)
{
    HANDLE f =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok =
        text.empty() || (WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                         written == text.size());
    return CloseHandle(f) && ok;
}

// A program the shell started keeps its list files until it ends; a thread timer looks now and
// then, so the files go on the main thread and never under a later run.
struct started_program {
    HANDLE process = nullptr;
    UINT_PTR timer = 0;
    // The lists as this run left them: a file operation that has since written its own list
    // under the same name keeps it.
    WIN32_FILE_ATTRIBUTE_DATA lists[2]{};
};
started_program& started()
{
    static started_program s;
    return s;
}

bool list_stamp(int which, WIN32_FILE_ATTRIBUTE_DATA& data)
{
    return GetFileAttributesExA(list_path(which).c_str(), GetFileExInfoStandard, &data) != 0;
}

void CALLBACK check_started(HWND, UINT, UINT_PTR, DWORD)
{
    started_program& s = started();
    if (s.process && WaitForSingleObject(s.process, 0) == WAIT_TIMEOUT)
        return;
    release_started_program();
}

// Without a process to watch (the shell handed the file to a running program) the lists stay
// until the next run or the end of the window.
void keep_lists_for(HANDLE process)
{
    for (int which : {1, 2})
        list_stamp(which, started().lists[which - 1]);
    started().process = process;
    if (process)
        started().timer = SetTimer(nullptr, 0, 250, check_started);
}

// The pane as the template sees it.
template_entry entry_of(const FileEntry& e)
{
    return is_dir_entry(e) ? template_entry{e.name, ""} : template_entry{e.name, e.type};
}

template_pane template_of(const Pane& p)
{
    template_pane t;
    t.path = p.path;
    for (std::size_t i = 0; i < p.rows.size(); ++i)
        if (p.rows.marked(i))
            t.marked.push_back(entry_of(p.rows.row(i)));
    if (int c = p.rows.cursor(); c >= 0)
        t.cursor = entry_of(p.rows.row(static_cast<std::size_t>(c)));
    return t;
}

template_entry split_name(const std::string& name)
{
    std::size_t dot = name.rfind('.');
    if (name == ".." || dot == std::string::npos || dot == 0)
        return {name, ""};
    return {name.substr(0, dot), name.substr(dot + 1)};
}

// Macros expanded, names asked as they come; the lists written. False: the run stops (the user
// was told, or cancelled).
bool expand(template_inputs& in, std::string& text)
{
    for (;;) {
        template_result r = expand_template(in);
        if (r.status == template_status::too_long) {
            // Cutting the tail would hand the program another, shorter path: nothing runs.
            warn_user(IDS_SYSTEM_ERROR);
            return false;
        }
        if (r.status == template_status::ask_name) {
            dialog_exec_input ask;
            if (ask.show(TEMPLATE_NAME, panes().main) != 1)
                return false;
            in.names.push_back(ask.name);
            continue;
        }
        if ((!r.list1.empty() && !write_list(list_path(1), r.list1)) ||
            (!r.list2.empty() && !write_list(list_path(2), r.list2))) {
            warn_user(IDS_FILE_RW_ERROR);
            return false;
        }
        text = r.text;
        return true;
    }
}

using archiver_entry = int(WINAPI*)(HWND, LPCSTR, LPSTR, DWORD);

void call_library(const library_call& call, const std::string& text, const std::string& cursor_name,
                  bool cursor_is_dir)
{
    std::string library = call.library;
    to_backslashes(library);
    HMODULE module = LoadLibraryA(library.c_str());
    auto function = module ? reinterpret_cast<archiver_entry>(
                                 reinterpret_cast<void*>(GetProcAddress(module, call.function.c_str())))
                           : nullptr;
    if (!function) {
        if (module)
            FreeLibrary(module);
        delete_lists();
        warn_user(IDS_PROGRAM_START_ERROR);
        return;
    }
    std::vector<char> output(65536, '\0');
    function(panes().main, text.c_str(), output.data(), 65535);
    output[65534] = output[65535] = '\0';
    dialog_exec_result result(output.data());
    result.show(TEMPLATE_EXEC_RESULT, panes().main);
    output.clear();
    delete_lists();

    const Pane& source = active_pane();
    int row = find_entry(source, cursor_is_dir, cursor_name);
    if (row < 0)
        row = 0;
    if (static_cast<std::size_t>(row) < source.rows.size())
        put_cursor(source.index, row);
    FreeLibrary(module);
}

} // namespace

void release_started_program()
{
    started_program& s = started();
    if (s.timer)
        KillTimer(nullptr, s.timer);
    if (s.process)
        CloseHandle(s.process);
    for (int which : {1, 2}) {
        WIN32_FILE_ATTRIBUTE_DATA now{};
        const WIN32_FILE_ATTRIBUTE_DATA& then = s.lists[which - 1];
        if (list_stamp(which, now) && CompareFileTime(&now.ftLastWriteTime, &then.ftLastWriteTime) == 0 &&
            now.nFileSizeLow == then.nFileSizeLow && now.nFileSizeHigh == then.nFileSizeHigh)
            os::remove_file(list_path(which));
    }
    s = {};
}

void run_manual_program(std::size_t index)
{
    std::string path = program_file_path(program_file::manual);
    std::optional<std::string> title = program_title_at(path, index, 128);
    if (!title) {
        warn_user(IDS_FILE_RW_ERROR);
        return;
    }
    run_entry(read_program_entry(path, *title), std::nullopt);
}

bool run_extension_program(const std::string& file_name)
{
    bool shift = GetKeyState(VK_SHIFT) < 0;
    std::optional<program_entry> e =
        find_extension_program(program_file_path(program_file::extension), file_name, shift);
    if (!e)
        return false;
    run_entry(*e, file_name);
    return true;
}

void run_entry(const program_entry& entry, const std::optional<std::string>& opened)
{
    // 1. Environment references in both texts.
    std::string program;
    template_inputs in;
    if (!expand_env(program, path_size, entry.program) || !expand_env(in.text, path_size, entry.parameter)) {
        warn_user(IDS_SYSTEM_ERROR);
        return;
    }
    // 2. The cursor entry the source pane gets back after a library call.
    pane_area& a = panes();
    const Pane& source = active_pane();
    const Pane* target = a.dual ? other_pane() : nullptr;
    std::string cursor_name;
    bool cursor_is_dir = false;
    if (int c = source.rows.cursor(); c >= 0) {
        cursor_name = join_entry_name(source.rows.row(static_cast<std::size_t>(c)));
        cursor_is_dir = is_dir_entry(source.rows.row(static_cast<std::size_t>(c)));
    }
    // 3. Fresh empty list files; a program still reading the last ones loses them now.
    release_started_program();
    delete_lists();
    if (!write_list(list_path(1), "")) {
        warn_user(IDS_FILE_RW_ERROR);
        return;
    }
    if (!write_list(list_path(2), "")) {
        os::remove_file(list_path(1));
        warn_user(IDS_FILE_RW_ERROR);
        return;
    }
    // 4. Macros.
    in.source = template_of(source);
    if (target)
        in.target = template_of(*target);
    in.two_panes = target != nullptr;
    if (opened)
        in.opened = split_name(*opened);
    in.temp_dir = dirs().temp_dir;
    std::string text;
    if (!expand(in, text)) {
        delete_lists();
        return;
    }
    // 5. The user sees the finished text first.
    if (entry.confirm) {
        dialog_exec_confirm confirm(text);
        if (confirm.show(TEMPLATE_EXEC_CONFIRM, a.main) != 1) {
            delete_lists();
            return;
        }
        text = confirm.text;
    }
    // 6-10. An archiver library runs here and now.
    if (std::optional<library_call> call = split_library_call(program)) {
        call_library(*call, text, cursor_name, cursor_is_dir);
        return;
    }
    // 11. Anything else goes to the shell; its lists stay until it has ended.
    HANDLE process = nullptr;
    if (!shell_start(program, text.c_str(), &process)) {
        delete_lists();
        warn_user(IDS_PROGRAM_START_ERROR);
        return;
    }
    Sleep(500);
    keep_lists_for(process);
}
