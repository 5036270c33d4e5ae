#include "file_version_text.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace zarvo::check {
namespace {

constexpr std::uint32_t kLargestPart = 0xFFFF;

std::optional<std::uint32_t> Part(std::u16string_view digits)
{
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    std::uint32_t number = 0;
    for (const char16_t c : digits) {
        if (c < u'0' || c > u'9') return std::nullopt;
        number = number * 10 + (c - u'0');
    }
    if (number > kLargestPart) return std::nullopt;
    return number;
}

}  // namespace

std::optional<FixedFileVersion> ReadFileVersionText(std::u16string_view text)
{
    std::array<std::uint32_t, 4> parts{};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::size_t dot = std::min(text.find(u'.'), text.size());
        const auto part = Part(text.substr(0, dot));
        if (!part) return std::nullopt;
        parts[i] = *part;
        if (dot == text.size()) return FixedFileVersion{parts[0] << 16 | parts[1], parts[2] << 16 | parts[3]};
        text.remove_prefix(dot + 1);
    }
    return std::nullopt;
}

}  // namespace zarvo::check
