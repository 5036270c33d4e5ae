// The dry run: a package's prerequisite and framework actions run on the machine the command
// line describes, through the DLL's own action code, and what each answered, set and asked
// for.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "zarvo-check/dry_run.h"
#include "zarvo-check/dry_run_text.h"
#include "zarvo-check/file_version_text.h"
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
    ASSERT_EQ(dry.actions.size(), 4u);
    const ActionRun& windows = dry.actions[2];
    EXPECT_EQ(windows.action, "IsFrameworkInstalled");
    EXPECT_EQ(windows.customAction, "IsFrameworkInstalled");
    ASSERT_EQ(windows.given.size(), 1u);
    EXPECT_EQ(windows.given[0].value, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion,CurrentVersion,6.0");
    EXPECT_EQ(windows.answer, 0u);
    EXPECT_TRUE(Changes(windows).empty());
    const ActionRun& framework = dry.actions[3];
    EXPECT_EQ(framework.customAction, "TestFramework45");
    ASSERT_EQ(framework.given.size(), 1u);
    EXPECT_EQ(framework.given[0].name, "FRAMEWORKTESTCOMMAND");
    EXPECT_EQ(framework.given[0].value, "SOFTWARE\\Fw,Version,4.5");
    EXPECT_EQ(framework.answer, 1u);
    EXPECT_EQ(Changes(framework), (std::vector<std::string>{"FrameworkNotInstalled=NotInstalled"}));
}

TEST(RunDry, LetsTheTableActionsDoNothingWithoutTheTableAndSurvivesRaggedRows)
{
    const DryRun none = RunDry(Package{}, DryRunInput{});
    ASSERT_EQ(none.actions.size(), 2u);
    for (const ActionRun& run : none.actions) {
        EXPECT_EQ(run.answer, 0u);
        EXPECT_TRUE(Changes(run).empty());
        EXPECT_FALSE(run.log.empty());
    }
    // A row with fewer fields than the table has columns reads as nulls in the rest.
    Package ragged;
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
                           {}, {{"FrameworkNotInstalled", "NotInstalled"}}, {}});
    EXPECT_EQ(DryRunText(dry),
              "dry run: CheckPrerequisites answered 1603\n"
              "  CheckPrerequisites: row 1 fails\n"
              "  sets FALSEPREREQUISITY_0=Runtime\n"
              "  removes OLD\n"
              "dry run: ChangeElementsFromPrerequisites answered 0\n"
              "  requests component Redist absent\n"
              "dry run: TestFramework45 (IsFrameworkInstalled) with FRAMEWORKTESTCOMMAND=A,V,4.5 answered 2\n"
              "  sets FrameworkNotInstalled=NotInstalled\n");
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
