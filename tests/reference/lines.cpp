#include "reference/lines.h"

#include <stdexcept>
#include <utility>

namespace zarvo::reference {

std::vector<std::u16string> LinesAsRead(std::u16string_view text, std::size_t capacity)
{
    std::vector<std::u16string> lines;
    std::u16string line;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n') continue;
        line += text[at];
        if (text[at] == u'\n' || line.size() == capacity) lines.push_back(std::exchange(line, {}));
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

std::string WrittenAsSingleByte(const std::vector<std::u16string>& lines)
{
    std::string bytes;
    for (const std::u16string& line : lines)
        for (const char16_t c : line) {
            if (c > 0xFF) throw std::logic_error("a character above 255 in single-byte text");
            if (c == u'\n') bytes += '\r';
            bytes += static_cast<char>(c);
        }
    return bytes;
}

std::string WrittenAsUtf16Le(const std::vector<std::u16string>& lines)
{
    std::string bytes = "\xFF\xFE";
    const auto put = [&bytes](char16_t c) { bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)}; };
    for (const std::u16string& line : lines)
        for (const char16_t c : line) {
            if (c == u'\n') put(u'\r');
            put(c);
        }
    return bytes;
}

}  // namespace zarvo::reference
