#include "reference/encode.h"

#include "reference/shape_lines.h"

namespace zarvo::reference {
namespace {

constexpr const char* kIllFormedUtf8[] = {"\xC3(", "\xED\xA0\x80", "\xF0\x9F\x98", "\x80", "\xC0\xAF", "\xF4\x90\x80\x80"};

void PutUtf8(std::string& bytes, char32_t code)
{
    if (code < 0x80) {
        bytes += static_cast<char>(code);
    } else if (code < 0x800) {
        bytes += {static_cast<char>(0xC0 | code >> 6), static_cast<char>(0x80 | (code & 0x3F))};
    } else if (code < 0x10000) {
        bytes += {static_cast<char>(0xE0 | code >> 12), static_cast<char>(0x80 | (code >> 6 & 0x3F)),
                  static_cast<char>(0x80 | (code & 0x3F))};
    } else {
        bytes += {static_cast<char>(0xF0 | code >> 18), static_cast<char>(0x80 | (code >> 12 & 0x3F)),
                  static_cast<char>(0x80 | (code >> 6 & 0x3F)), static_cast<char>(0x80 | (code & 0x3F))};
    }
}

// Generated text pairs its surrogates; a lone one is written as "?".
std::string Utf8Of(std::u16string_view text, Encoding encoding, std::size_t variant)
{
    std::string bytes;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char16_t c = text[at];
        if (c == kIllFormed) {
            bytes += encoding == Encoding::Utf8WithMark ? kIllFormedUtf8[variant % std::size(kIllFormedUtf8)]
                                                        : "\xE9";
        } else if (c >= 0xD800 && c < 0xDC00 && at + 1 < text.size() && text[at + 1] >= 0xDC00 && text[at + 1] < 0xE000) {
            PutUtf8(bytes, 0x10000 + ((c - 0xD800) << 10) + (text[++at] - 0xDC00));
        } else {
            PutUtf8(bytes, c >= 0xD800 && c < 0xE000 ? u'?' : c);
        }
    }
    return bytes;
}

}  // namespace

std::string MarkOf(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf8WithMark: return "\xEF\xBB\xBF";
    case Encoding::Utf16Le: return "\xFF\xFE";
    case Encoding::Utf16Be: return "\xFE\xFF";
    default: return {};
    }
}

std::string EncodedText(std::u16string_view text, Encoding encoding, std::size_t variant)
{
    std::string bytes;
    switch (encoding) {
    case Encoding::Ascii:
    case Encoding::Latin1:
        for (const char16_t c : text) bytes += static_cast<char>(c > 0xFF ? u'?' : c);
        return bytes;
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
        for (char16_t c : text) {
            if (c == kIllFormed) c = u'?';
            const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
            bytes += encoding == Encoding::Utf16Le ? std::string{low, high} : std::string{high, low};
        }
        return bytes;
    default: return Utf8Of(text, encoding, variant);
    }
}

}  // namespace zarvo::reference
