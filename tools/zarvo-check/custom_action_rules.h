#pragma once
// The checks over the package's custom actions of this library: the export each names, and
// the input each is given.
#include "finding.h"
#include "package_index.h"

namespace zarvo::check {

void CheckCustomActions(const PackageIndex& index, Findings& findings);

}  // namespace zarvo::check
