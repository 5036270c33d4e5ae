#pragma once
// The checks over where the sequences place the actions that depend on the installer's own
// steps: the installation script for the deferred actions, costing for the component
// requests, the resolved source for the redistributable.
#include "finding.h"
#include "package.h"
#include "package_index.h"

namespace zarvo::check {

void CheckSequences(const Package& package, const PackageIndex& index, Findings& findings);

}  // namespace zarvo::check
