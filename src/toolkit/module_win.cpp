// The module every resource lookup uses, the string table and the id-based message box.
#include "toolkit/module_win.h"

#include <vector>

namespace {

HINSTANCE module_set = nullptr;

} // namespace

HINSTANCE module_instance()
{
    return module_set ? module_set : GetModuleHandleA(nullptr);
}

void set_module_instance(HINSTANCE instance)
{
    module_set = instance;
}

std::string resource_string(unsigned id, std::size_t size)
{
    std::vector<char> buffer(size > 0 ? size : 1);
    int n = LoadStringA(module_instance(), id, buffer.data(), static_cast<int>(buffer.size()));
    if (n <= 0)
        return "?";
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

void message_box_ids(unsigned caption_id, unsigned text_id)
{
    std::string caption = resource_string(caption_id, 128);
    std::string text = resource_string(text_id, 256);
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
}
