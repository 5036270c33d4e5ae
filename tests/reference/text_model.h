#pragma once
// SetupSubstFiles as the documented rules and the README's choices describe it, written
// plainly: the whole file decoded, cut into lines, each row applied to each line in turn.
#include <string_view>

#include "reference/pairs.h"

namespace zarvo::reference {

// What one command of these pairs makes of a plain-text file of these bytes.
Rewritten ExpectedTextRewrite(std::string_view file, const Pairs& pairs);

}  // namespace zarvo::reference
