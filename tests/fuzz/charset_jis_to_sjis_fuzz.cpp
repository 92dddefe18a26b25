// Fuzzes the jis to sjis conversion over a byte buffer.
#include "ftp/charset.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view in(reinterpret_cast<const char*>(data), size);
    std::string out;
    jis_to_sjis_text(in, out);
    return 0;
}
