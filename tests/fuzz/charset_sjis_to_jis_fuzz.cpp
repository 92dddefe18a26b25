// Fuzzes the sjis to jis conversion over a byte buffer.
#include "ftp/charset.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view in(reinterpret_cast<const char*>(data), size);
    std::string out;
    // ISO-2022-JP output is seven-bit and reads back.
    if (!sjis_to_jis_text(in, out))
        return 0;
    for (char c : out)
        if (static_cast<unsigned char>(c) >= 0x80)
            std::abort();
    // It reads back unless the text itself holds an escape byte, which ISO-2022-JP cannot carry.
    std::string back;
    if (in.find('\x1B') == std::string_view::npos && !jis_to_sjis_text(out, back))
        std::abort();
    return 0;
}
