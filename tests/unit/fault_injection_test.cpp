// Every action with each of its platform calls failing in turn.
#include <gtest/gtest.h>

#include "frame/result_codes.h"
#include "unit/fault_sweep.h"

namespace zarvo::test {
namespace {

InstallerHandle PlainSession(sim::SimPlatform& sim)
{
    return sim.installer.OpenSession(std::make_shared<sim::SimDatabase>());
}

TEST(FaultInjection, SetDateTimePropertyAnswersZeroWhateverFails)
{
    RunFaultSweep(
        {PlainSession, "SetDateTimeProperty", {kErrorSuccess},
         [](sim::SimPlatform& sim, InstallerHandle session, const FailedCall& failed) {
             // The clock cannot fail; only the property write can, and then nothing is set.
             EXPECT_EQ(sim.installer.PropertyValue(session, u"DateTime").empty(),
                       FailedOn(failed, sim::Operation::SetProperty))
                 << Failing(failed);
             // Date and time come from one reading of the clock, so they cannot disagree.
             EXPECT_EQ(sim.ledger.CallCount(sim::Operation::GetLocalTime), 1u);
         }});
}

}  // namespace
}  // namespace zarvo::test
