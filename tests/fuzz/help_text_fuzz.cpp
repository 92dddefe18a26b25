// A help text file of any content: the line range taken from it always fits the window's buffer
// and ends every line with CR LF.
#include "fileops/help_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    int first = data[0] % 64;
    int count = data[1] % 64;
    std::string_view content(reinterpret_cast<const char*>(data + 2), size - 2);
    auto shown = help_lines(content, first, count);
    if (!shown)
        return 0;
    if (shown->size() + 1 > help_buffer_size || shown->size() < 2 ||
        shown->compare(shown->size() - 2, 2, "\r\n") != 0)
        std::abort();
    return 0;
}
