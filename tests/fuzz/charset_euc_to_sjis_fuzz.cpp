// Fuzzes the euc to sjis conversion over a byte buffer.
#include "ftp/charset.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view in(reinterpret_cast<const char*>(data), size);
    std::string out;
    // Shift_JIS output never ends inside a character.
    std::string back;
    if (euc_to_sjis_text(in, out) && !sjis_to_euc_text(out, back))
        std::abort();
    return 0;
}
