#pragma once
// Substitution commands as the package's Registry table writes them: which action takes a
// value up by its name, and the strings its text becomes.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarvo::check {

// The command values of one substitution action.
struct CommandFamily {
    std::u16string_view prefix;   // the value name before the number
    std::string_view exportName;  // the action that takes them up
    bool reads64BitView;          // its registry view on 64-bit Windows: the 64-bit one, or the 32-bit one
};

// The family whose prefix the value name begins with, in any letter case, as registry value
// names are compared; null for any other value.
const CommandFamily* FamilyOf(std::u16string_view valueName);

// Every value name the two actions read: each prefix with the numbers 0 to 19.
std::vector<std::u16string> CommandNames();

// Whether the text after the prefix is a number the action reads: decimal, without a
// leading zero, below kSubstitutionCommandCount.
bool IsReadNumber(std::u16string_view number);

// The strings of a Registry value written as a multi-string ("[~]" between the strings; one
// at either end only appends or prepends them to what the value holds); nothing when the
// value is not a multi-string.
std::optional<std::vector<std::u16string>> MultiStrings(std::u16string_view value);

}  // namespace zarvo::check
