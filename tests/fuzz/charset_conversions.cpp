// Fuzzes one code conversion over a byte buffer, built once per conversion (KV_CONVERSION).
#include "base/cp932.h"
#include "ftp/charset.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

enum class conversion { euc_to_sjis, jis_to_sjis, kana_to_full_width, sjis_to_euc, sjis_to_jis };

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view in(reinterpret_cast<const char*>(data), size);
    std::string out, back;
    switch (conversion::KV_CONVERSION) {
    case conversion::euc_to_sjis: // Shift_JIS output never ends inside a character.
        if (euc_to_sjis_text(in, out) && !sjis_to_euc_text(out, back))
            std::abort();
        break;
    case conversion::jis_to_sjis:
        jis_to_sjis_text(in, out);
        break;
    case conversion::kana_to_full_width: // no half-width katakana is left
        if (!kana_to_full_width_text(in, out))
            std::abort();
        for (std::size_t i = 0; i < out.size(); ++i) {
            auto c = static_cast<unsigned char>(out[i]);
            if (is_lead_byte(c))
                ++i;
            else if (c >= 0xA1 && c <= 0xDF)
                std::abort();
        }
        break;
    case conversion::sjis_to_euc: // EUC-JP output always reads back.
        if (sjis_to_euc_text(in, out) && !euc_to_sjis_text(out, back))
            std::abort();
        break;
    case conversion::sjis_to_jis: // ISO-2022-JP output is seven-bit and reads back
        if (!sjis_to_jis_text(in, out))
            break;
        for (char c : out)
            if (static_cast<unsigned char>(c) >= 0x80)
                std::abort();
        // unless the text itself holds an escape byte, which ISO-2022-JP cannot carry.
        if (in.find('\x1B') == std::string_view::npos && !jis_to_sjis_text(out, back))
            std::abort();
        break;
    }
    return 0;
}
