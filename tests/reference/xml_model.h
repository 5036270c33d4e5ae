#pragma once
// SetupSubstXmlFiles as the documented rules and the README's choices describe it: the file
// decoded by its mark (or found to be UTF-8), cut into lines, each pair's first element on
// each line given its value, written as UTF-16LE with its mark.
#include <string_view>

#include "reference/pairs.h"

namespace zarvo::reference {

// The text an XML file of these bytes reads as; nullopt for a big-endian UTF-16 file, which
// is not read.
std::optional<std::u16string> XmlFileText(std::string_view file);

// What one command of these pairs makes of an XML file of these bytes.
Rewritten ExpectedXmlRewrite(std::string_view file, const Pairs& pairs);

}  // namespace zarvo::reference
