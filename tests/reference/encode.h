#pragma once
// Generated text written in the encoding of its shape.
#include <string>
#include <string_view>

#include "reference/shape.h"

namespace zarvo::reference {

// The byte-order mark that starts a file of the encoding, if any.
std::string MarkOf(Encoding encoding);

// The text's bytes, without the mark. Latin-1 writes a character above 255 as "?". The
// character kIllFormed becomes an ill-formed sequence in marked UTF-8 (which of several, by
// `variant`), a Latin-1 byte in UTF-8 that is to be broken at its end, and "?" elsewhere.
std::string EncodedText(std::u16string_view text, Encoding encoding, std::size_t variant = 0);

}  // namespace zarvo::reference
