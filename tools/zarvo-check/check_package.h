#pragma once
// Every check over a package's tables: how the package uses this library, told as findings.
#include "finding.h"
#include "package.h"

namespace zarvo::check {

// The findings, in a stable order: the custom actions, what the package gives them to read,
// the Prerequisites table, the sequences, the substitution commands; each in the order of
// its table's rows.
Findings CheckPackage(const Package& package);

}  // namespace zarvo::check
