#include "frame/versions.h"

#include "frame/text_scan.h"

namespace zarvo {

FourPartVersion ParseVersion(const char16_t* text) noexcept
{
    FourPartVersion version;
    std::uint32_t* const parts[] = {&version.part1, &version.part2, &version.part3,
                                    &version.part4};
    for (std::uint32_t* part : parts) {
        if (part != parts[0]) {
            // The dot must follow the previous number at once: no white space before it.
            if (*text != u'.') break;
            ++text;
        }
        const std::optional<std::uint32_t> number = ScanNumber(text);
        if (!number) break;
        *part = *number;
    }
    return version;
}

bool VersionLess(const FourPartVersion& a, const FourPartVersion& b) noexcept
{
    if (a.part1 != b.part1) return a.part1 < b.part1;
    if (a.part2 != b.part2) return a.part2 < b.part2;
    if (a.part3 != b.part3) return a.part3 < b.part3;
    return a.part4 < b.part4;
}

LogLine& operator<<(LogLine& line, const FourPartVersion& version) noexcept
{
    return line << version.part1 << u"." << version.part2 << u"." << version.part3 << u"."
                << version.part4;
}

FourPartVersion WriteVersionText(LogLine& line, const char16_t* text) noexcept
{
    const FourPartVersion version = ParseVersion(text);
    line.Quoted(text) << u", read as " << version;
    return version;
}

bool WriteBelow(LogLine& line, const FourPartVersion& found, const FourPartVersion& needed) noexcept
{
    const bool below = VersionLess(found, needed);
    line << (below ? u", which is below " : u", which is not below ") << needed;
    return below;
}

}  // namespace zarvo
