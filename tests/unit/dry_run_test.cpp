// The dry run: a package's prerequisite and framework actions run on the machine the command
// line describes, through the DLL's own action code, and what each answered, set and asked
// for.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "unit/test_packages.h"
#include "zarvo-check/dry_run.h"
#include "zarvo-check/dry_run_text.h"
#include "zarvo-check/file_version_text.h"
#include "zarvo-check/machine_request.h"
#include "zarvo-check/utf8.h"

namespace zarvo::check {
namespace {

const std::u16string kProduct = u"{11111111-2222-3333-4444-555555555555}";
const std::u16string kOtherProduct = u"{66666666-7777-8888-9999-000000000000}";

Table MakeTable(std::vector<std::u16string> columns, std::vector<std::vector<Field>> rows,
                std::vector<bool> integer = {})
{
    integer.resize(columns.size());
    return Table{true, std::move(columns), std::move(integer), std::move(rows)};
}

std::vector<Field> Row(std::initializer_list<const char16_t*> fields)
{
    std::vector<Field> row;
    for (const char16_t* field : fields) row.push_back(field ? Field(field) : Field());
    return row;
}

// The Prerequisites table as the README declares it: Type, Name, Destination, ValueName,
// Value, Component_, Order (an integer column).
Table Prerequisites(std::vector<std::vector<Field>> rows)
{
    return MakeTable({u"Type", u"Name", u"Destination", u"ValueName", u"Value", u"Component_", u"Order"},
                     std::move(rows), {false, false, false, false, false, false, true});
}

std::vector<Field> Prerequisite(const char16_t* order, const char16_t* type, const char16_t* name,
                                const char16_t* destination, const char16_t* valueName, const char16_t* value)
{
    return Row({type, name, destination, valueName, value, nullptr, order});
}

// A custom action of the package that calls the library (Type 1, or 65 to go on whatever it
// answers), and its row in InstallExecuteSequence.
struct Call {
    const char16_t* action;
    const char16_t* type;
    const char16_t* target;
    const char16_t* sequence;
    const char16_t* condition = nullptr;
};

void Schedule(Package& package, std::initializer_list<Call> calls)
{
    package.libraryBinaries = {u"ZarvoBin"};
    std::vector<std::vector<Field>> actions, steps;
    for (const Call& call : calls) {
        actions.push_back(Row({call.action, call.type, u"ZarvoBin", call.target}));
        steps.push_back(Row({call.action, call.condition, call.sequence}));
    }
    package.tables[u"CustomAction"] =
        MakeTable({u"Action", u"Type", u"Source", u"Target"}, std::move(actions), {false, true, false, false});
    package.tables[u"InstallExecuteSequence"] =
        MakeTable({u"Action", u"Condition", u"Sequence"}, std::move(steps), {false, false, true});
}

// The gate (by default with its answer ignored, so that what follows runs whatever it
// answers), then the changes after costing.
void ScheduleTableActions(Package& package, const char16_t* gateType = u"65")
{
    Schedule(package, {{u"CheckPrerequisites", gateType, u"CheckPrerequisites", u"750"},
                       {u"ChangeElementsFromPrerequisites", u"1", u"ChangeElementsFromPrerequisites", u"1020"}});
}

MachineDescription Machine(std::u16string_view text)
{
    const std::string utf8 = ToUtf8(u"Windows Registry Editor Version 5.00\n" + std::u16string(text));
    auto read = ReadRegFile(std::vector<std::uint8_t>(utf8.begin(), utf8.end()));
    EXPECT_TRUE(std::holds_alternative<MachineDescription>(read));
    return std::holds_alternative<MachineDescription>(read) ? std::get<MachineDescription>(read)
                                                            : MachineDescription{};
}

FixedFileVersion Version(std::u16string_view text)
{
    return ReadFileVersionText(text).value();
}

std::vector<std::string> Changes(const ActionRun& run)
{
    std::vector<std::string> changes;
    for (const PropertyValue& property : run.properties) changes.push_back(property.name + "=" + property.value);
    for (const ComponentRequest& request : run.components) changes.push_back(request.component + " " + request.state);
    return changes;
}

std::vector<std::string> Ran(const DryRun& dry)
{
    std::vector<std::string> ran;
    for (const ActionRun& run : dry.actions) ran.push_back(run.customAction + " " + run.action);
    return ran;
}

TEST(RunDry, RunsOnlyTheCallsThatTheExecuteSequenceSchedulesInItsOrder)
{
    Package package;
    Schedule(package, {{u"LateTest", u"1", u"IsFrameworkInstalled", u"1100"},
                       {u"Gate", u"1", u"CheckPrerequisites", u"750"},
                       {u"NeverChanges", u"1", u"ChangeElementsFromPrerequisites", u"1020", u" 0 "},
                       {u"EarlyTest", u"65", u"IsFrameworkInstalled", u"700", u"NOT Installed"},
                       {u"Stamp", u"1", u"SetDateTimeProperty", u"800"}});
    package.tables[u"CustomAction"].rows.push_back(
        Row({u"Unscheduled", u"1", u"ZarvoBin", u"ChangeElementsFromPrerequisites"}));
    // A call scheduled in the UI sequence alone is not the execute sequence's to make.
    package.tables[u"InstallUISequence"] =
        MakeTable({u"Action", u"Condition", u"Sequence"}, {Row({u"Unscheduled", nullptr, u"1020"})},
                  {false, false, true});

    const DryRun dry = RunDry(package, DryRunInput{});
    EXPECT_EQ(Ran(dry), (std::vector<std::string>{"EarlyTest IsFrameworkInstalled", "Gate CheckPrerequisites",
                                                   "LateTest IsFrameworkInstalled"}));
    EXPECT_TRUE(RunDry(Package{}, DryRunInput{}).actions.empty());
}

TEST(RunDry, StopsAtAnAnswerThatTheInstallerDoesNotIgnore)
{
    Package package;
    package.tables[u"Prerequisites"] = Prerequisites(
        {Prerequisite(u"1", u"CheckRegistryVersion", u"Vendor", u"SOFTWARE\\Vendor", u"Version", u"1.0")});
    ScheduleTableActions(package, u"1");
    const DryRun stopped = RunDry(package, DryRunInput{});
    EXPECT_EQ(Ran(stopped), (std::vector<std::string>{"CheckPrerequisites CheckPrerequisites"}));
    EXPECT_TRUE(stopped.actions[0].stops);
    EXPECT_FALSE(stopped.Passes());

    ScheduleTableActions(package, u"65");
    const DryRun ignored = RunDry(package, DryRunInput{});
    ASSERT_EQ(ignored.actions.size(), 2u);
    EXPECT_EQ(ignored.actions[0].answer, 1603u);
    EXPECT_FALSE(ignored.actions[0].stops);
    EXPECT_TRUE(ignored.Passes());
}

// What packages commonly require of Windows, in both views and both system folders, and the
// .NET Framework 4.8 by its Release number and by the framework test.
Package CommonRequirements()
{
    const char16_t* kWindowsKey = u"key_wow64_64key:SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    Package package;
    package.tables[u"Prerequisites"] = Prerequisites({
        Prerequisite(u"10", u"CheckRegistryVersion", u"Windows 8.1", kWindowsKey, u"CurrentVersion", u"6.3"),
        Prerequisite(u"20", u"CheckRegistryVersion", u"Windows 8.1, 32-bit view",
                     u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", u"CurrentVersion", u"6.3"),
        Prerequisite(u"30", u"CheckRegistryDWord", u"Windows 10", kWindowsKey, u"CurrentMajorVersionNumber", u"10"),
        Prerequisite(u"40", u"CheckRegistryDWord", u"Installed after 2001",
                     u"key_wow64_32key:SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", u"InstallDate",
                     u"1000000000"),
        Prerequisite(u"50", u"CheckRegistryDWord", u".NET 4.8",
                     u"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Full", u"Release", u"528040"),
        Prerequisite(u"60", u"CheckFileVersion", u"Installer 5.0", u"[SystemFolder]msi.dll", u"FileVersion", u"5.0"),
        Prerequisite(u"70", u"CheckFileVersion", u"Installer 5.0, 64-bit", u"[System64Folder]msi.dll",
                     u"FileVersion", u"5.0"),
    });
    Schedule(package, {{u"CheckPrerequisites", u"1", u"CheckPrerequisites", u"750"},
                       {u"TestFramework48", u"1", u"IsFrameworkInstalled", u"760"}});
    package.tables[u"Property"] = MakeTable(
        {u"Property", u"Value"},
        {Row({u"FRAMEWORKTESTCOMMAND", u"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Full,Version,4.8"})});
    return package;
}

DryRunInput Requested(const CheckRequest& request)
{
    auto input = MachineFromRequest(request);
    EXPECT_TRUE(std::holds_alternative<DryRunInput>(input)) << std::get<std::string>(input);
    return std::holds_alternative<DryRunInput>(input) ? std::get<DryRunInput>(input) : DryRunInput{};
}

TEST(BaselineMachine, MeetsWhatPackagesCommonlyRequireAndGivesWayToWhatTheCommandLineAdds)
{
    const Package package = CommonRequirements();
    const DryRun baseline = RunDry(package, Requested(CheckRequest{}));
    ASSERT_EQ(baseline.actions.size(), 2u);
    EXPECT_EQ(baseline.actions[0].answer, 0u) << baseline.actions[0].log.back();
    EXPECT_EQ(baseline.actions[1].answer, 0u) << baseline.actions[1].log.back();

    // A .reg file replaces a value and leaves the rest; a file version replaces the file.
    const test::PackageFolder folder;
    CheckRequest request;
    const char kOlder[] = "Windows Registry Editor Version 5.00\n\n"
                          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion]\n"
                          "\"CurrentVersion\"=\"6.1\"\n";
    request.machines = {folder.Write("older.reg", kOlder).string()};
    request.fileVersions = {{"C:\\Windows\\SysWOW64\\msi.dll", "4.5"}};
    const DryRun changed = RunDry(package, Requested(request));
    EXPECT_EQ(changed.actions[0].answer, 1603u);
    EXPECT_EQ(Changes(changed.actions[0]), (std::vector<std::string>{"FALSEPREREQUISITY_0=Windows 8.1",
                                                                     "FALSEPREREQUISITY_1=Installer 5.0"}));
}

TEST(RunDry, ChecksAndChangesByTheMachineDescribedAndItsFilesAndProducts)
{
    Package package;
    package.tables[u"Prerequisites"] = Prerequisites({
        Prerequisite(u"10", u"CheckFileVersion", u"Installer 3.1", u"[SystemFolder]msi.dll", u"FileVersion", u"3.1"),
        Prerequisite(u"20", u"CheckRegistryVersion", u"Vendor 2.0", u"key_wow64_64key:SOFTWARE\\Vendor",
                     u"Version", u"2.0"),
        Prerequisite(u"30", u"CheckRegistryDWord", u"Count 3", u"key_wow64_32key:SOFTWARE\\Vendor", u"Count", u"3"),
        Prerequisite(u"40", u"CheckProductState", u"Runtime", kProduct.c_str(), u"ValueGreaterThanOrEqualTo", u"5"),
        Prerequisite(u"45", u"CheckProductState", u"Other", kOtherProduct.c_str(), u"ValueGreaterThanOrEqualTo", u"5"),
        Prerequisite(u"50", u"CheckFileVersion", u"App 2.0", u"[APPDIR]app.dll", u"FileVersion", u"2.0"),
        Prerequisite(u"60", u"CheckVersionSetProperty", u"RUNTIME_MISSING", u"SOFTWARE\\Runtime", u"Version", u"2.0"),
        Prerequisite(u"70", u"CheckFileVersionDisableComponent", u"Redist", u"[SystemFolder]msi.dll", u"", u"3.1"),
        Prerequisite(u"80", u"CheckFileVersionDisableComponent", u"Manual", u"[SystemFolder]help.dll", u"", u"1.0"),
        // Without a prefix the 32-bit library reads the 32-bit view, where Vendor is older.
        Prerequisite(u"90", u"CheckVersionDisableComponent", u"Legacy", u"SOFTWARE\\Vendor", u"Version", u"1.0"),
    });
    package.tables[u"Property"] = MakeTable({u"Property", u"Value"}, {Row({u"APPDIR", u"C:\\App\\"})});
    package.tables[u"Component"] =
        MakeTable({u"Component", u"Directory_"},
                  {Row({u"Redist", u"D"}), Row({u"Manual", u"D"}), Row({u"Legacy", u"D"})});
    ScheduleTableActions(package);
    DryRunInput input;
    input.machines.push_back(Machine(u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor]\n\"Version\"=\"1.5\"\n"
                                     u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Vendor]\n\"Version\"=\"0.9\"\n"));
    input.machines.push_back(
        Machine(u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Vendor]\n\"Count\"=dword:00000005\n"));
    input.files = {{u"C:\\Windows\\SysWOW64\\msi.dll", Version(u"5.0.7601.17514")},
                   {u"C:\\App\\app.dll", Version(u"1.9")}};
    input.products[kProduct] = u"5";

    const DryRun dry = RunDry(package, input);
    ASSERT_EQ(dry.actions.size(), 2u);
    const ActionRun& gate = dry.actions[0];
    EXPECT_EQ(gate.action, "CheckPrerequisites");
    EXPECT_EQ(gate.answer, 1603u);
    EXPECT_EQ(Changes(gate), (std::vector<std::string>{"FALSEPREREQUISITY_0=Vendor 2.0",
                                                       "FALSEPREREQUISITY_1=Other", "FALSEPREREQUISITY_2=App 2.0"}));
    ASSERT_FALSE(gate.log.empty());
    for (const std::string& line : gate.log) EXPECT_TRUE(line.starts_with("CheckPrerequisites: ")) << line;
    const ActionRun& changes = dry.actions[1];
    EXPECT_EQ(changes.action, "ChangeElementsFromPrerequisites");
    EXPECT_EQ(changes.answer, 0u);
    EXPECT_EQ(Changes(changes), (std::vector<std::string>{"RUNTIME_MISSING=1", "Redist absent"}));
    EXPECT_FALSE(changes.log.empty());
}

