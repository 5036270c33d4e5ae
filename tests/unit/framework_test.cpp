// The framework actions where only the simulated machine reaches: the scans of names,
// Windows without the WOW64 question, commands that never reach the registry, the lines
// they write into the installer's log, and every platform call failing in turn.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

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
        LogLine account;
        EXPECT_EQ(EvaluateFrameworkTest(sim.registry, command.data(), account), 1u);
        EXPECT_EQ(sim.ledger.CallCount(), 0u);
    }
}

TEST(ReadRegisteredFrameworkVersion, TakesTheLastSubkeyOnlyWithALowerCaseVAndANumber)
{
    sim::SimPlatform sim;
    sim.registry.WriteText(kPolicy + u"\\v4.5", u"-7", u"", kKeyWow64_64Key);
    LogLine account;
    const std::optional<FourPartVersion> version = ReadRegisteredFrameworkVersion(sim.registry, account);
    ASSERT_TRUE(version);
    EXPECT_EQ(version->part1, 4u);
    EXPECT_EQ(version->part2, 5u);
    EXPECT_EQ(version->part3, 4294967289u);  // -7 stored unsigned
    EXPECT_EQ(version->part4, 0u);
    sim.registry.WriteText(kPolicy + u"\\W9", u"1", u"", kKeyWow64_64Key);
    EXPECT_FALSE(ReadRegisteredFrameworkVersion(sim.registry, account));
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
    std::vector<sim::Operation> clean;
    RunFaultSweep({.setUp = FrameworkMachine,
                   .action = "IsFrameworkInstalled",
                   .check = [&](sim::SimPlatform& sim, InstallerHandle session, const FailedCall& failed) {
                       if (!failed) clean = sim.ledger.Calls();
                       const bool flagged =
                           sim.installer.PropertyValue(session, u"FrameworkNotInstalled") == u"NotInstalled";
                       // Every failure but that of closing the key, once the version is read,
                       // or of the log, fails the test; a failed WOW64 question looks in the
                       // 32-bit view, where the key is missing.
                       EXPECT_EQ(flagged, failed && !FailedOn(failed, sim::Operation::CloseKey) &&
                                              !FailedOnLog(sim.ledger.Calls(), failed))
                           << Failing(failed);
                   },
                   .answersWhen = [&](const FailedCall& failed) -> std::set<WinResult> {
                       if (!failed || FailedOnLog(clean, failed)) return {kErrorSuccess};
                       return {kErrorSuccess, 1, sim::kErrorFileNotFound, sim::kErrorAccessDenied,
                               sim::kErrorFunctionFailed};
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
                       if (!FailedOnLog(sim.ledger.Calls(), failed)) return;
                       EXPECT_EQ(mode, u"1") << Failing(failed);
                       EXPECT_EQ(path, u"C:\\Media\\redist.exe") << Failing(failed);
                   }});
}

// The lines the action wrote, after its answer is checked.
std::vector<std::u16string> Lines(sim::SimPlatform& sim, InstallerHandle session, const char* action,
                                  WinResult answer)
{
    EXPECT_EQ(InvokeAction(*FindAction(action), sim.platform(), session), answer) << action;
    return sim.installer.Messages(session);
}

std::u16string Decimal(std::uint32_t number)
{
    const std::string digits = std::to_string(number);
    return {digits.begin(), digits.end()};
}

TEST(FrameworkLog, TheTestSaysWhatItReadWhereAndWhatItAnswers)
{
    sim::SimPlatform sim;
    InstallerHandle session = FrameworkMachine(sim);
    EXPECT_EQ(Lines(sim, session, "IsFrameworkInstalled", 0),
              std::vector<std::u16string>{
                  u"IsFrameworkInstalled: value \"Version\" of key SOFTWARE\\Vendor\\Framework in the "
                  u"64-bit view holds \"4.0.30319\", read as 4.0.30319.0, which is not below 4.0.0.0: "
                  u"passes; answers 0"});

    struct Case {
        std::u16string command;
        WinResult answer;
        std::u16string account;
    };
    const Case cases[] = {
        {u"SOFTWARE\\Vendor\\Framework,Version,4.5", 1,
         u"value \"Version\" of key SOFTWARE\\Vendor\\Framework in the one view holds \"4.0.30319\", "
         u"read as 4.0.30319.0, which is below 4.5.0.0"},
        {u"SOFTWARE\\Vendor,Version,4", sim::kErrorFileNotFound,
         u"value \"Version\" of key SOFTWARE\\Vendor in the one view could not be read (error 2)"},
        {u"SOFTWARE\\None,Version,4", sim::kErrorFileNotFound,
         u"key SOFTWARE\\None could not be opened in the one view (error 2)"},
        {u"SOFTWARE\\Vendor\\Framework,Version", 1,
         u"FRAMEWORKTESTCOMMAND \"SOFTWARE\\Vendor\\Framework,Version\" is not \"subkey,value "
         u"name,version\""},
        {std::u16string(260, u'7'), 234, u"FRAMEWORKTESTCOMMAND could not be read (error 234)"},
    };
    for (const Case& c : cases) {
        sim::SimPlatform windows32;
        windows32.registry.windows64 = false;
        session = FrameworkMachine(windows32);
        windows32.installer.SetPropertyValue(session, u"FRAMEWORKTESTCOMMAND", c.command);
        EXPECT_EQ(Lines(windows32, session, "IsFrameworkInstalled", c.answer),
                  std::vector<std::u16string>{u"IsFrameworkInstalled: " + c.account +
                                              u": fails: FrameworkNotInstalled set to \"NotInstalled\"; "
                                              u"answers " + Decimal(c.answer)});
    }
}

