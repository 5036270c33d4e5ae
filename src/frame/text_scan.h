#pragma once
// Numbers read from text the way the wide formatted scan reads "%d" and "%lu": white space
// skipped, one optional sign, decimal digits. Our own scanner, so that every platform
// reads package data alike.
#include <cstdint>
#include <optional>

namespace zarvo {

// Reads one number at text, moving text past it. None, with text unmoved, when no digit
// follows the white space and sign. A minus sign gives the 32-bit two's complement of the
// magnitude; a magnitude above 4294967295 reads as 4294967295, whatever its sign.
std::optional<std::uint32_t> ScanNumber(const char16_t*& text);

// The number at the start of text as a signed 32-bit integer: white space skipped, one
// optional sign, decimal digits up to the first other character; 0 without digits, and a
// number outside the signed 32-bit range clamped to its nearest end.
std::int32_t ScanClampedInteger(const char16_t* text);

}  // namespace zarvo
