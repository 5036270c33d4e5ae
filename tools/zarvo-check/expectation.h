#pragma once
// --expect: a build that holds a package to what its installation does on a machine, e.g. that
// it is refused where a prerequisite is missing.
#include <optional>
#include <string>

#include "command_line.h"
#include "dry_run.h"

namespace zarvo::check {

// Nothing when the dry run's installation did as expected (or nothing was expected); otherwise
// what it did instead: "the installation stops at CheckPrerequisites (answered 1603), while it
// is expected to pass". UTF-8.
std::optional<std::string> UnmetExpectation(Expectation expect, const DryRun& dry);

}  // namespace zarvo::check
