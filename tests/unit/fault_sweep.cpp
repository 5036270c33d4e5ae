#include "unit/fault_sweep.h"

#include <gtest/gtest.h>

#include <memory>

#include "dll/action_table.h"

namespace zarvo::test {
namespace {

std::uint64_t RunOnce(const FaultSweep& sweep, std::uint64_t failedCall)
{
    auto sim = std::make_unique<sim::SimPlatform>();
    const InstallerHandle session = sweep.setUp(*sim);
    sim->ledger.FailCall(failedCall);
    const WinResult answer = InvokeAction(*FindAction(sweep.action), sim->platform(), session);
    const std::uint64_t calls = sim->ledger.CallCount();
    sim->ledger.FailCall(0);
    EXPECT_EQ(sweep.allowedAnswers.count(answer), 1u)
        << sweep.action << " answered " << answer << " with call " << failedCall << " failing";
    EXPECT_EQ(sim->ledger.OpenCount(), 0u)
        << sweep.action << " with call " << failedCall << " failing left open:\n"
        << sim->ledger.DescribeOpen();
    if (sweep.check) sweep.check(*sim, session, failedCall);
    return calls;
}

}  // namespace

std::uint64_t RunFaultSweep(const FaultSweep& sweep)
{
    const std::uint64_t calls = RunOnce(sweep, 0);
    for (std::uint64_t n = 1; n <= calls; ++n) RunOnce(sweep, n);
    return calls;
}

}  // namespace zarvo::test