TEST(RunDry, TakesAStandardFolderThatThePackageSetsAtItsWord)
{
    Package package;
    package.tables[u"Prerequisites"] = Prerequisites(
        {Prerequisite(u"1", u"CheckFileVersion", u"msi", u"[SystemFolder]msi.dll", u"FileVersion", u"3.1")});
    DryRunInput input;
    ScheduleTableActions(package);
    input.files = {{u"D:\\Sys\\msi.dll", Version(u"3.1")}, {u"C:\\Windows\\SysWOW64\\msi.dll", std::nullopt}};
    EXPECT_EQ(RunDry(package, input).actions[0].answer, 1603u);
    package.tables[u"Property"] = MakeTable({u"Property", u"Value"}, {Row({u"SystemFolder", u"D:\\Sys\\"})});
    EXPECT_EQ(RunDry(package, input).actions[0].answer, 0u);
}

TEST(RunDry, RunsEachFrameworkTestOfTheSequenceWithTheCommandSetBeforeIt)
{
    Package package;
    package.libraryBinaries = {u"ZarvoBin"};
    package.tables[u"CustomAction"] = MakeTable(
        {u"Action", u"Type", u"Source", u"Target"},
        {Row({u"SetWindowsTest", u"51", u"FRAMEWORKTESTCOMMAND",
              u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion,CurrentVersion,6.0"}),
         Row({u"IsFrameworkInstalled", u"1", u"ZarvoBin", u"IsFrameworkInstalled"}),
         Row({u"SetFrameworkTest", u"51", u"FRAMEWORKTESTCOMMAND", u"[FRAMEWORKKEY],Version,4.5"}),
         Row({u"TestFramework45", u"65", u"ZarvoBin", u"IsFrameworkInstalled"}),
         Row({u"ElsewhereTest", u"1", u"OtherBin", u"IsFrameworkInstalled"}),
         Row({u"ExitTest", u"1", u"ZarvoBin", u"IsFrameworkInstalled"})},
        {false, true, false, false});
    package.tables[u"InstallExecuteSequence"] = MakeTable(
        {u"Action", u"Condition", u"Sequence"},
        {Row({u"TestFramework45", u"NOT Installed", u"764"}), Row({u"SetWindowsTest", nullptr, u"760"}),
         Row({u"ElsewhereTest", nullptr, u"765"}), Row({u"IsFrameworkInstalled", nullptr, u"761"}),
         Row({u"SetFrameworkTest", nullptr, u"763"}), Row({u"ExitTest", nullptr, u"-1"})},
        {false, false, true});
    package.tables[u"Property"] = MakeTable({u"Property", u"Value"}, {Row({u"FRAMEWORKKEY", u"SOFTWARE\\Fw"})});
    DryRunInput input;
    // The framework test reads the 64-bit view: the newer 32-bit copy does not count.
    input.machines.push_back(Machine(u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion]\n"
                                     u"\"CurrentVersion\"=\"6.1\"\n"
                                     u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Fw]\n\"Version\"=\"4.0\"\n"
                                     u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Fw]\n\"Version\"=\"4.8\"\n"));

    const DryRun dry = RunDry(package, input);
    ASSERT_EQ(dry.actions.size(), 2u);
    const ActionRun& windows = dry.actions[0];
    EXPECT_EQ(windows.action, "IsFrameworkInstalled");
    EXPECT_EQ(windows.customAction, "IsFrameworkInstalled");
    ASSERT_EQ(windows.given.size(), 1u);
    EXPECT_EQ(windows.given[0].value, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion,CurrentVersion,6.0");
    EXPECT_EQ(windows.answer, 0u);
    EXPECT_TRUE(Changes(windows).empty());
    const ActionRun& framework = dry.actions[1];
    EXPECT_EQ(framework.customAction, "TestFramework45");
    ASSERT_EQ(framework.given.size(), 1u);
    EXPECT_EQ(framework.given[0].name, "FRAMEWORKTESTCOMMAND");
    EXPECT_EQ(framework.given[0].value, "SOFTWARE\\Fw,Version,4.5");
    EXPECT_EQ(framework.answer, 1u);
    EXPECT_EQ(Changes(framework), (std::vector<std::string>{"FrameworkNotInstalled=NotInstalled"}));
    // Type 65 goes on past the failed test, as Return="ignore" does.
    EXPECT_FALSE(framework.stops);
    EXPECT_TRUE(dry.Passes());
}

