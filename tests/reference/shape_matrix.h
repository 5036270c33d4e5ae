#pragma once
// The shapes that the scenario matrix runs through each action and holds to the model.
#include <vector>

#include "reference/shape.h"

namespace zarvo::reference {

// Every line end with every density and name set, the other parameters turning with them,
// and files of several megabytes with few tokens and many. Under Wine, where each file goes
// through a real installer session, fewer and smaller ones, but still one of several
// megabytes with few tokens.
std::vector<Shape> MatrixShapes(Engine engine, bool underWine);

// About 3 MB of short lines of plain ASCII (key=value lines in plain text), a token only in
// the last line ("Path=<INSTALLDIR>" in plain text), one or two pairs whose tokens start with
// at most three characters: long stretches of lines that the engines write as they stand.
Shape SparseAsciiShape(Engine engine, std::size_t pairCount);

}  // namespace zarvo::reference
