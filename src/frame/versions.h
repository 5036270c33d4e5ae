#pragma once
// The one version value of the library: four unsigned 32-bit parts, most significant first.
#include <cstdint>

namespace zarvo {

struct FourPartVersion {
    std::uint32_t part1 = 0;
    std::uint32_t part2 = 0;
    std::uint32_t part3 = 0;
    std::uint32_t part4 = 0;
};

// Reads "a.b.c.d" as "%d.%d.%d.%d" is scanned: the scan stops at the first character that
// does not fit, every part read before keeps its value and later parts stay 0.
FourPartVersion ParseVersion(const char16_t* text);

// True when a orders strictly before b, part by part as unsigned numbers.
bool VersionLess(const FourPartVersion& a, const FourPartVersion& b);

}  // namespace zarvo
