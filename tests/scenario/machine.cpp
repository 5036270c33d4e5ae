#include "scenario/machine.h"

namespace zarvo::test {

std::string Narrow(const std::u16string& text)
{
    std::string narrow;
    for (char16_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

}  // namespace zarvo::test
