#pragma once
// Bytes read as text, the plain way: a whole file at once into UTF-16 characters.
#include <string>
#include <string_view>

namespace zarvo::reference {

// Each byte is the character of its code.
std::u16string SingleByteText(std::string_view bytes);

struct Utf8Text {
    std::u16string text;
    bool valid = true;  // no byte sequence had to be replaced
};
// Each ill-formed sequence reads as one U+FFFD per maximal subpart, as Unicode recommends:
// a lead byte and the continuation bytes that could still have completed it.
Utf8Text Utf8Decoded(std::string_view bytes);

// Little-endian pairs of bytes; a lone last byte reads as U+FFFD.
std::u16string Utf16LeText(std::string_view bytes);

}  // namespace zarvo::reference
