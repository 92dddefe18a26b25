// Fuzzes the sjis to euc conversion over a byte buffer.
#include "ftp/charset.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view in(reinterpret_cast<const char*>(data), size);
    std::string out;
    // EUC-JP output always reads back.
    std::string back;
    if (sjis_to_euc_text(in, out) && !euc_to_sjis_text(out, back))
        std::abort();
    return 0;
}
