#pragma once
// The pairs (or the wizard file's replacement) of a generated shape.
#include "reference/seeded_random.h"
#include "reference/shape.h"

namespace zarvo::reference {

Pairs MakePairs(const Shape& shape, SeededRandom& random);
std::u16string MakeReplacement(const Shape& shape, SeededRandom& random);

}  // namespace zarvo::reference
