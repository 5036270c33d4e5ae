// The framework actions where only the simulated machine reaches: the scans of names,
// Windows without the WOW64 question, commands that never reach the registry, and every
// platform call failing in turn.
#include <gtest/gtest.h>

#include "frame/result_codes.h"
#include "platform/sim/sim_result_codes.h"
#include "frame/text_scan.h"
#include "framework/framework_presence.h"
#include "framework/registered_framework.h"
#include "dll/action_table.h"
#include "unit/fault_sweep.h"

namespace zarvo::test {
namespace {

const std::u16string kPolicy = u"SOFTWARE\\Microsoft\\.NETFramework\\Policy";

TEST(ScanClampedInteger, ReadsASignedNumberAndClampsItToThirtyTwoBits)
{
    EXPECT_EQ(ScanClampedInteger(u" \t-12x"), -12);
    EXPECT_EQ(ScanClampedInteger(u"+30319"), 30319);
    EXPECT_EQ(ScanClampedInteger(u"2147483647"), INT32_MAX);
    EXPECT_EQ(ScanClampedInteger(u"2147483648"), INT32_MAX);
    EXPECT_EQ(ScanClampedInteger(u"-2147483648"), INT32_MIN);
    EXPECT_EQ(ScanClampedInteger(u"-99999999999999999999"), INT32_MIN);
    EXPECT_EQ(ScanClampedInteger(u"Alpha"), 0);
    EXPECT_EQ(ScanClampedInteger(u"- 1"), 0);
}

TEST(EvaluateFrameworkTest, RefusesAMalformedCommandWithoutTouchingTheRegistry)
{
    for (const char16_t* malformed : {u"", u"SOFTWARE\\A", u"SOFTWARE\\A,Version", u"SOFTWARE\\A,,1",
                                      u"SOFTWARE\\A,Version,", u",Version,1"}) {
        sim::SimPlatform sim;
        std::u16string command = malformed;
        EXPECT_EQ(EvaluateFrameworkTest(sim.registry, command.data()), 1u);
        EXPECT_EQ(sim.ledger.CallCount(), 0u);
    }
}

TEST(ReadRegisteredFrameworkVersion, TakesTheLastSubkeyOnlyWithALowerCaseVAndANumber)
{
    sim::SimPlatform sim;
    sim.registry.WriteText(kPolicy + u"\\v4.5", u"-7", u"", kKeyWow64_64Key);
    const std::optional<FourPartVersion> version = ReadRegisteredFrameworkVersion(sim.registry);
    ASSERT_TRUE(version);
    EXPECT_EQ(version->part1, 4u);
    EXPECT_EQ(version->part2, 5u);
    EXPECT_EQ(version->part3, 4294967289u);  // -7 stored unsigned
    EXPECT_EQ(version->part4, 0u);
    sim.registry.WriteText(kPolicy + u"\\W9", u"1", u"", kKeyWow64_64Key);
    EXPECT_FALSE(ReadRegisteredFrameworkVersion(sim.registry));
}

TEST(NetFrameworkInstall, ReadsThe32BitFileNameWhereWow64CannotBeAsked)
{
    sim::SimPlatform sim;
    sim.registry.kernelHasIsWow64Process = false;
    const InstallerHandle session = sim.installer.OpenSession(std::make_shared<sim::SimDatabase>());
    sim.installer.SetPropertyValue(session, u"SourceDir", u"C:\\Media\\");
    sim.installer.SetPropertyValue(session, u"NetFrameworkFileName32", u"x86.exe");
    sim.installer.SetPropertyValue(session, u"NetFrameworkFileName64", u"x64.exe");
    EXPECT_EQ(InvokeAction(*FindAction("NetFrameworkInstall"), sim.platform(), session), 0u);
    EXPECT_EQ(sim.installer.PropertyValue(session, u"NetFrameworkFullPath"), u"C:\\Media\\x86.exe");
}

// A machine with a registered framework, a newer redistributable and a passing test command.
InstallerHandle FrameworkMachine(sim::SimPlatform& sim)
{
    sim.registry.WriteText(u"SOFTWARE\\Vendor\\Framework", u"Version", u"4.0.30319", kKeyWow64_64Key);
    sim.registry.WriteText(kPolicy + u"\\v4.0", u"30319", u"", kKeyWow64_64Key);
    sim.files.PutFile(u"C:\\Media\\redist.exe", "MZ");
    sim.files.SetVersion(u"C:\\Media\\redist.exe", {0x00040005, 0});
    const InstallerHandle session = sim.installer.OpenSession(std::make_shared<sim::SimDatabase>());
    sim.installer.SetPropertyValue(session, u"FRAMEWORKTESTCOMMAND", u"SOFTWARE\\Vendor\\Framework,Version,4.0");
    sim.installer.SetPropertyValue(session, u"SourceDir", u"C:\\Media\\");
    sim.installer.SetPropertyValue(session, u"NetFrameworkFileName64", u"redist.exe");
    return session;
}

TEST(FaultInjection, IsFrameworkInstalledPassesTheFailingCallsCodeOn)
{
    RunFaultSweep({FrameworkMachine, "IsFrameworkInstalled",
                   {kErrorSuccess, 1, sim::kErrorFileNotFound, sim::kErrorAccessDenied,
                    sim::kErrorFunctionFailed},
                   [](sim::SimPlatform& sim, InstallerHandle session, const FailedCall& failed) {
                       const bool flagged =
                           sim.installer.PropertyValue(session, u"FrameworkNotInstalled") == u"NotInstalled";
                       // Every failure but that of closing the key, once the version is read,
                       // fails the test; a failed WOW64 question looks in the 32-bit view,
                       // where the key is missing.
                       EXPECT_EQ(flagged, failed && !FailedOn(failed, sim::Operation::CloseKey))
                           << Failing(failed);
                   }});
}

TEST(FaultInjection, NetFrameworkInstallAlwaysDecidesAndClosesEverything)
{
    RunFaultSweep({FrameworkMachine, "NetFrameworkInstall", {kErrorSuccess},
                   [](sim::SimPlatform& sim, InstallerHandle session, const FailedCall& failed) {
                       const std::u16string mode =
                           sim.installer.PropertyValue(session, u"NetFrameworkInstallationMode");
                       EXPECT_TRUE(failed || mode == u"1");
                       const std::u16string path = sim.installer.PropertyValue(session, u"NetFrameworkFullPath");
                       // A path handed on is the whole path, or none.
                       EXPECT_TRUE(path.empty() || path == u"C:\\Media\\redist.exe" || path == u"C:\\Media\\")
                           << Failing(failed);
                   }});
}

}  // namespace
}  // namespace zarvo::test