TEST(FrameworkLog, TheInstallSaysWhatItFoundAndWhatItDecided)
{
    sim::SimPlatform sim;
    const InstallerHandle session = FrameworkMachine(sim);
    EXPECT_EQ(Lines(sim, session, "NetFrameworkInstall", 0),
              (std::vector<std::u16string>{
                  u"NetFrameworkInstall: registered framework 4.0.30319.0, from key " + kPolicy +
                      u"\\v4.0 in the 64-bit view and its last value \"30319\"",
                  u"NetFrameworkInstall: redistributable C:\\Media\\redist.exe has version 4.5.0.0",
                  u"NetFrameworkInstall: registered framework 4.0.30319.0 is below the redistributable's "
                  u"4.5.0.0: NetFrameworkFullPath set to \"C:\\Media\\redist.exe\", "
                  u"NetFrameworkInstallationMode set to \"1\""}));

    // A newer framework, and then one whose redistributable cannot be read.
    sim::SimPlatform newer;
    const InstallerHandle kept = FrameworkMachine(newer);
    newer.registry.WriteText(kPolicy + u"\\v4.5", u"1", u"", kKeyWow64_64Key);
    newer.files.SetVersion(u"C:\\Media\\redist.exe", {0x00040005, 0x00010000});
    EXPECT_EQ(Lines(newer, kept, "NetFrameworkInstall", 0).back(),
              u"NetFrameworkInstall: registered framework 4.5.1.0 is not below the redistributable's "
              u"4.5.1.0: NetFrameworkInstallationMode set to \"0\"");
    newer.installer.SetPropertyValue(kept, u"NetFrameworkFileName64", u"missing.exe");
    const std::vector<std::u16string> unread = Lines(newer, kept, "NetFrameworkInstall", 0);
    EXPECT_EQ(std::vector<std::u16string>(unread.end() - 2, unread.end()),
              (std::vector<std::u16string>{
                  u"NetFrameworkInstall: redistributable C:\\Media\\missing.exe has no readable version",
                  u"NetFrameworkInstall: the redistributable's version is unknown: "
                  u"NetFrameworkInstallationMode set to \"0\""}));
}

TEST(FrameworkLog, TheInstallSaysWhyNoFrameworkCountsAsRegisteredAndWhyThePathIsEmpty)
{
    sim::SimPlatform sim;
    const InstallerHandle session = sim.installer.OpenSession(std::make_shared<sim::SimDatabase>());
    sim.installer.SetPropertyValue(session, u"SourceDir", u"C:\\" + std::u16string(260, u'f'));
    EXPECT_EQ(Lines(sim, session, "NetFrameworkInstall", 0),
              (std::vector<std::u16string>{
                  u"NetFrameworkInstall: no framework registered: key " + kPolicy +
                      u" not found in the 64-bit view",
                  u"NetFrameworkInstall: the redistributable's path could not be built: SourceDir could "
                  u"not be read (error 234)",
                  u"NetFrameworkInstall: no framework registered: NetFrameworkFullPath set to \"\", "
                  u"NetFrameworkInstallationMode set to \"1\""}));

    const std::pair<std::vector<std::u16string>, std::u16string> registrations[] = {
        {{}, u"key " + kPolicy + u" in the 64-bit view has no subkey"},
        {{u"vNext"}, u"the last subkey of key " + kPolicy +
                         u" in the 64-bit view, \"vNext\", is not \"v\" and a number above 0"},
        {{u"v4.0"}, u"key " + kPolicy + u"\\v4.0 in the 64-bit view has no value"},
    };
    for (const auto& [subkeys, account] : registrations) {
        sim::SimPlatform machine;
        machine.registry.CreateKey(kPolicy, kKeyWow64_64Key);
        for (const std::u16string& subkey : subkeys)
            machine.registry.CreateKey(kPolicy + u"\\" + subkey, kKeyWow64_64Key);
        const InstallerHandle bare = machine.installer.OpenSession(std::make_shared<sim::SimDatabase>());
        EXPECT_EQ(Lines(machine, bare, "NetFrameworkInstall", 0).front(),
                  u"NetFrameworkInstall: no framework registered: " + account);
    }
}

}  // namespace
}  // namespace zarvo::test
