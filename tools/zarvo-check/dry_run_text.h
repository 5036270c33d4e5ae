#pragma once
// A dry run as the checker prints it after its findings.
#include <string>

#include "dry_run.h"

namespace zarvo::check {

// One paragraph per action run, e.g.
//   dry run: CheckPrerequisites answered 1603
//     CheckPrerequisites: ...              (each line it logged)
//     sets FALSEPREREQUISITY_0=Zarvo Runtime 2.0 or later
//     requests component Redist absent
//     stops the installation          (an answer that is neither 0 nor ignored)
// An action run by a package's own action is named "TestFramework45 (IsFrameworkInstalled)",
// followed by what it read: "with FRAMEWORKTESTCOMMAND=...". UTF-8, each line ended by LF.
std::string DryRunText(const DryRun& dry);

}  // namespace zarvo::check
