#pragma once
// A substitution command as the package leaves it in the registry: a multi-string whose
// first string is the file to rewrite and whose further strings are name=value pairs.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zarvo {

// Both engines take at most this many pairs.
inline constexpr std::size_t kSubstitutionPairLimit = 20;

struct SubstitutionPair {
    std::u16string_view name;   // before the first "=", possibly empty
    std::u16string_view value;  // everything after it, further "=" included
};

struct SubstitutionCommand {
    const char16_t* target;
    std::vector<SubstitutionPair> pairs;
};

// The name between two texts, as the tokens and tags made from a pair's name are.
std::u16string Enclosed(std::u16string_view before, std::u16string_view name, std::u16string_view after);

// Splits the command in place, writing a zero over the "=" of each pair it takes. The
// pairs end at the empty string that ends the sequence, at the first string without "=",
// or after kSubstitutionPairLimit. The buffer must end with two zero characters.
SubstitutionCommand ReadSubstitutionCommand(std::span<char16_t> buffer);

}  // namespace zarvo
