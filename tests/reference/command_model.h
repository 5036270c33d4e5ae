#pragma once
// A substitution command's multi-string as the documented rules read it: the target, then
// Name=Value pairs split at their first "=", up to the empty string, the first string
// without "=", or the twentieth pair.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "reference/pairs.h"

namespace zarvo::reference {

struct Command {
    std::u16string target;
    Pairs pairs;
};

// The data of a command value read as characters, as the command store hands it on: an odd
// last byte is the low half of a character, and two zero characters follow the data, so
// that every string ends.
std::u16string CommandCharacters(const std::vector<std::uint8_t>& data);

// The command these characters hold; they must end with two zero characters.
Command CommandOf(std::u16string_view characters);

// The strings of a command for the target and pairs, as a package writes them.
std::vector<std::u16string> CommandStrings(const std::u16string& target, const Pairs& pairs);

}  // namespace zarvo::reference
