// List files read back for the shell, and the texts that go into list lines: whatever the bytes,
// the shell's text is two-zero ended and no entry is empty.
#include "fileops/batch_list.h"
#include "fileops/file_rw_rules.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string text = shell_source_text(input);
    if (text.size() < 2 || text[text.size() - 1] != '\0' || text[text.size() - 2] != '\0')
        std::abort();
    if (text.find(std::string_view("\0\0", 2)) != text.size() - 2)
        std::abort(); // an empty entry would end the shell's list early
    std::size_t cut = input.find('\n');
    std::string_view a = input.substr(0, cut);
    std::string_view b = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);
    transfer_list_line(size % 2 == 0, a, b);
    batch_list_entry(a);
    lies_inside(a, b, a);
    same_name(a, b);
    return 0;
}
