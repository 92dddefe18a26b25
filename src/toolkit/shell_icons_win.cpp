// Icon indexes into the system's small-icon image list.
#include "toolkit/shell_icons_win.h"

#include "base/paths.h"
#include "platform/process_paths.h"

#include <shellapi.h>
#include <shlobj.h>

shell_icons::shell_icons()
{
    char windows_dir[MAX_PATH + 1] = "";
    GetWindowsDirectoryA(windows_dir, sizeof windows_dir);
    SHFILEINFOA info{};
    image_list_ = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA(windows_dir, 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    folder_icon_ = info.iIcon;

    network_icon_ = folder_icon_;
    LPITEMIDLIST pidl = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_NETWORK, &pidl)) && pidl) {
        SHFILEINFOA net{};
        if (SHGetFileInfoA(reinterpret_cast<LPCSTR>(pidl), 0, &net, sizeof net,
                           SHGFI_PIDL | SHGFI_SYSICONINDEX))
            network_icon_ = net.iIcon;
        CoTaskMemFree(pidl);
    }

    std::string temp;
    if (make_temp_file(temp, "LIB_$$$$.TMP")) {
        generic_file_icon_ = icon_of(temp);
        DeleteFileA(temp.c_str());
    }
}

int shell_icons::icon_of(const std::string& path) const
{
    if (path.size() >= 2 && path.compare(path.size() - 2, 2, "..") == 0)
        return folder_icon_;
    std::string native = path;
    to_backslashes(native);
    SHFILEINFOA info{};
    SHGetFileInfoA(native.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX);
    return info.iIcon;
}

namespace {

shell_icons* icons_set = nullptr;

} // namespace

shell_icons* system_icons()
{
    return icons_set;
}

void set_system_icons(shell_icons* icons)
{
    icons_set = icons;
}
