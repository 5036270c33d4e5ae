#pragma once
// Runs an action once on a clean simulated machine to count its platform calls, then once
// more for every N up to that count with call N failing, each time on a machine set up
// afresh. After every run no handle may be left open and the answer must be one the
// action may give.
#include <functional>
#include <set>

#include "platform/sim/sim_platform.h"

namespace zarvo::test {

struct FaultSweep {
    // Sets up a fresh machine for one run and gives the session to run the action in.
    std::function<InstallerHandle(sim::SimPlatform&)> setUp;
    const char* action = nullptr;
    std::set<WinResult> allowedAnswers;
    // Optional: further checks on the machine after a run with call N failing (0: clean).
    std::function<void(sim::SimPlatform&, InstallerHandle session, std::uint64_t failedCall)>
        check;
};

// The number of platform calls of the clean run.
std::uint64_t RunFaultSweep(const FaultSweep& sweep);

}  // namespace zarvo::test
