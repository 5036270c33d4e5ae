#pragma once
// The checks over the Prerequisites table, as the two actions that read it will take it.
#include "finding.h"
#include "package.h"
#include "package_index.h"

namespace zarvo::check {

void CheckPrerequisiteTable(const Package& package, const PackageIndex& index, Findings& findings);

}  // namespace zarvo::check
