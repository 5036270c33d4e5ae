#pragma once
// The machine the command line describes, read from its .reg files and options, for the dry
// run.
#include <string>
#include <variant>

#include "command_line.h"
#include "dry_run.h"

namespace zarvo::check {

// The dry run's input, or why it cannot be made: "machine.reg:12: ..." for a .reg file that
// does not read, or an option whose version is not a version.
std::variant<DryRunInput, std::string> MachineFromRequest(const CheckRequest& request);

}  // namespace zarvo::check
