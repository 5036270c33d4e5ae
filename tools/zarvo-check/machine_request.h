#pragma once
// The machine the command line describes, for the dry run: the baseline machine, with its
// .reg files and options on top.
#include <string>
#include <variant>

#include "command_line.h"
#include "dry_run.h"

namespace zarvo::check {

// The dry run's input, or why it cannot be made: "machine.reg:12: ..." for a .reg file that
// does not read, or an option whose version is not a version.
std::variant<DryRunInput, std::string> MachineFromRequest(const CheckRequest& request);

}  // namespace zarvo::check
