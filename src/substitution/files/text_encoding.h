#pragma once
// The text encodings of the substitution actions, our own conversions over byte streams:
// single-byte text, where each byte is the character with its code; UTF-8 and UTF-16LE with
// their byte-order marks.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zarvo {

enum class TextEncoding { SingleByte, Utf8, Utf16Le };

// Single-byte text holds the characters up to 255 only.
bool FitsSingleByteText(std::u16string_view text);
// Text that fits single-byte text as its bytes, each character the byte of its code.
std::string SingleByteText(std::u16string_view text);

// The byte-order mark a file starts with.
enum class ByteOrderMark { None, Utf8, Utf16Le, Utf16Be };

// The mark the bytes start with, and how many bytes it takes.
ByteOrderMark MarkAtStart(std::span<const std::uint8_t> start);
std::size_t MarkSize(ByteOrderMark mark);

// How a file's text was read: its encoding and the mark it starts with. As single-byte text
// a UTF-8 mark is read as the characters it is made of.
struct ReadEncoding {
    TextEncoding encoding = TextEncoding::SingleByte;
    ByteOrderMark mark = ByteOrderMark::None;
};

// The encoding in the log's words: "single-byte text", "UTF-8 with a byte-order mark",
// "UTF-8 without a byte-order mark", "UTF-16LE with a byte-order mark" (UTF-16LE is read only
// by its mark and always written with it).
std::u16string_view EncodingName(TextEncoding encoding, bool withMark);

// What a decoding took: the bytes it used and the characters it appended.
struct Decoded {
    std::size_t bytes = 0;
    bool invalid = false;      // a UTF-8 sequence was ill-formed and read as U+FFFD
    bool beyondAscii = false;  // UTF-8: a character above 127 was appended
};

// Appends the characters of the bytes in the encoding to `text`. Where more bytes follow
// (`atEnd` false), a character whose bytes the span cuts short is left for the next call;
// at the end, a lone last byte of UTF-16LE and a UTF-8 sequence cut short read as U+FFFD.
// UTF-8 takes the well-formed sequences of Unicode only (no overlong form, no surrogate,
// nothing beyond U+10FFFF), each ill-formed one read as U+FFFD for its lead byte and the
// continuations that could still have completed it.
Decoded DecodeText(TextEncoding encoding, std::span<const std::uint8_t> bytes, bool atEnd, std::u16string& text);

}  // namespace zarvo
