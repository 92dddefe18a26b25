// Combo item texts with icons and the log edit's trimming.
#include "toolkit/control_texts.h"

#include "base/cp932.h"

#include <charconv>

int split_icon_item(const std::string& item, std::string* text)
{
    if (!item.empty() && item[0] == ':') {
        std::size_t end = item.find(':', 1);
        int icon = 0;
        if (end != std::string::npos && end > 1) {
            auto [p, ec] = std::from_chars(item.data() + 1, item.data() + end, icon);
            if (ec == std::errc() && p == item.data() + end) {
                if (text)
                    *text = item.substr(end + 1);
                return icon < 0 ? -1 : icon;
            }
        }
    }
    if (text)
        *text = item;
    return -1;
}

std::size_t log_trim_start(std::string_view all, std::size_t limit)
{
    std::size_t start = 0;
    while (all.size() - start + 1 >= limit) {
        std::size_t line_end = all.find("\r\n", start);
        if (line_end != std::string_view::npos) {
            start = line_end + 2;
            continue;
        }
        std::size_t cut = all.size() - (limit - 2);
        std::size_t i = start;
        while (i < cut)
            i += char_length(all, i);
        return i;
    }
    return start;
}
