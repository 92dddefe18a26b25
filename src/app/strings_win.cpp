// String-table lookup and the id-based message box.
#include "app/strings_win.h"

#include "app/app_context.h"

#include <vector>

std::string resource_string(unsigned id, std::size_t size)
{
    std::vector<char> buffer(size > 0 ? size : 1);
    HINSTANCE instance = app().instance ? static_cast<HINSTANCE>(app().instance) : GetModuleHandleA(nullptr);
    int n = LoadStringA(instance, id, buffer.data(), static_cast<int>(buffer.size()));
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
