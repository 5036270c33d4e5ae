#pragma once
// The checks over the substitution commands the package's Registry table writes: whether the
// action will find each, and how it will read it.
#include "finding.h"
#include "package.h"
#include "package_index.h"

namespace zarvo::check {

void CheckRegistryCommands(const Package& package, const PackageIndex& index, Findings& findings);

}  // namespace zarvo::check
