// The lines of the help text that a help window shows.
#include "fileops/help_text.h"

std::optional<std::string> help_lines(std::string_view content, int first_line, int count)
{
    if (first_line < 2 || count < 1)
        return std::nullopt;
    std::size_t at = 0;
    for (int skipped = 0; skipped < first_line - 1; ++skipped) {
        std::size_t end = content.find('\n', at);
        if (end == std::string_view::npos)
            return std::nullopt;
        at = end + 1;
    }
    std::string text;
    for (int line = 0; line < count; ++line) {
        if (at >= content.size())
            return std::nullopt;
        std::size_t end = content.find('\n', at);
        std::string_view piece =
            content.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        if (!piece.empty() && piece.back() == '\r')
            piece.remove_suffix(1);
        if (text.size() + piece.size() + 2 + 1 > help_buffer_size)
            return std::nullopt;
        text.append(piece);
        text.append("\r\n");
        at = end == std::string_view::npos ? content.size() : end + 1;
    }
    return text;
}
