#include "platform/sim/sim_letter_case.h"

#include <algorithm>

namespace zarvo::sim {
namespace {

// The one bit by which an ASCII letter's two cases differ.
constexpr char16_t kCaseBit = 0x20;

bool IsAsciiLetter(char16_t c)
{
    const auto upper = c & ~kCaseBit;
    return upper >= u'A' && upper <= u'Z';
}

char16_t ToLower(char16_t c)
{
    return IsAsciiLetter(c) ? static_cast<char16_t>(c | kCaseBit) : c;
}

char16_t ToUpper(char16_t c)
{
    return IsAsciiLetter(c) ? static_cast<char16_t>(c & ~kCaseBit) : c;
}

}  // namespace

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (ToLower(a[i]) != ToLower(b[i])) return false;
    return true;
}

bool LessIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    const std::size_t shorter = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < shorter; ++i)
        if (ToUpper(a[i]) != ToUpper(b[i])) return ToUpper(a[i]) < ToUpper(b[i]);
    return a.size() < b.size();
}

std::u16string InLowerCase(std::u16string_view text)
{
    std::u16string lowered;
    lowered.reserve(text.size());
    for (const char16_t c : text) lowered += ToLower(c);
    return lowered;
}

}  // namespace zarvo::sim
