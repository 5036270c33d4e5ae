#pragma once
// Names and keywords compared without regard to the case of A-Z, and only of A-Z: package
// keywords, registry names and file paths are compared so, whatever the locale.
#include <string>
#include <string_view>

namespace zarvo {

constexpr char16_t UpperLetter(char16_t c)
{
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

constexpr char16_t LowerLetter(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool SameIgnoringLetterCase(std::u16string_view a, std::u16string_view b);

// The text with A-Z made a-z.
std::u16string LowerLetters(std::u16string_view text);

}  // namespace zarvo
