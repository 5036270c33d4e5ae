#pragma once
// A machine description put into the simulated registry, as importing the .reg file into a
// 64-bit Windows would.
#include "platform/sim/sim_registry.h"
#include "reg_file.h"

namespace zarvo::check {

// Creates every key, then writes every value in the file's order (a later one of the same
// name replaces the one before). Keys and values already there stay unless replaced.
void LoadMachine(const MachineDescription& machine, sim::SimRegistry& registry);

}  // namespace zarvo::check
