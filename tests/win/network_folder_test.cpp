// The options dialog's network folders: a network-places entry is a folder whose target.lnk
// names the share; the folder browser's choice is handed back as that share's network path.
#include "app/option_dialog_win.h"
#include "platform/os.h"
#include "support/temp_dir.h"

#include <shlobj.h>

#include <gtest/gtest.h>

TEST(NetworkFolder, a_network_places_entry_gives_its_share)
{
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    temp_dir nethood;
    std::string entry = nethood.file("share on srv");
    ASSERT_TRUE(os::make_directory(entry));
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                           reinterpret_cast<void**>(&link))));
    link->SetPath("\\\\srv\\share");
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
    std::wstring target;
    for (char c : entry + "/target.lnk")
        target += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    EXPECT_TRUE(SUCCEEDED(file->Save(target.c_str(), TRUE)));
    file->Release();
    link->Release();

    EXPECT_EQ(network_folder_of(entry).value_or("(none)"), "//srv/share/");
    EXPECT_FALSE(network_folder_of(nethood.path())); // no target.lnk: a plain folder
    CoUninitialize();
}
