// The prerequisite actions where only the simulated machine reaches: key-path prefixes
// case by case, the last failure number that fits a property name, the lines they write
// into the installer's log, and every platform call failing in turn.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "dll/action_table.h"
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

// Whether only the log failed: one of a log line's calls, or the WOW64 question, which the
// rows ask only to name their view. The outcome must then be the clean run's.
bool OnlyTheLogFailed(const std::vector<sim::Operation>& calls, const FailedCall& failed)
{
    return FailedOnLog(calls, failed) || FailedOn(failed, sim::Operation::CallIsWow64Process);
}

TEST(FaultInjection, CheckPrerequisitesNumbersWhatFailedAndClosesEverything)
{
    std::vector<sim::Operation> clean;
    RunFaultSweep(
        {.setUp = EveryRowKind,
         .action = "CheckPrerequisites",
         .check = [&](sim::SimPlatform& sim, InstallerHandle session, const FailedCall& failed) {
             const auto failure = [&](int number) {
                 return sim.installer.PropertyValue(
                     session, u"FALSEPREREQUISITY_" + std::u16string(1, static_cast<char16_t>(u'0' + number)));
             };
             if (!failed) {
                 clean = sim.ledger.Calls();
                 // Files, registry values and products are all read, so the sweep fails
                 // each kind of read in turn.
                 for (const sim::Operation read :
                      {sim::Operation::GetFileVersion, sim::Operation::QueryValue,
                       sim::Operation::GetProductInfo})
                     EXPECT_NE(sim.ledger.CallCount(read), 0u) << read;
             }
             if (!failed || OnlyTheLogFailed(sim.ledger.Calls(), failed)) {
                 EXPECT_EQ(failure(0), u"file") << Failing(failed);
                 EXPECT_EQ(failure(1), u"count") << Failing(failed);
                 EXPECT_EQ(failure(2), u"instance") << Failing(failed);
                 EXPECT_EQ(failure(3), u"") << Failing(failed);
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
         },
         .answersWhen = [&](const FailedCall& failed) -> std::set<WinResult> {
             if (!failed || OnlyTheLogFailed(clean, failed)) return {kErrorInstallFailure};
             return {kErrorSuccess, kErrorInstallFailure};
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
    std::vector<sim::Operation> clean;
    RunFaultSweep({.setUp = PassingRows,
                   .action = "CheckPrerequisites",
                   .check = [&](sim::SimPlatform& sim, InstallerHandle, const FailedCall& failed) {
                       if (!failed) clean = sim.ledger.Calls();
                   },
                   .answersWhen = [&](const FailedCall& failed) -> std::set<WinResult> {
                       if (!failed || OnlyTheLogFailed(clean, failed)) return {kErrorSuccess};
                       // The row's own registry read may fail the row or not; every call that
                       // reads the table stops the installation.
                       for (const sim::Operation tableRead :
                            {sim::Operation::GetActiveDatabase, sim::Operation::IsTablePersistent,
                             sim::Operation::OpenView, sim::Operation::ExecuteView,
                             sim::Operation::FetchRecord, sim::Operation::FormatRecord,
                             sim::Operation::SetRecordString})
                           if (FailedOn(failed, tableRead)) return {kErrorInstallFailure};
                       return {kErrorSuccess, kErrorInstallFailure};
                   }});
}

TEST(FaultInjection, ChangeElementsFromPrerequisitesAnswersZeroAndClosesEverything)
{
    RunFaultSweep({EveryRowKind, "ChangeElementsFromPrerequisites", {kErrorSuccess},
                   [](sim::SimPlatform& sim, InstallerHandle session, const FailedCall& failed) {
                       if (failed && !OnlyTheLogFailed(sim.ledger.Calls(), failed)) return;
                       EXPECT_EQ(sim.installer.PropertyValue(session, u"OLD_VENDOR"), u"1")
                           << Failing(failed);
                       const std::map<std::u16string, int> requested = {{u"Extra", kInstallStateAbsent}};
                       EXPECT_EQ(sim.installer.ComponentRequests(session), requested) << Failing(failed);
                   }});
}

// The lines an action wrote when run on the machine, after its answer is checked.
std::vector<std::u16string> Lines(sim::SimPlatform& sim, InstallerHandle session, const char* action,
                                  WinResult answer)
{
    EXPECT_EQ(InvokeAction(*FindAction(action), sim.platform(), session), answer) << action;
    return sim.installer.Messages(session);
}

// A package whose Prerequisites table holds these rows: Order, Type, Name, Destination,
// ValueName and Value.
InstallerHandle WithRows(sim::SimPlatform& sim, const std::vector<std::vector<sim::SimField>>& rows)
{
    auto database = std::make_shared<sim::SimDatabase>();
    database->tables[u"Prerequisites"] = sim::SimTable{
        {{u"Order", true}, {u"Type"}, {u"Name"}, {u"Destination"}, {u"ValueName"}, {u"Value"},
         {u"Component_"}},
        {},
        true};
    for (std::vector<sim::SimField> row : rows) {
        row.push_back(u"C");
        database->tables[u"Prerequisites"].rows.push_back(row);
    }
    return sim.installer.OpenSession(database);
}

TEST(PrerequisitesLog, TheGateSaysWhatEachRowReadAndHowItEnded)
{
    sim::SimPlatform sim;
    const InstallerHandle session = EveryRowKind(sim);
    const std::u16string product = u"product {11111111-2222-3333-4444-555555555555} in state \"5\", "
                                   u"read as 5.0.0.0, which is not below 5.0.0.0";
    EXPECT_EQ(Lines(sim, session, "CheckPrerequisites", kErrorInstallFailure),
              (std::vector<std::u16string>{
                  u"CheckPrerequisites: row 1 (CheckFileVersion \"file\"): file C:\\App\\app.dll "
                  u"has version 2.0.0.0, which is below 3.0.0.0: fails",
                  u"CheckPrerequisites: row 2 (CheckRegistryVersion \"version\"): value \"Version\" "
                  u"of key SOFTWARE\\Vendor in the 64-bit view holds \"2.0\", read as 2.0.0.0, "
                  u"which is not below 2.0.0.0: passes",
                  u"CheckPrerequisites: row 3 (CheckRegistryDWord \"count\"): value \"Count\" of key "
                  u"SOFTWARE\\Vendor in the 32-bit view holds the DWORD 3, which is below 4: fails",
                  u"CheckPrerequisites: row 4 (CheckProductState \"product\"): " + product + u": passes",
                  u"CheckPrerequisites: row 5 (CheckInstanceProductState \"instance\"): value "
                  u"\"Instance\" of key SOFTWARE\\Vendor in the 32-bit view names " + product + u": fails",
                  u"CheckPrerequisites: row 6 (CheckVersionSetProperty \"OLD_VENDOR\"): a row of "
                  u"ChangeElementsFromPrerequisites: passes unchecked",
                  u"CheckPrerequisites: row 7 (CheckFileVersionDisableComponent \"Extra\"): a row of "
                  u"ChangeElementsFromPrerequisites: passes unchecked",
                  u"CheckPrerequisites: 3 rows failed: FALSEPREREQUISITY_0, FALSEPREREQUISITY_1, "
                  u"FALSEPREREQUISITY_2 set; answers 1603",
              }));

    // The summary names only the properties that the installer took.
    sim::SimPlatform refusing;
    const InstallerHandle refused = EveryRowKind(refusing);
    refusing.installer.refuseProperties = true;
    EXPECT_EQ(Lines(refusing, refused, "CheckPrerequisites", kErrorInstallFailure).back(),
              u"CheckPrerequisites: 3 rows failed: no property set; answers 1603");
}

TEST(PrerequisitesLog, TheChangesSayWhatEachRowChanged)
{
    sim::SimPlatform sim;
    const InstallerHandle session = EveryRowKind(sim);
    const std::vector<std::u16string> lines = Lines(sim, session, "ChangeElementsFromPrerequisites", 0);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], u"ChangeElementsFromPrerequisites: row 1 (CheckFileVersion \"file\"): a row of "
                        u"CheckPrerequisites: changes nothing");
    EXPECT_EQ(lines[5], u"ChangeElementsFromPrerequisites: row 6 (CheckVersionSetProperty \"OLD_VENDOR\"): "
                        u"value \"Version\" of key SOFTWARE\\Vendor in the 32-bit view is missing or "
                        u"empty: sets OLD_VENDOR to 1");
    EXPECT_EQ(lines[6], u"ChangeElementsFromPrerequisites: row 7 (CheckFileVersionDisableComponent "
                        u"\"Extra\"): file C:\\App\\app.dll has version 2.0.0.0, which is not below "
                        u"1.0.0.0: asks for component Extra to be left out");
    EXPECT_EQ(lines[7], u"ChangeElementsFromPrerequisites: set to 1: OLD_VENDOR; asked to leave out: "
                        u"Extra; answers 0");

    // What the installer refuses is said in the row's line and left out of the summary.
    sim::SimPlatform refusing;
    const InstallerHandle refused = EveryRowKind(refusing);
    refusing.installer.refuseProperties = true;
    const std::vector<std::u16string> told = Lines(refusing, refused, "ChangeElementsFromPrerequisites", 0);
    ASSERT_EQ(told.size(), 8u);
    EXPECT_TRUE(told[5].ends_with(u": sets OLD_VENDOR to 1, refused (error 1627)"));
    EXPECT_EQ(told[7], u"ChangeElementsFromPrerequisites: asked to leave out: Extra; answers 0");
}

TEST(PrerequisitesLog, NamesUnknownKindsWithTheLikelyMeantOne)
{
    sim::SimPlatform sim;
    const InstallerHandle session =
        WithRows(sim, {{u"1", u"CheckFileVersoin", u"typo", u"C:\\a.dll", u"FileVersion", u"1"},
                       {u"2", u"CheckVersionSetPropery", u"TYPO", u"SOFTWARE\\A", u"V", u"1"},
                       {u"3", u"Unchecked", u"other", u"", u"", u""},
                       {u"4", u"CheckFileVersion", u"keyword", u"C:\\a.dll", u"Version", u"1"},
                       {u"5", u"checkfileversion", u"", u"C:\\a.dll", u"fileversion", u"1"}});
    EXPECT_EQ(Lines(sim, session, "CheckPrerequisites", kErrorInstallFailure),
              (std::vector<std::u16string>{
                  u"CheckPrerequisites: row 1 (CheckFileVersoin \"typo\"): unknown Type "
                  u"\"CheckFileVersoin\" (did you mean CheckFileVersion?): passes unchecked",
                  u"CheckPrerequisites: row 2 (CheckVersionSetPropery \"TYPO\"): unknown Type "
                  u"\"CheckVersionSetPropery\": passes unchecked",
                  u"CheckPrerequisites: row 3 (Unchecked \"other\"): unknown Type \"Unchecked\": "
                  u"passes unchecked",
                  u"CheckPrerequisites: row 4 (CheckFileVersion \"keyword\"): ValueName \"Version\" is "
                  u"not FileVersion: passes unchecked",
                  u"CheckPrerequisites: row 5 (checkfileversion \"\"): file C:\\a.dll has no readable "
                  u"version (error 2): fails",
                  u"CheckPrerequisites: 1 row failed: FALSEPREREQUISITY_0 set; answers 1603",
              }));
    const std::vector<std::u16string> changes = Lines(sim, session, "ChangeElementsFromPrerequisites", 0);
    ASSERT_EQ(changes.size(), 6u + 6u);
    EXPECT_EQ(changes[6], u"ChangeElementsFromPrerequisites: row 1 (CheckFileVersoin \"typo\"): unknown "
                          u"Type \"CheckFileVersoin\": changes nothing");
    EXPECT_EQ(changes[7], u"ChangeElementsFromPrerequisites: row 2 (CheckVersionSetPropery \"TYPO\"): "
                          u"unknown Type \"CheckVersionSetPropery\" (did you mean "
                          u"CheckVersionSetProperty?): changes nothing");
    EXPECT_EQ(changes[11], u"ChangeElementsFromPrerequisites: changed nothing; answers 0");
}

TEST(PrerequisitesLog, NamesTheViewThePrefixChoseOrTheOneViewOf32BitWindows)
{
    for (const bool windows64 : {true, false}) {
        sim::SimPlatform sim;
        sim.registry.windows64 = windows64;
        const InstallerHandle session =
            WithRows(sim, {{u"1", u"CheckRegistryDWord", u"a", u"key_wow64_64key:SOFTWARE\\None", u"V", u"1"},
                           {u"2", u"CheckRegistryDWord", u"b", u"key_wow64_32key:SOFTWARE\\None", u"V", u"1"},
                           {u"3", u"CheckInstanceProductState", u"c", u"SOFTWARE\\None", u"V", u"1"}});
        const std::u16string view64 = windows64 ? u"the 64-bit view" : u"the one view";
        const std::u16string view32 = windows64 ? u"the 32-bit view" : u"the one view";
        EXPECT_EQ(Lines(sim, session, "CheckPrerequisites", kErrorInstallFailure),
                  (std::vector<std::u16string>{
                      u"CheckPrerequisites: row 1 (CheckRegistryDWord \"a\"): key SOFTWARE\\None not "
                      u"found in " + view64 + u": fails",
                      u"CheckPrerequisites: row 2 (CheckRegistryDWord \"b\"): key SOFTWARE\\None not "
                      u"found in " + view32 + u": fails",
                      u"CheckPrerequisites: row 3 (CheckInstanceProductState \"c\"): key "
                      u"SOFTWARE\\None not found in " + view32 + u": passes",
                      u"CheckPrerequisites: 2 rows failed: FALSEPREREQUISITY_0, FALSEPREREQUISITY_1 set; "
                      u"answers 1603",
                  }));
    }
}

TEST(PrerequisitesLog, SaysWhyATableWasNotCheckedAndWhatTheActionAnswers)
{
    const std::vector<sim::SimColumn> lacking = {{u"Order", true}, {u"Type"}, {u"Name"}};
    struct Case {
        std::optional<sim::SimTable> table;
        std::u16string problem;
    };
    const Case cases[] = {
        {std::nullopt, u"the package has no Prerequisites table"},
        {sim::SimTable{{{u"Order", true}}, {}, false},
         u"the Prerequisites table is a temporary table of the running installation, not the "
         u"package's own"},
        {sim::SimTable{lacking, {}, true},
         u"the Prerequisites table lacks one of the columns Type, Name, Destination, ValueName, "
         u"Value, Component_ and Order"},
    };
    for (const Case& c : cases) {
        sim::SimPlatform sim;
        auto database = std::make_shared<sim::SimDatabase>();
        if (c.table) database->tables[u"Prerequisites"] = *c.table;
        const InstallerHandle session = sim.installer.OpenSession(database);
        EXPECT_EQ(Lines(sim, session, "CheckPrerequisites", 0),
                  std::vector<std::u16string>{u"CheckPrerequisites: " + c.problem +
                                              u": nothing checked; answers 0"});
        EXPECT_EQ(Lines(sim, session, "ChangeElementsFromPrerequisites", 0).back(),
                  u"ChangeElementsFromPrerequisites: " + c.problem + u": changed nothing; answers 0");
    }
}

TEST(PrerequisitesLog, SaysHowFarATableThatFailedWasRead)
{
    sim::SimPlatform sim;
    const InstallerHandle session = PassingRows(sim);
    sim.ledger.FailCall(sim::Operation::FetchRecord, 2);
    const std::vector<std::u16string> gate = Lines(sim, session, "CheckPrerequisites", kErrorInstallFailure);
    ASSERT_EQ(gate.size(), 3u);
    EXPECT_EQ(gate[1], u"CheckPrerequisites: the Prerequisites table could not be read whole (rows read: "
                       u"1): the gate fails closed");
    EXPECT_EQ(gate[2], u"CheckPrerequisites: no row failed; answers 1603");
    sim.ledger.FailCall(sim::Operation::FetchRecord, 1);
    const std::vector<std::u16string> changes = Lines(sim, session, "ChangeElementsFromPrerequisites", 0);
    EXPECT_EQ(std::vector<std::u16string>(changes.begin() + 3, changes.end()),
              (std::vector<std::u16string>{
                  u"ChangeElementsFromPrerequisites: the Prerequisites table could not be read whole "
                  u"(rows read: 0): the rows not read change nothing",
                  u"ChangeElementsFromPrerequisites: changed nothing; answers 0"}));
}

}  // namespace
}  // namespace zarvo::test
