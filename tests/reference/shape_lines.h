#pragma once
// The text of a generated file's lines, as characters before they are encoded.
#include <cstddef>
#include <string>

#include "reference/seeded_random.h"
#include "reference/shape.h"

namespace zarvo::reference {

// Stands in the text for a byte sequence the encoding makes ill-formed where it can (see
// EncodedText).
inline constexpr char16_t kIllFormed = u'\uE000';

// The characters of a line before its line end, of at least `length`, holding `tokens`
// pieces that each hold a token, an element or the placeholder.
std::u16string LineText(const Shape& shape, const Pairs& pairs, SeededRandom& random, std::size_t length,
                        std::size_t tokens);
// One such piece alone.
std::u16string TokenPiece(const Shape& shape, const Pairs& pairs, SeededRandom& random);
// Text that holds no token, of exactly `length` ASCII characters.
std::u16string AsciiFiller(const Shape& shape, SeededRandom& random, std::size_t length);
// A line end of the shape's kind.
std::u16string LineEnd(const Shape& shape, SeededRandom& random);
// The length of the next line's text.
std::size_t LineLength(const Shape& shape, SeededRandom& random);

}  // namespace zarvo::reference
