// Fuzz target: INI text through the profile engine, the section scans and sorted insertion.
#include "settings/ini_profile.h"
#include "settings/settings.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    ini_profile profile = ini_parse(text);
    // Names to ask for come from the text itself, so lookups hit as well as miss.
    std::string_view section = text.substr(0, text.size() / 3);
    std::string_view key = text.substr(text.size() / 3, text.size() / 3);
    for (std::size_t limit : {0u, 1u, 2u, 3u, 12u, 256u}) {
        std::string value = ini_profile_get(profile, section, key, limit, key);
        if (limit > 0 ? value.size() >= limit : !value.empty())
            std::abort();
    }
    ini_profile_set(profile, section, key, text.substr(2 * text.size() / 3));
    std::string written = ini_serialize(profile);
    ini_profile again = ini_parse(written);
    ini_profile_set(again, section, std::nullopt, std::nullopt);
    ini_text_has_section(text, section);
    ini_text_section_name(text, 1);
    ini_text_insert_section_sorted(text, key);
    parse_color(text);
    ini_atoi(text);
    return 0;
}
