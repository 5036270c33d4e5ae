#pragma once
// The one version value of the library: four unsigned 32-bit parts, most significant first.
#include <cstdint>

#include "frame/action_log.h"

namespace zarvo {

struct FourPartVersion {
    std::uint32_t part1 = 0;
    std::uint32_t part2 = 0;
    std::uint32_t part3 = 0;
    std::uint32_t part4 = 0;
};

// Reads "a.b.c.d" as "%d.%d.%d.%d" is scanned: the scan stops at the first character that
// does not fit, every part read before keeps its value and later parts stay 0.
FourPartVersion ParseVersion(const char16_t* text) noexcept;

// True when a orders strictly before b, part by part as unsigned numbers.
bool VersionLess(const FourPartVersion& a, const FourPartVersion& b) noexcept;

// Adds the version to a log line as "a.b.c.d", every part written.
LogLine& operator<<(LogLine& line, const FourPartVersion& version) noexcept;

// Adds a version text to a log line as it was read and as it is taken, `"2.0", read as
// 2.0.0.0`, and gives the version taken.
FourPartVersion WriteVersionText(LogLine& line, const char16_t* text) noexcept;

// Adds how the version found stands to the one needed, `, which is below 3.0.0.0` or
// `, which is not below 3.0.0.0`; true when it is below.
bool WriteBelow(LogLine& line, const FourPartVersion& found, const FourPartVersion& needed) noexcept;

}  // namespace zarvo
