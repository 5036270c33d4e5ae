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

bool SameIgnoringLetterCase(std::u16string_view a, std::u16string_view b);

}  // namespace zarvo
