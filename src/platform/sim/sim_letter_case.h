#pragma once
// How Windows matches registry key and value names, file paths and window titles: without
// regard to letter case. For the ASCII letters that means A-Z and a-z alike, which is all
// the simulated machine folds; every other character stands for itself.
#include <string>
#include <string_view>

namespace zarvo::sim {

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b);

// The order of the registry's subkeys: by their names in upper case, code unit by code unit.
bool LessIgnoringCase(std::u16string_view a, std::u16string_view b);

// The text with A-Z made a-z, for a key under which any spelling of a name is found.
std::u16string InLowerCase(std::u16string_view text);

}  // namespace zarvo::sim
