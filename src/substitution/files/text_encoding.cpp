#include "substitution/files/text_encoding.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <initializer_list>

#include "substitution/scanning/byte_scan.h"

namespace zarvo {
namespace {

constexpr char16_t kReplacementCharacter = 0xFFFD;

bool StartsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> mark)
{
    return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
}

int ContinuationCount(std::uint8_t lead)
{
    if (lead >= 0xC2 && lead <= 0xDF) return 1;
    if (lead >= 0xE0 && lead <= 0xEF) return 2;
    if (lead >= 0xF0 && lead <= 0xF4) return 3;
    return 0;
}

// The range a UTF-8 continuation byte must lie in after the given lead byte and position,
// so that overlong forms, surrogates and code points above U+10FFFF are refused.
bool ContinuationFits(std::uint8_t lead, std::size_t position, std::uint8_t byte)
{
    std::uint8_t low = 0x80, high = 0xBF;
    if (position == 1 && lead == 0xE0) low = 0xA0;
    if (position == 1 && lead == 0xED) high = 0x9F;
    if (position == 1 && lead == 0xF0) low = 0x90;
    if (position == 1 && lead == 0xF4) high = 0x8F;
    return byte >= low && byte <= high;
}

void AppendCode(std::uint32_t code, std::u16string& text)
{
    if (code <= 0xFFFF) {
        text.push_back(static_cast<char16_t>(code));
        return;
    }
    code -= 0x10000;
    text.push_back(static_cast<char16_t>(0xD800 | code >> 10));
    text.push_back(static_cast<char16_t>(0xDC00 | (code & 0x3FF)));
}

// Appended in place: appending the bytes as a range would first make them a string of their
// own, at the cost of an allocation.
void AppendWidened(std::span<const std::uint8_t> bytes, std::u16string& text)
{
    const std::size_t before = text.size();
    text.resize(before + bytes.size());
    std::copy(bytes.begin(), bytes.end(), text.begin() + static_cast<std::ptrdiff_t>(before));
}

// The sequence that starts at `at`: how many bytes it takes, 0 where the span cuts it short
// and more bytes follow.
std::size_t DecodeUtf8Sequence(std::span<const std::uint8_t> bytes, std::size_t at, bool atEnd, std::u16string& text,
                               Decoded& decoded)
{
    const std::uint8_t lead = bytes[at];
    const auto count = static_cast<std::size_t>(ContinuationCount(lead));
    std::uint32_t code = lead & (0x7F >> (count + 1));
    std::size_t position = 1;
    for (; position <= count; ++position) {
        if (at + position == bytes.size() && !atEnd) return 0;
        if (at + position == bytes.size() || !ContinuationFits(lead, position, bytes[at + position])) break;
        code = code << 6 | (bytes[at + position] & 0x3F);
    }
    if (count != 0 && position > count) {
        AppendCode(code, text);
        return position;
    }
    // A byte that leads no sequence, or a sequence cut short: one U+FFFD for what was read, and
    // a byte that does not continue the sequence is left for the next character.
    decoded.invalid = true;
    text.push_back(kReplacementCharacter);
    return position;
}

void DecodeUtf8(std::span<const std::uint8_t> bytes, bool atEnd, std::u16string& text, Decoded& decoded)
{
    std::size_t at = 0;
    while (at < bytes.size()) {
        // A run of ASCII, found 16 bytes at a time, each byte its own character.
        const std::string_view rest(reinterpret_cast<const char*>(bytes.data() + at), bytes.size() - at);
        const std::size_t ascii = FirstAbove127(rest);
        AppendWidened(bytes.subspan(at, ascii), text);
        at += ascii;
        if (at == bytes.size()) break;
        decoded.beyondAscii = true;
        const std::size_t taken = DecodeUtf8Sequence(bytes, at, atEnd, text, decoded);
        if (taken == 0) break;
        at += taken;
    }
    decoded.bytes = at;
}

// The units are copied as they are held, which on the little-endian processors the library
// runs on are their UTF-16LE bytes.
void DecodeUtf16Le(std::span<const std::uint8_t> bytes, bool atEnd, std::u16string& text, Decoded& decoded)
{
    static_assert(std::endian::native == std::endian::little);
    const std::size_t before = text.size();
    text.resize(before + bytes.size() / 2);
    std::memcpy(text.data() + before, bytes.data(), bytes.size() / 2 * 2);
    decoded.bytes = bytes.size() / 2 * 2;
    if (atEnd && bytes.size() % 2 != 0) {
        text.push_back(kReplacementCharacter);
        decoded.bytes = bytes.size();
    }
}

}  // namespace

bool FitsSingleByteText(std::u16string_view text)
{
    return std::ranges::none_of(text, [](char16_t c) { return c > 0xFF; });
}

std::string SingleByteText(std::u16string_view text)
{
    std::string bytes(text.size(), '\0');
    std::ranges::transform(text, bytes.begin(), [](char16_t c) { return static_cast<char>(c); });
    return bytes;
}

ByteOrderMark MarkAtStart(std::span<const std::uint8_t> start)
{
    if (StartsWith(start, {0xEF, 0xBB, 0xBF})) return ByteOrderMark::Utf8;
    if (StartsWith(start, {0xFF, 0xFE})) return ByteOrderMark::Utf16Le;
    if (StartsWith(start, {0xFE, 0xFF})) return ByteOrderMark::Utf16Be;
    return ByteOrderMark::None;
}

std::size_t MarkSize(ByteOrderMark mark)
{
    if (mark == ByteOrderMark::Utf8) return 3;
    return mark == ByteOrderMark::None ? 0 : 2;
}

std::u16string_view EncodingName(TextEncoding encoding, bool withMark)
{
    if (encoding == TextEncoding::SingleByte) return u"single-byte text";
    if (encoding == TextEncoding::Utf16Le) return u"UTF-16LE with a byte-order mark";
    return withMark ? u"UTF-8 with a byte-order mark" : u"UTF-8 without a byte-order mark";
}

Decoded DecodeText(TextEncoding encoding, std::span<const std::uint8_t> bytes, bool atEnd, std::u16string& text)
{
    Decoded decoded;
    if (encoding == TextEncoding::Utf8) {
        DecodeUtf8(bytes, atEnd, text, decoded);
    } else if (encoding == TextEncoding::Utf16Le) {
        DecodeUtf16Le(bytes, atEnd, text, decoded);
    } else {
        AppendWidened(bytes, text);
        decoded.bytes = bytes.size();
    }
    return decoded;
}

}  // namespace zarvo
