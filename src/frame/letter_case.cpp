#include "frame/letter_case.h"

#include <algorithm>

namespace zarvo {

bool SameIgnoringLetterCase(std::u16string_view a, std::u16string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char16_t x, char16_t y) { return UpperLetter(x) == UpperLetter(y); });
}

}  // namespace zarvo
