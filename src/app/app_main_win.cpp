// Process entry, single-instance rule, configuration checks, main window and message loop.
#include "app/app_main_win.h"

#include "app/main_window_win.h"
#include "base/paths.h"
#include "platform/os.h"
#include "platform/process_paths.h"
#include "programs/program_defs.h"
#include "resource.h"
#include "settings/layout.h"
#include "settings/settings.h"
#include "toolkit/module_win.h"
#include "toolkit/shell_icons_win.h"

#include <commctrl.h>
#include <mbctype.h>

#include <clocale>
#include <ctime>
#include <memory>

int win_main(HINSTANCE instance, const char* /*command_line: never interpreted*/, int show_command)
{
    set_module_instance(instance);

    std::setlocale(LC_ALL, "");
    _setmbcp(_MB_CP_ANSI);

    // Only the standard offset: the runtime's local times ignore daylight saving all year.
    TIME_ZONE_INFORMATION zone{};
    GetTimeZoneInformation(&zone);
    std::string tz = tz_text(zone.Bias);
    _putenv(tz.c_str());
    _tzset();

    // The executable's own path, not the command line: an unquoted start from a folder with a
    // blank in its name would otherwise put the configuration somewhere else.
    char module[MAX_PATH + 1] = "";
    DWORD n = GetModuleFileNameA(nullptr, module, sizeof module);
    process_dirs& d = dirs();
    d.program_dir = directory_of(std::string_view(module, n < sizeof module ? n : 0));
    SetCurrentDirectoryA(d.program_dir.c_str());

    auto icons = std::make_unique<shell_icons>();
    set_system_icons(icons.get());

    INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    InitCommonControlsEx(&controls);

    int code = app_main(show_command);

    set_system_icons(nullptr);
    return code;
}

int app_main(int show_command)
{
    std::string name = resource_string(IDS_PRODUCT, 128);

    HANDLE mutex = CreateMutexA(nullptr, TRUE, name.c_str());
    if (!mutex) {
        message_box_ids(IDS_CAPTION_ERROR, IDS_SYSTEM_ERROR);
        return 0;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
        return 0;
    }
    auto close_mutex = [&] {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    };

    // The temporary directory: TMP_RAM first, then TMP, then TEMP.
    dirs().temp_dir = temp_directory();

    std::string font_name = resource_string(IDS_DEFAULT_FONT_NAME, 128);
    std::string font_style = resource_string(IDS_DEFAULT_FONT_STYLE, 128);
    if (!ensure_layout_file(layout_file_path()) ||
        !ensure_settings_file(settings_file_path(), font_name, font_style) ||
        !ensure_default_programs(program_file::extension) || !ensure_default_programs(program_file::manual)) {
        close_mutex();
        message_box_ids(IDS_CAPTION_ERROR, IDS_FILE_RW_ERROR);
        return 0;
    }

    read_layout(layout_file_path());
    load_settings(settings_file_path(), font_name, font_style);

    auto main_window = std::make_unique<window_>();
    const layout_state& l = layout();
    if (!main_window->create(l.window_x, l.window_y, l.window_width, l.window_height, show_command)) {
        close_mutex();
        message_box_ids(IDS_CAPTION_ERROR, IDS_SYSTEM_ERROR);
        return 0;
    }

    int code = run_message_loop(main_window->handle());

    main_window.reset();
    close_mutex();
    return code;
}

int run_message_loop(HWND main_window)
{
    UpdateWindow(main_window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