TEST(RunDry, LetsTheTableActionsDoNothingWithoutTheTableAndSurvivesRaggedRows)
{
    Package empty;
    ScheduleTableActions(empty);
    const DryRun none = RunDry(empty, DryRunInput{});
    ASSERT_EQ(none.actions.size(), 2u);
    for (const ActionRun& run : none.actions) {
        EXPECT_EQ(run.answer, 0u);
        EXPECT_TRUE(Changes(run).empty());
        EXPECT_FALSE(run.log.empty());
    }
    // A row with fewer fields than the table has columns reads as nulls in the rest.
    Package ragged = empty;
    ragged.tables[u"Prerequisites"] = Prerequisites({Row({u"CheckRegistryDWord", u"Short"})});
    const DryRun dry = RunDry(ragged, DryRunInput{});
    EXPECT_EQ(dry.actions[0].answer, 1603u);
    EXPECT_EQ(Changes(dry.actions[0]), (std::vector<std::string>{"FALSEPREREQUISITY_0=Short"}));
}

TEST(DryRunText, NamesEachRunWithWhatItReadLoggedSetAndAskedFor)
{
    DryRun dry;
    dry.actions.push_back({"CheckPrerequisites", "", {}, 1603, {"CheckPrerequisites: row 1 fails"},
                           {{"FALSEPREREQUISITY_0", "Runtime"}, {"OLD", ""}}, {}});
    dry.actions.push_back({"ChangeElementsFromPrerequisites", "", {}, 0, {}, {}, {{"Redist", "absent"}}});
    dry.actions.push_back({"IsFrameworkInstalled", "TestFramework45", {{"FRAMEWORKTESTCOMMAND", "A,V,4.5"}}, 2,
                           {}, {{"FrameworkNotInstalled", "NotInstalled"}}, {}, true});
    EXPECT_EQ(DryRunText(dry),
              "dry run: CheckPrerequisites answered 1603\n"
              "  CheckPrerequisites: row 1 fails\n"
              "  sets FALSEPREREQUISITY_0=Runtime\n"
              "  removes OLD\n"
              "dry run: ChangeElementsFromPrerequisites answered 0\n"
              "  requests component Redist absent\n"
              "dry run: TestFramework45 (IsFrameworkInstalled) with FRAMEWORKTESTCOMMAND=A,V,4.5 answered 2\n"
              "  sets FrameworkNotInstalled=NotInstalled\n"
              "  stops the installation\n");
}

TEST(ReadFileVersionText, ReadsOneToFourPartsOfSixteenBits)
{
    const FixedFileVersion full = Version(u"5.1.2600.65535");
    EXPECT_EQ(full.fileVersionMS, 0x00050001u);
    EXPECT_EQ(full.fileVersionLS, 0x0A28FFFFu);
    EXPECT_EQ(Version(u"3.1").fileVersionMS, 0x00030001u);
    EXPECT_EQ(Version(u"3.1").fileVersionLS, 0u);
    for (const char16_t* text : {u"", u"65536", u"1.2.3.4.5", u"1..2", u"1.", u".1", u"a.b", u" 1", u"1.2 ",
                                 u"-1", u"000001"})
        EXPECT_FALSE(ReadFileVersionText(text)) << ToUtf8(text);
}

}  // namespace
}  // namespace zarvo::check
