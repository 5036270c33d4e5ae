// The WOW64 answer where Windows cannot give it.
#include <gtest/gtest.h>

#include "frame/registry_view.h"
#include "platform/sim/sim_platform.h"

namespace zarvo {
namespace {

TEST(RegistryView, NoIsWow64ProcessInKernel32MeansNoWow64)
{
    sim::SimPlatform sim;
    sim.registry.kernelHasIsWow64Process = false;
    EXPECT_FALSE(IsWow64(sim.registry));
    EXPECT_EQ(RegistryReadAccess(sim.registry, kKeyAllAccess), kKeyAllAccess);
}

TEST(RegistryView, ACallThatFailsWithoutSettingTheFlagMeansNoWow64)
{
    sim::SimPlatform sim;
    ASSERT_TRUE(sim.registry.windows64);
    sim.ledger.FailCall(sim::Operation::CallIsWow64Process, 1);
    EXPECT_FALSE(IsWow64(sim.registry));
    // Asked afresh at every use: the next call answers again.
    EXPECT_TRUE(IsWow64(sim.registry));
}

}  // namespace
}  // namespace zarvo
