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
    const auto calls = RunFaultSweep(
        {PlainSession, "SetDateTimeProperty", {kErrorSuccess},
         [](sim::SimPlatform& sim, InstallerHandle session, std::uint64_t failed) {
             // The clock cannot fail; only the property write can, and then nothing is set.
             EXPECT_EQ(sim.installer.PropertyValue(session, u"DateTime").empty(), failed == 2);
         }});
    EXPECT_EQ(calls, 2u);
}

}  // namespace
}  // namespace zarvo::test
