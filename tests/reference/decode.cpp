#include "reference/decode.h"

#include <cstdint>

namespace zarvo::reference {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';

// The well-formed sequences that start with a lead byte: how many bytes they take and the
// range their second byte must lie in (Unicode's table of well-formed UTF-8).
struct Lead {
    std::size_t length = 0;  // 0: not a lead byte
    std::uint8_t secondLow = 0x80;
    std::uint8_t secondHigh = 0xBF;
};

Lead LeadOf(std::uint8_t byte)
{
    if (byte >= 0xC2 && byte <= 0xDF) return {2};
    if (byte == 0xE0) return {3, 0xA0, 0xBF};
    if (byte == 0xED) return {3, 0x80, 0x9F};
    if (byte >= 0xE1 && byte <= 0xEF) return {3};
    if (byte == 0xF0) return {4, 0x90, 0xBF};
    if (byte >= 0xF1 && byte <= 0xF3) return {4};
    if (byte == 0xF4) return {4, 0x80, 0x8F};
    return {};
}

void Append(std::u16string& text, char32_t code)
{
    if (code < 0x10000) {
        text += static_cast<char16_t>(code);
        return;
    }
    code -= 0x10000;
    text += static_cast<char16_t>(0xD800 + (code >> 10));
    text += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
}

}  // namespace

std::u16string SingleByteText(std::string_view bytes)
{
    std::u16string text;
    for (const char byte : bytes) text += static_cast<char16_t>(static_cast<std::uint8_t>(byte));
    return text;
}

Utf8Text Utf8Decoded(std::string_view bytes)
{
    Utf8Text decoded;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const auto byte = static_cast<std::uint8_t>(bytes[at]);
        if (byte < 0x80) {
            decoded.text += byte;
            ++at;
            continue;
        }
        const Lead lead = LeadOf(byte);
        char32_t code = byte & (0x7F >> lead.length);
        std::size_t taken = 1;
        while (lead.length != 0 && taken < lead.length && at + taken < bytes.size()) {
            const auto next = static_cast<std::uint8_t>(bytes[at + taken]);
            const std::uint8_t low = taken == 1 ? lead.secondLow : 0x80;
            const std::uint8_t high = taken == 1 ? lead.secondHigh : 0xBF;
            if (next < low || next > high) break;
            code = code << 6 | (next & 0x3F);
            ++taken;
        }
        if (lead.length != 0 && taken == lead.length) {
            Append(decoded.text, code);
        } else {
            decoded.text += kReplacement;
            decoded.valid = false;
        }
        at += taken;
    }
    return decoded;
}

std::u16string Utf16LeText(std::string_view bytes)
{
    std::u16string text;
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2)
        text += static_cast<char16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                      static_cast<std::uint8_t>(bytes[at + 1]) << 8);
    if (bytes.size() % 2 != 0) text += kReplacement;
    return text;
}

}  // namespace zarvo::reference
