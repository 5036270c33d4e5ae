#include "utf8.h"

#include <cstdint>

namespace zarvo::check {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendUtf8(std::string& out, char32_t c)
{
    const auto byte = [&out](char32_t bits) { out.push_back(static_cast<char>(bits)); };
    if (c < 0x80) {
        byte(c);
    } else if (c < 0x800) {
        byte(0xC0 | (c >> 6));
        byte(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        byte(0xE0 | (c >> 12));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    } else {
        byte(0xF0 | (c >> 18));
        byte(0x80 | ((c >> 12) & 0x3F));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(std::u16string& out, char32_t c)
{
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
        return;
    }
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
}

// The length of the sequence a lead byte starts and the bits it carries; 0 for a byte
// that cannot lead.
struct Lead {
    std::size_t length = 0;
    char32_t bits = 0;
};

Lead LeadOf(std::uint8_t byte)
{
    if (byte < 0x80) return {1, byte};
    if ((byte & 0xE0) == 0xC0) return {2, static_cast<char32_t>(byte & 0x1F)};
    if ((byte & 0xF0) == 0xE0) return {3, static_cast<char32_t>(byte & 0x0F)};
    if ((byte & 0xF8) == 0xF0) return {4, static_cast<char32_t>(byte & 0x07)};
    return {};
}

// The smallest code that needs a sequence of each length: anything below is overlong.
constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};

}  // namespace

std::string ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            c = kReplacement;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::optional<std::u16string> FromUtf8(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const Lead lead = LeadOf(static_cast<std::uint8_t>(text[i]));
        if (lead.length == 0 || text.size() - i < lead.length) return std::nullopt;
        char32_t c = lead.bits;
        for (std::size_t k = 1; k < lead.length; ++k) {
            const auto next = static_cast<std::uint8_t>(text[i + k]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            c = (c << 6) | (next & 0x3F);
        }
        if (c < kLeast[lead.length] || c > 0x10FFFF || IsHighSurrogate(c) || IsLowSurrogate(c))
            return std::nullopt;
        AppendUtf16(out, c);
        i += lead.length;
    }
    return out;
}

std::u16string FromArgument(std::string_view text)
{
    return FromUtf8(text).value_or(std::u16string(text.begin(), text.end()));
}

}  // namespace zarvo::check
