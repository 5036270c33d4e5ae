#pragma once
// The checks over what the package gives the library's actions to read: the command line of
// RunCmdFile, the test of IsFrameworkInstalled, the title of CloseWindowByGUID.
#include "finding.h"
#include "package_index.h"

namespace zarvo::check {

void CheckActionInputs(const PackageIndex& index, Findings& findings);

}  // namespace zarvo::check
