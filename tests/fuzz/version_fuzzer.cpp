// Version texts from any bytes: the scan never reads past the terminator, and wherever no
// number is too long for 32 bits it reads exactly what the C library's wide "%d" scan reads.
#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <string>

#include "frame/versions.h"

namespace {

// True when some run of digits is long enough that the C library's handling of overflow,
// which differs between C libraries, could come into play.
bool HasLongNumber(const std::u16string& text)
{
    std::size_t run = 0;
    for (char16_t c : text) {
        run = (c >= u'0' && c <= u'9') ? run + 1 : 0;
        if (run > 9) return true;
    }
    return false;
}

void ExpectSameAsScan(const std::u16string& text, const zarvo::FourPartVersion& parsed)
{
    const std::wstring wide(text.begin(), text.end());
    int parts[4] = {0, 0, 0, 0};
    std::swscanf(wide.c_str(), L"%d.%d.%d.%d", &parts[0], &parts[1], &parts[2], &parts[3]);
    const std::uint32_t expected[4] = {static_cast<std::uint32_t>(parts[0]),
                                       static_cast<std::uint32_t>(parts[1]),
                                       static_cast<std::uint32_t>(parts[2]),
                                       static_cast<std::uint32_t>(parts[3])};
    if (parsed.part1 != expected[0] || parsed.part2 != expected[1] ||
        parsed.part3 != expected[2] || parsed.part4 != expected[3])
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const auto c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (c == u'\0') break;
        // Outside ASCII the C library's idea of white space depends on its locale.
        text += c < 0x80 ? c : u'?';
    }
    const zarvo::FourPartVersion parsed = zarvo::ParseVersion(text.c_str());
    if (!HasLongNumber(text)) ExpectSameAsScan(text, parsed);
    return 0;
}
