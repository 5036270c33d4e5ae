// The registry helpers where only the simulated machine reaches: the WOW64 answer where
// Windows cannot give it, values' data of every shape and reads failing between two queries.
#include <gtest/gtest.h>

#include "frame/machine_registry.h"
#include "frame/registry_view.h"
#include "platform/sim/sim_platform.h"

namespace zarvo {
namespace {

using namespace std::string_view_literals;

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

// The value's text under SOFTWARE\V, with call `failing` of the read made to fail (0: none).
ValueText ReadValue(sim::SimPlatform& sim, const char16_t* name, std::uint64_t failing = 0)
{
    const RegistryKeyGuard key(sim.registry, OpenMachineKey(sim.registry, u"SOFTWARE\\V", kKeyRead));
    sim.ledger.FailCall(failing);
    return ReadValueText(sim.registry, key.Get(), name);
}

TEST(ReadValueText, EndsDataOfAnyShapeInsideItsBuffer)
{
    sim::SimPlatform sim;
    sim.registry.WriteValue(u"SOFTWARE\\V", u"Odd", kRegBinary, {'A', 0, 'B'});
    sim.registry.WriteValue(u"SOFTWARE\\V", u"Unended", kRegMultiSz, {'x', 0, 0, 0, 'y', 0});
    const ValueText odd = ReadValue(sim, u"Odd");
    ASSERT_TRUE(odd.heldData && odd.text);
    EXPECT_EQ(std::u16string_view(odd.text.get(), odd.characters), u"AB\0\0\0"sv);
    // Both strings of a multi-string without its terminators still end.
    const ValueText unended = ReadValue(sim, u"Unended");
    ASSERT_TRUE(unended.heldData && unended.text);
    EXPECT_EQ(std::u16string_view(unended.text.get(), unended.characters), u"x\0y\0\0\0"sv);
}

TEST(ReadValueText, TellsAValueWithoutDataFromOneWhoseDataCouldNotBeRead)
{
    sim::SimPlatform sim;
    sim.registry.WriteValue(u"SOFTWARE\\V", u"Empty", kRegSz, {});
    sim.registry.WriteText(u"SOFTWARE\\V", u"Text", u"1.0");
    for (const ValueText& none : {ReadValue(sim, u"Missing"), ReadValue(sim, u"Empty"),
                                  ReadValue(sim, u"Text", 1)})
        EXPECT_FALSE(none.heldData || none.text);
    // The size was asked, then the data's read failed.
    const ValueText unread = ReadValue(sim, u"Text", 2);
    EXPECT_TRUE(unread.heldData);
    EXPECT_FALSE(unread.text);
}

}  // namespace
}  // namespace zarvo
