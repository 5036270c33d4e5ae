// The prerequisite actions where only the simulated machine reaches: key-path prefixes
// case by case, the last failure number that fits a property name, and every platform
// call failing in turn.
#include <gtest/gtest.h>

#include <string>

#include "frame/result_codes.h"
#include "prerequisites/check_prerequisites.h"
#include "prerequisites/key_path.h"
#include "unit/fault_sweep.h"

namespace zarvo::test {
namespace {

TEST(ViewKeyPath, CutsARecognisedPrefixOnlyAtTheStart)
{
    struct Case {
        const char16_t* destination;
        bool recognise32;
        std::u16string path;
        std::uint32_t access;
    };
    const Case cases[] = {
        {u"key_wow64_64key:SOFTWARE\\A", true, u"SOFTWARE\\A", 0x20119},
        {u"KEY_WOW64_64KEY:Software\\A", false, u"Software\\A", 0x20119},
        {u"Key_Wow64_32Key:SOFTWARE\\A", true, u"SOFTWARE\\A", 0x20219},
        {u"key_wow64_32key:SOFTWARE\\A", false, u"key_wow64_32key:SOFTWARE\\A", 0x20019},
        {u" key_wow64_64key:SOFTWARE", true, u" key_wow64_64key:SOFTWARE", 0x20019},
        {u"SOFTWARE\\key_wow64_64key:A", true, u"SOFTWARE\\key_wow64_64key:A", 0x20019},
        {u"key_wow64_64key", true, u"key_wow64_64key", 0x20019},
        {u"key_wow64_64key:", true, u"", 0x20119},
        {u"", true, u"", 0x20019},
    };
    for (const Case& c : cases) {
        const ViewedKeyPath viewed = ViewKeyPath(c.destination, c.recognise32);
        EXPECT_EQ(std::u16string(viewed.path), c.path);
        EXPECT_EQ(viewed.access, c.access);
    }
}

TEST(CheckPrerequisites, NamesFailuresUpToTheLastNumberThatFits)
{
    sim::SimPlatform sim;
    const InstallerHandle session = sim.installer.OpenSession(std::make_shared<sim::SimDatabase>());
    EXPECT_TRUE(RecordFailedRow(sim.installer, session, 999999, u"last"));
    EXPECT_EQ(sim.installer.PropertyValue(session, u"FALSEPREREQUISITY_999999"), u"last");
    // The next name would need 25 characters: no property, and nothing cut short.
    EXPECT_FALSE(RecordFailedRow(sim.installer, session, 1000000, u"beyond"));
    EXPECT_EQ(sim.installer.PropertyValue(session, u"FALSEPREREQUISITY_100000"), u"");
    EXPECT_EQ(sim.installer.PropertyValue(session, u"FALSEPREREQUISITY_1000000"), u"");
}

// A package with a row of every kind, over a machine that has each row's object.
InstallerHandle EveryRowKind(sim::SimPlatform& sim)
{
    const std::u16string key = u"SOFTWARE\\Vendor";
    sim.registry.WriteText(key, u"Version", u"2.0", kKeyWow64_64Key);
    sim.registry.WriteText(key, u"Instance", u"{11111111-2222-3333-4444-555555555555}");
    sim.registry.WriteDword(key, u"Count", 3);
    sim.files.PutFile(u"C:\\App\\app.dll", "MZ");
    sim.files.SetVersion(u"C:\\App\\app.dll", {0x00020000, 0});
    sim.installer.InstallProduct(u"{11111111-2222-3333-4444-555555555555}", u"5");
    sim.installer.AddComponent(u"Extra");
    auto database = std::make_shared<sim::SimDatabase>();
    const auto row = [](const char16_t* order, const char16_t* type, const char16_t* name,
                        const char16_t* destination, const char16_t* valueName,
                        const char16_t* value) {
        return std::vector<sim::SimField>{order, type, name, destination, valueName, value, u"C"};
    };
    database->tables[u"Prerequisites"] = sim::SimTable{
        {{u"Order", true}, {u"Type"}, {u"Name"}, {u"Destination"}, {u"ValueName"}, {u"Value"},
         {u"Component_"}},
        {row(u"1", u"CheckFileVersion", u"file", u"C:\\App\\app.dll", u"FileVersion", u"3"),
         row(u"2", u"CheckRegistryVersion", u"version", u"key_wow64_64key:SOFTWARE\\Vendor",
             u"Version", u"2"),
         row(u"3", u"CheckRegistryDWord", u"count", u"SOFTWARE\\Vendor", u"Count", u"4"),
         row(u"4", u"CheckProductState", u"product", u"{11111111-2222-3333-4444-555555555555}",
             u"ValueGreaterThanOrEqualTo", u"5"),
         row(u"5", u"CheckInstanceProductState", u"instance", u"SOFTWARE\\Vendor", u"Instance",
             u"5"),
         row(u"6", u"CheckVersionSetProperty", u"OLD_VENDOR", u"SOFTWARE\\Vendor", u"Version", u"9"),
         row(u"7", u"CheckFileVersionDisableComponent", u"Extra", u"C:\\App\\app.dll", u"", u"1")},
        true};
    return sim.installer.OpenSession(database);
}

TEST(FaultInjection, CheckPrerequisitesNumbersWhatFailedAndClosesEverything)
{
    RunFaultSweep(
        {EveryRowKind, "CheckPrerequisites", {kErrorSuccess, kErrorInstallFailure},
         [](sim::SimPlatform& sim, InstallerHandle session, const FailedCall& failed) {
             const auto failure = [&](int number) {
                 return sim.installer.PropertyValue(
                     session, u"FALSEPREREQUISITY_" + std::u16string(1, static_cast<char16_t>(u'0' + number)));
             };
             if (!failed) {
                 EXPECT_EQ(failure(0), u"file");
                 EXPECT_EQ(failure(1), u"count");
                 EXPECT_EQ(failure(2), u"instance");
                 EXPECT_EQ(failure(3), u"");
                 // Files, registry values and products are all read, so the sweep fails
                 // each kind of read in turn.
                 for (const sim::Operation read :
                      {sim::Operation::GetFileVersion, sim::Operation::QueryValue,
                       sim::Operation::GetProductInfo})
                     EXPECT_NE(sim.ledger.CallCount(read), 0u) << read;
             }
             // Whatever failed, the failures that were named come in the table's order: a
             // row that could not be read drops out, one whose object could not be read fails.
             const std::u16string tableOrder[] = {u"file", u"version", u"count", u"product", u"instance"};
             std::size_t next = 0;
             for (int number = 0; number < 6; ++number) {
                 const std::u16string name = failure(number);
                 if (name.empty()) continue;
                 while (next < 5 && tableOrder[next] != name) ++next;
                 EXPECT_LT(next++, 5u) << Failing(failed);
             }
         }});
}

// A table whose every row holds: the gate answers 0 only when it read the whole table.
InstallerHandle PassingRows(sim::SimPlatform& sim)
{
    sim.registry.WriteDword(u"SOFTWARE\\Vendor", u"Count", 3);
    auto database = std::make_shared<sim::SimDatabase>();
    database->tables[u"Prerequisites"] = sim::SimTable{
        {{u"Order", true}, {u"Type"}, {u"Name"}, {u"Destination"}, {u"ValueName"}, {u"Value"},
         {u"Component_"}},
        {{u"1", u"CheckRegistryDWord", u"count", u"SOFTWARE\\Vendor", u"Count", u"2", u"C"},
         {u"2", u"Unchecked", u"other", u"", u"", u"", u"C"}},
        true};
    return sim.installer.OpenSession(database);
}

TEST(FaultInjection, CheckPrerequisitesFailsClosedWhenItsTableCannotBeRead)
{
    RunFaultSweep({.setUp = PassingRows,
                   .action = "CheckPrerequisites",
                   .answersWhen = [](const FailedCall& failed) -> std::set<WinResult> {
                       // The row's own registry read may fail the row or not; every call that
                       // reads the table stops the installation.
                       for (const sim::Operation tableRead :
                            {sim::Operation::GetActiveDatabase, sim::Operation::IsTablePersistent,
                             sim::Operation::OpenView, sim::Operation::ExecuteView,
                             sim::Operation::FetchRecord, sim::Operation::FormatRecord,
                             sim::Operation::SetRecordString})
                           if (FailedOn(failed, tableRead)) return {kErrorInstallFailure};
                       if (!failed) return {kErrorSuccess};
                       return {kErrorSuccess, kErrorInstallFailure};
                   }});
}

TEST(FaultInjection, ChangeElementsFromPrerequisitesAnswersZeroAndClosesEverything)
{
    RunFaultSweep({EveryRowKind, "ChangeElementsFromPrerequisites", {kErrorSuccess},
                   [](sim::SimPlatform& sim, InstallerHandle session, const FailedCall& failed) {
                       if (failed) return;
                       EXPECT_EQ(sim.installer.PropertyValue(session, u"OLD_VENDOR"), u"1");
                       EXPECT_EQ(sim.installer.ComponentRequests(session).at(u"Extra"),
                                 kInstallStateAbsent);
                   }});
}

}  // namespace
}  // namespace zarvo::test
