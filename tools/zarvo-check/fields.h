#pragma once
// A package field as the checks read it: its text, or the integer an integer column holds.
#include <cstdint>
#include <optional>
#include <string>

#include "package.h"

namespace zarvo::check {

// The field's text; a null field is the empty text, as the installer formats it.
std::u16string TextOf(const Field& field);

// The decimal integer the field holds whole, with an optional minus sign; nothing for a null
// field, any other text, or a number beyond 32 bits.
std::optional<std::int32_t> IntegerOf(const Field& field);

}  // namespace zarvo::check
