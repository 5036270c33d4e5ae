#include "reference/byte_difference.h"

#include <algorithm>
#include <cstdint>

namespace zarvo::reference {
namespace {

constexpr std::size_t kContext = 24;

std::string Escaped(std::string_view bytes, std::size_t from)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    const std::size_t begin = from < kContext ? 0 : from - kContext;
    const std::size_t end = std::min(bytes.size(), from + kContext);
    for (std::size_t at = begin; at < end; ++at) {
        if (at == from) text += "[>]";
        const auto byte = static_cast<std::uint8_t>(bytes[at]);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            text += static_cast<char>(byte);
        } else {
            text += {'\\', 'x', kDigits[byte >> 4], kDigits[byte & 0xF]};
        }
    }
    return text;
}

}  // namespace

std::string ByteDifference(std::string_view got, std::string_view expected)
{
    if (got == expected) return {};
    const std::size_t same = static_cast<std::size_t>(std::ranges::mismatch(got, expected).in1 - got.begin());
    return "got " + std::to_string(got.size()) + " bytes, expected " + std::to_string(expected.size()) +
           "; first difference at byte " + std::to_string(same) + " ([>] marks it)\n  got:      " +
           Escaped(got, same) + "\n  expected: " + Escaped(expected, same);
}

}  // namespace zarvo::reference
