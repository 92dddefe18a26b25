// Fuzzes the kana to full width conversion over a byte buffer.
#include "base/cp932.h"
#include "ftp/charset.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view in(reinterpret_cast<const char*>(data), size);
    std::string out;
    // No half-width katakana is left.
    if (!kana_to_full_width_text(in, out))
        std::abort();
    for (std::size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (is_lead_byte(c))
            ++i;
        else if (c >= 0xA1 && c <= 0xDF)
            std::abort();
    }
    return 0;
}
