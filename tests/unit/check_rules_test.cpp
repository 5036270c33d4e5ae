// The checks over a package's tables: a package that uses the library as the README shows
// yields nothing, and each mistake planted in it yields its one finding.
#include <gtest/gtest.h>

#include <string>

#include "dll/action_table.h"
#include "platform/sim/sim_platform.h"
#include "unit/package_builder.h"
#include "zarvo-check/check_package.h"
#include "zarvo-check/utf8.h"

namespace zarvo::test {
namespace {

using check::Findings;
using check::Severity;
using check::ToUtf8;

const std::u16string kLibrary = u"ZarvoCustomActionDll";
constexpr std::int32_t kImmediate = 1;        // a DLL in the Binary table
constexpr std::int32_t kIgnoringAnswer = 65;  // ... whose answer is not looked at
constexpr std::int32_t kDeferred = 3073;      // ... in the script, not impersonated
constexpr std::int32_t kSetProperty = 51;
constexpr std::int32_t k64BitComponent = 256;
const std::u16string kCommandKey = u"SOFTWARE\\Zarvo\\Demo\\Substitution";

// Where a finding on a command below the sample's key stands: its row as the author wrote it.
std::string CommandPlace(const std::string& name, const std::string& root = "HKLM",
                         const std::string& component = "AppConfig")
{
    return "Registry[" + root + "\\SOFTWARE\\Zarvo\\Demo\\Substitution, " + name + ", component " + component + "]";
}
const std::string kTextCommand = CommandPlace("SetupSubstFileCmd_0");
const std::string kXmlCommand = CommandPlace("SetupSubstXmlCmd_0", "HKLM", "SettingsCommand");

void AddLibraryAction(Package& package, const std::u16string& action, std::int32_t type,
                      std::int32_t sequence)
{
    AddCustomAction(package, action, type, kLibrary, action);
    Schedule(package, action, sequence);
}

// A deferred action of the library, with the type-51 action that feeds it just before it.
void AddFedAction(Package& package, const std::u16string& action, const std::u16string& data,
                  std::int32_t sequence)
{
    AddCustomAction(package, action + u"Data", kSetProperty, action, data);
    Schedule(package, action + u"Data", sequence - 1);
    AddLibraryAction(package, action, kDeferred, sequence);
}

void AddStandardActions(Package& package)
{
    Schedule(package, u"CostInitialize", 800);
    Schedule(package, u"ResolveSource", 850, u"NOT REMOVE~=\"ALL\"");
    Schedule(package, u"CostFinalize", 1000);
    Schedule(package, u"InstallValidate", 1400);
    Schedule(package, u"InstallInitialize", 1500);
    Schedule(package, u"InstallFiles", 4000);
    Schedule(package, u"WriteRegistryValues", 5000);
    Schedule(package, u"InstallFinalize", 6600);
    Schedule(package, u"CostInitialize", 800, std::nullopt, u"InstallUISequence");
    Schedule(package, u"CostFinalize", 1000, std::nullopt, u"InstallUISequence");
}

void AddPrerequisiteRows(Package& package)
{
    AddPrerequisite(package, 10, u"CheckRegistryVersion", u"Windows XP or later",
                    u"key_wow64_64key:SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", u"CurrentVersion",
                    u"5.1");
    AddPrerequisite(package, 20, u"CheckRegistryDWord", u"Installed after 2001",
                    u"key_wow64_32key:SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", u"InstallDate", u"");
    AddPrerequisite(package, 30, u"checkfileversion", u"Windows Installer 3.1", u"[SystemFolder]msi.dll",
                    u"fileversion", u"3.1");
    AddPrerequisite(package, 40, u"CheckInstanceProductState", u"No older instance",
                    u"KEY_WOW64_64KEY:SOFTWARE\\Zarvo\\Demo", u"ProductCode", u"5");
    AddPrerequisite(package, 45, u"CheckProductState", u"Zarvo Tools",
                    u"{6F1C2D3E-4A5B-4C6D-8E7F-90A1B2C3D4E5}", u"valuegreaterthanorequalto",
                    u"[TOOLS_STATE]");
    AddPrerequisite(package, 50, u"CheckFileVersionDisableComponent", u"Redist", u"[SystemFolder]msi.dll",
                    u"", u"3.1");
    AddPrerequisite(package, 60, u"CheckVersionDisableComponent", u"LegacyShim",
                    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", u"CurrentVersion", u"6.0");
    AddPrerequisite(package, 80, u"checkversionsetproperty", u"ZARVO_RUNTIME_MISSING",
                    u"SOFTWARE\\Zarvo\\Runtime", u"Version", u"2.0");
}

// The sample package for 64-bit Windows: every action of the library, scheduled and fed as
// the README shows.
Package SamplePackage()
{
    Package package;
    package.platform = u"x64";
    package.libraryBinaries = {kLibrary};
    AddRow(package, u"Directory", {u"TARGETDIR", std::nullopt, u"SourceDir"});
    AddRow(package, u"Directory", {u"INSTALLDIR", u"TARGETDIR", u"ZarvoDemo"});
    AddComponent(package, u"AppConfig", 0);
    AddComponent(package, u"SettingsCommand", k64BitComponent);
    AddComponent(package, u"Redist", 0);
    AddComponent(package, u"LegacyShim", 0);
    AddRow(package, u"File", {u"SettingsFile", u"SettingsCommand", u"settings.xml"});
    AddStandardActions(package);
    AddPrerequisiteRows(package);

    Schedule(package, u"CheckPrerequisites", 750, u"NOT Installed");
    AddCustomAction(package, u"CheckPrerequisites", kImmediate, kLibrary, u"CheckPrerequisites");
    AddLibraryAction(package, u"ChangeElementsFromPrerequisites", kImmediate, 1020);
    AddLibraryAction(package, u"NetFrameworkInstall", kImmediate, 1040);
    AddLibraryAction(package, u"CloseWindowByGUID", kImmediate, 1100);
    AddProperty(package, u"CloseWindowByGUID", u"{0B5F6C2E-7A41-4D3B-9E8C-51A2F4D7C690}");

    AddProperty(package, u"SetupSubstFilesKey", kCommandKey);
    AddFedAction(package, u"SetupSubstFiles", u"[SetupSubstFilesKey]", 5011);
    AddProperty(package, u"SetupSubstXmlFilesKey", kCommandKey);
    AddFedAction(package, u"SetupSubstXmlFiles", u"[SetupSubstXmlFilesKey]", 5021);
    AddRegistryValue(package, u"reg_Subst1", 2, kCommandKey, u"SetupSubstFileCmd_0",
                     u"[INSTALLDIR]app.cfg[~]INSTALLDIR=[INSTALLDIR][~]SERVER_NAME=[SERVERNAME]",
                     u"AppConfig");
    AddRegistryValue(package, u"reg_Subst2", 2, kCommandKey, u"SetupSubstXmlCmd_0",
                     u"[#SettingsFile][~]InstallFolder=[INSTALLDIR][~]Host=[SERVERNAME][~]Port=8443",
                     u"SettingsCommand");

    AddCustomAction(package, u"SetWizardFolder", kSetProperty, u"UpdateVS71VszFileFolder", u"[INSTALLDIR]");
    Schedule(package, u"SetWizardFolder", 5028);
    AddFedAction(package, u"UpdateVS71VszFile", u"[UpdateVS71VszFileFolder]|[UpdateVS71VszFileReplacement]",
                 5031);
    AddCustomAction(package, u"SetPostInstallNoteCommand", kSetProperty, u"RunCmdFileCommand",
                    u"/c echo > note");
    Schedule(package, u"SetPostInstallNoteCommand", 5099);
    AddFedAction(package, u"RunCmdFile", u"[RunCmdFileCommand]", 5101);

    AddCustomAction(package, u"SetAgentCommand", kSetProperty, u"RunForegroundProgram",
                    u"\"[INSTALLDIR]Agent.exe\"");
    Schedule(package, u"SetAgentCommand", 6610);
    AddLibraryAction(package, u"RunForegroundProgram", kIgnoringAnswer, 6611);
    return package;
}

// "error ZC203", as the findings' lines begin.
std::string Kind(const check::Finding& finding)
{
    return (finding.severity == Severity::Error ? "error " : "warning ") + finding.rule;
}

std::string Listed(const Findings& findings)
{
    std::string lines;
    for (const check::Finding& finding : findings)
        lines += Kind(finding) + ": " + finding.where + ": " + finding.message + "\n";
    return lines;
}

void ExpectNothing(const Package& package)
{
    const Findings findings = check::CheckPackage(package);
    EXPECT_TRUE(findings.empty()) << Listed(findings);
}

void ExpectOnly(const Package& package, const std::string& kind, const std::string& where,
                const std::string& message)
{
    const Findings findings = check::CheckPackage(package);
    ASSERT_EQ(findings.size(), 1u) << Listed(findings);
    EXPECT_EQ(Kind(findings[0]), kind);
    EXPECT_EQ(findings[0].where, where);
    EXPECT_EQ(findings[0].message, message);
}

TEST(CheckPackage, FindsNothingInAPackageThatUsesTheLibraryAsTheReadmeShows)
{
    ExpectNothing(SamplePackage());
}

TEST(CheckPackage, FindsNothingInAPackageWithoutTheLibrary)
{
    ExpectNothing(Package{});
    Package package = SamplePackage();
    package.libraryBinaries.clear();
    // Its Prerequisites table and commands are then no affair of this library's.
    DropColumn(package, u"Prerequisites", u"Order");
    ExpectNothing(package);
}

// The actions whose only input is CustomActionData say so in the action table, which the
// checks go by: each says it when that property cannot be read.
TEST(ActionTable, FlagsTheActionsThatReadCustomActionData)
{
    for (const ActionEntry& entry : ActionTable()) {
        sim::SimPlatform sim;
        const InstallerHandle session = sim.installer.OpenSession(std::make_shared<sim::SimDatabase>());
        sim.ledger.FailEveryCall(sim::Operation::GetProperty);
        InvokeAction(entry, sim.platform(), session);
        bool named = false;
        for (const std::u16string& message : sim.installer.Messages(session))
            named = named || message.find(u"CustomActionData") != std::u16string::npos;
        EXPECT_EQ(named, entry.readsCustomActionData) << entry.name;
    }
}

TEST(CustomActionChecks, NameTheExportAMisspeltDllEntryWasMeantToBe)
{
    const std::string failing = ": the installer finds no such export and cannot run the action (error 1723)";
    Package package = SamplePackage();
    Cell(package, u"CustomAction", u"RunCmdFile", u"Target") = u"RunCmdFiles";
    ExpectOnly(
        package, "error ZC101", "CustomAction[RunCmdFile]",
        "DllEntry \"RunCmdFiles\" is not an action of this library (did you mean RunCmdFile?)" + failing);
    // The installer finds an export by its name as written, letter case and all.
    Cell(package, u"CustomAction", u"RunCmdFile", u"Target") = u"runcmdfile";
    ExpectOnly(
        package, "error ZC101", "CustomAction[RunCmdFile]",
        "DllEntry \"runcmdfile\" is not an action of this library (did you mean RunCmdFile?)" + failing);
    Cell(package, u"CustomAction", u"RunCmdFile", u"Target") = u"Frobnicate";
    ExpectOnly(package, "error ZC101", "CustomAction[RunCmdFile]",
               "DllEntry \"Frobnicate\" is not an action of this library" + failing);
    // Another library's entries are its own affair.
    Cell(package, u"CustomAction", u"RunCmdFile", u"Source") = u"OtherLibrary";
    ExpectNothing(package);
}

TEST(CustomActionChecks, FindADataReaderThatRunsImmediate)
{
    Package package = SamplePackage();
    Cell(package, u"CustomAction", u"SetupSubstFiles", u"Type") = u"1";
    ExpectOnly(
        package, "error ZC102", "CustomAction[SetupSubstFiles]",
        "SetupSubstFiles runs immediate (Type 1): its only input, CustomActionData, is given to deferred "
        "actions alone, so it finds it empty and does nothing");
}

TEST(CustomActionChecks, FindADeferredReaderThatNothingFeedsBeforeIt)
{
    Package package = SamplePackage();
    DropRows(package, u"CustomAction", u"UpdateVS71VszFileData");
    ExpectOnly(
        package, "error ZC103", "InstallExecuteSequence[UpdateVS71VszFile]",
        "no type-51 action sets the property UpdateVS71VszFile before it in this table: its CustomActionData "
        "is empty, so UpdateVS71VszFile does nothing");

    package = SamplePackage();
    Cell(package, u"InstallExecuteSequence", u"RunCmdFileData", u"Sequence") = u"5102";
    ExpectOnly(package, "error ZC103", "InstallExecuteSequence[RunCmdFile]",
               "the type-51 action RunCmdFileData sets the property RunCmdFile, but not before it: its "
               "CustomActionData is empty, so RunCmdFile does nothing");
}

TEST(CustomActionChecks, FeedAnOwnDeferredActionByTheNameItIsScheduledUnder)
{
    Package package = SamplePackage();
    AddCustomAction(package, u"RemoveNoteData", kSetProperty, u"RemoveNote", u"/c del note");
    Schedule(package, u"RemoveNoteData", 3400, u"REMOVE~=\"ALL\"");
    AddCustomAction(package, u"RemoveNote", kDeferred, kLibrary, u"RunCmdFile");
    Schedule(package, u"RemoveNote", 3401, u"REMOVE~=\"ALL\"");
    ExpectNothing(package);
    // Its data is not the export's: the property of the export's name feeds another action.
    Cell(package, u"CustomAction", u"RemoveNoteData", u"Source") = u"RunCmdFile";
    ExpectOnly(
        package, "error ZC103", "InstallExecuteSequence[RemoveNote]",
        "no type-51 action sets the property RemoveNote before it in this table: its CustomActionData is "
        "empty, so RunCmdFile does nothing");
}

TEST(CustomActionChecks, FindANamedInputThatNothingSets)
{
    Package package = SamplePackage();
    DropRows(package, u"CustomAction", u"SetAgentCommand");
    ExpectOnly(
        package, "warning ZC401", "CustomAction[RunForegroundProgram]",
        "nothing sets the property RunForegroundProgram (no Property row, no scheduled type-51 action): the "
        "action starts no program");

    package = SamplePackage();
    DropRows(package, u"Property", u"CloseWindowByGUID");
    ExpectOnly(
        package, "warning ZC401", "CustomAction[CloseWindowByGUID]",
        "nothing sets the property CloseWindowByGUID (no Property row, no scheduled type-51 action): the "
        "title is empty, so the action closes no window");
    // A type-51 action that never runs sets nothing.
    AddCustomAction(package, u"SetTitle", kSetProperty, u"CloseWindowByGUID", u"{GUID}");
    EXPECT_EQ(check::CheckPackage(package).size(), 1u);
    Schedule(package, u"SetTitle", 1090);
    ExpectNothing(package);
}

// The sample with the command line of RunCmdFile, which a type-51 action of the package sets
// and RunCmdFileData hands on, replaced.
Package WithCommandLine(const std::u16string& line)
{
    Package package = SamplePackage();
    Cell(package, u"CustomAction", u"SetPostInstallNoteCommand", u"Target") = line;
    return package;
}

const std::string kInterpreterWaits =
    " of RunCmdFile does not begin with /c: Cmd.exe, given no command to run and end, waits for input that "
    "never comes, and the installation waits with it for ever";

TEST(ActionInputChecks, FindACommandLineOnWhichTheInterpreterWaits)
{
    ExpectOnly(WithCommandLine(u"echo > note"), "error ZC402", "CustomAction[SetPostInstallNoteCommand]",
               "the command line \"echo > note\"" + kInterpreterWaits);
    ExpectOnly(WithCommandLine(u" /k echo [INSTALLDIR]"), "error ZC402", "CustomAction[SetPostInstallNoteCommand]",
               "the command line \" /k echo [INSTALLDIR]\"" + kInterpreterWaits);
    // The installer formats no value of the Property table: its brackets stay as they are.
    Package package = SamplePackage();
    DropRows(package, u"CustomAction", u"SetPostInstallNoteCommand");
    AddProperty(package, u"RunCmdFileCommand", u"[INSTALLDIR]setup.cmd");
    ExpectOnly(package, "error ZC402", "Property[RunCmdFileCommand]",
               "the command line \"[INSTALLDIR]setup.cmd\"" + kInterpreterWaits);
    // The action's own data, written out.
    package = SamplePackage();
    Cell(package, u"CustomAction", u"RunCmdFileData", u"Target") = u"cmd.exe";
    ExpectOnly(package, "error ZC402", "CustomAction[RunCmdFileData]",
               "the command line \"cmd.exe\"" + kInterpreterWaits);
}

TEST(ActionInputChecks, LeaveACommandLineThatRunsAndEndsOrThatOnlyTheInstallationKnows)
{
    // The last sets the property to itself: the reference is followed no further.
    for (const char16_t* line : {u"/C [INSTALLDIR]setup.cmd", u" \t/c", u"[SETUP_COMMAND]", u"/[SWITCH] echo", u" ",
                                 u"", u"[RunCmdFileCommand]"})
        ExpectNothing(WithCommandLine(line));
}

// The sample with IsFrameworkInstalled run on the test command that the Property table holds.
Package WithFrameworkTest(const std::u16string& command)
{
    Package package = SamplePackage();
    AddLibraryAction(package, u"IsFrameworkInstalled", kImmediate, 1030);
    AddProperty(package, u"FRAMEWORKTESTCOMMAND", command);
    return package;
}

TEST(ActionInputChecks, FindAFrameworkTestCommandTheActionCannotUse)
{
    const std::string missing = ", as if the framework were missing, and sets FrameworkNotInstalled";
    ExpectOnly(WithFrameworkTest(u"SOFTWARE\\Zarvo\\Runtime,Version"), "error ZC403", "Property[FRAMEWORKTESTCOMMAND]",
               "FRAMEWORKTESTCOMMAND \"SOFTWARE\\Zarvo\\Runtime,Version\" is not \"subkey,value name,version\": "
               "IsFrameworkInstalled reads no registry value and answers 1" +
                   missing);
    for (const char16_t* command : {u",Version,4.0", u"SOFTWARE\\Zarvo,,4.0", u"SOFTWARE\\Zarvo,Version,"})
        EXPECT_EQ(check::CheckPackage(WithFrameworkTest(command)).size(), 1u) << ToUtf8(command);
    // The action reads the property into 260 characters, its terminator included.
    ExpectNothing(WithFrameworkTest(std::u16string(255, u'K') + u",V,4"));
    ExpectOnly(WithFrameworkTest(std::u16string(256, u'K') + u",V,4"), "error ZC403", "Property[FRAMEWORKTESTCOMMAND]",
               "FRAMEWORKTESTCOMMAND is 260 characters long: IsFrameworkInstalled reads at most 259, so its read fails "
               "(error 234) and it answers 234" +
                   missing);

    // A type-51 action's command is judged when nothing in it is formatted.
    Package package = WithFrameworkTest(u"SOFTWARE\\Zarvo,Version,2.0");
    AddCustomAction(package, u"SetTest", kSetProperty, u"FRAMEWORKTESTCOMMAND", u"SOFTWARE\\Zarvo;Version;2.0");
    Schedule(package, u"SetTest", 1029);
    EXPECT_EQ(check::CheckPackage(package).size(), 1u);
    Cell(package, u"CustomAction", u"SetTest", u"Target") = u"[FRAMEWORK_KEY],Version";
    ExpectNothing(package);
    // Without IsFrameworkInstalled the property tests nothing.
    package = WithFrameworkTest(u"SOFTWARE");
    DropRows(package, u"InstallExecuteSequence", u"IsFrameworkInstalled");
    ExpectNothing(package);
}

TEST(ActionInputChecks, FindAMessageBoxThatWaitsForSomeoneToPressOk)
{
    Package package = SamplePackage();
    Cell(package, u"Property", u"CloseWindowByGUID", u"Value") = u"Zarvo Agent/ShowActionMessage";
    ExpectOnly(package, "warning ZC404", "Property[CloseWindowByGUID]",
               "the title holds /ShowActionMessage: CloseWindowByGUID first shows it in a message box and waits "
               "until someone presses OK, also in a silent installation (/qn), where no one may be there to press "
               "it");
    // In other letter case the marker is part of the title.
    Cell(package, u"Property", u"CloseWindowByGUID", u"Value") = u"Zarvo Agent/showactionmessage";
    ExpectNothing(package);
}

TEST(PrerequisiteChecks, FindAnUnknownTypeAndTheKindItWasMeantToBe)
{
    Package package = SamplePackage();
    AddPrerequisite(package, 3, u"CheckFileVersoin", u"Runtime", u"C:\\a.dll", u"FileVersion", u"1.0");
    ExpectOnly(
        package, "error ZC203", "Prerequisites[Order 3, Runtime]",
        "unknown Type \"CheckFileVersoin\" (did you mean CheckFileVersion?): the row passes unchecked");

    package = SamplePackage();
    AddPrerequisite(package, 4, u"CheckVersionSetPropety", u"P", u"SOFTWARE\\A", u"Version", u"1.0");
    ExpectOnly(
        package, "error ZC203", "Prerequisites[Order 4, P]",
        "unknown Type \"CheckVersionSetPropety\" (did you mean CheckVersionSetProperty?): the row changes "
        "nothing");

    package = SamplePackage();
    AddPrerequisite(package, 5, u"Frobnicate", u"P", u"", u"", u"");
    ExpectOnly(package, "error ZC203", "Prerequisites[Order 5, P]",
               "unknown Type \"Frobnicate\": the row passes unchecked and changes nothing");
}

TEST(PrerequisiteChecks, FindATableTheScheduledActionsCannotRead)
{
    Package package = SamplePackage();
    DropColumn(package, u"Prerequisites", u"Component_");
    ExpectOnly(
        package, "error ZC202", "Prerequisites",
        "the table lacks the column Component_, which CheckPrerequisites and ChangeElementsFromPrerequisites "
        "read: they do nothing and answer 0");
    DropColumn(package, u"Prerequisites", u"Order");
    DropColumn(package, u"Prerequisites", u"Type");
    DropRows(package, u"InstallExecuteSequence", u"ChangeElementsFromPrerequisites");
    ExpectOnly(
        package, "error ZC202", "Prerequisites",
        "the table lacks the columns Type, Component_ and Order, which CheckPrerequisites reads: it does "
        "nothing and answers 0");

    package = SamplePackage();
    package.tables.erase(u"Prerequisites");
    ExpectOnly(package, "error ZC201", "Prerequisites",
               "the package has no Prerequisites table, which CheckPrerequisites and "
               "ChangeElementsFromPrerequisites "
               "read: they do nothing and answer 0");
}

// Scheduled is any condition but one that can never hold.
TEST(PrerequisiteChecks, LeaveATableAloneThatNoScheduledActionReads)
{
    Package package = SamplePackage();
    package.tables.erase(u"Prerequisites");
    DropRows(package, u"InstallExecuteSequence", u"ChangeElementsFromPrerequisites");
    Cell(package, u"InstallExecuteSequence", u"CheckPrerequisites", u"Condition") = u" 0 ";
    ExpectNothing(package);
    Cell(package, u"InstallExecuteSequence", u"CheckPrerequisites", u"Condition") = u"REMOVE";
    EXPECT_EQ(check::CheckPackage(package).size(), 1u);
    DropRows(package, u"InstallExecuteSequence", u"CheckPrerequisites");
    ExpectNothing(package);
}

TEST(PrerequisiteChecks, FindAVersionTextThatReadsAsZero)
{
    Package package = SamplePackage();
    AddPrerequisite(package, 90, u"CheckRegistryVersion", u"Runtime", u"SOFTWARE\\Zarvo\\Runtime", u"Version",
                    u"v2.0");
    ExpectOnly(package, "warning ZC204", "Prerequisites[Order 90, Runtime]",
               "Value \"v2.0\" does not begin with a number: it reads as version 0.0.0.0, so the row passes "
               "whenever "
               "the value is there");

    package = SamplePackage();
    AddPrerequisite(package, 91, u"CheckInstanceProductState", u"No instance", u"SOFTWARE\\Zarvo\\Demo",
                    u"ProductCode", u"");
    ExpectOnly(
        package, "warning ZC204", "Prerequisites[Order 91, No instance]",
        "Value \"\" does not begin with a number: it reads as version 0.0.0.0, so the row fails whenever the "
        "installer knows the product the value names");

    package = SamplePackage();
    AddPrerequisite(package, 92, u"CheckVersionDisableComponent", u"Redist", u"SOFTWARE\\A", u"Version",
                    u"new");
    ExpectOnly(
        package, "warning ZC204", "Prerequisites[Order 92, Redist]",
        "Value \"new\" does not begin with a number: it reads as version 0.0.0.0, so the component is left "
        "out whenever the value is there");

    // A number after blanks or a sign is read; a DWORD's minimum is no version.
    package = SamplePackage();
    AddPrerequisite(package, 93, u"CheckRegistryVersion", u"Runtime", u"SOFTWARE\\Zarvo\\Runtime", u"Version",
                    u" +2");
    AddPrerequisite(package, 94, u"CheckRegistryDWord", u"Count", u"SOFTWARE\\Zarvo", u"Count", u"many");
    ExpectNothing(package);
}

TEST(PrerequisiteChecks, FindAValueNameThatIsNotTheKeywordItsKindAsksFor)
{
    Package package = SamplePackage();
    AddPrerequisite(package, 95, u"CheckFileVersion", u"Runtime", u"C:\\a.dll", u"Version", u"not read");
    ExpectOnly(package, "warning ZC205", "Prerequisites[Order 95, Runtime]",
               "ValueName \"Version\" is not FileVersion: CheckPrerequisites passes the row unchecked");

    package = SamplePackage();
    AddPrerequisite(package, 96, u"CheckProductState", u"Tools", u"{GUID}", u"ValueGreaterThan", u"5");
    ExpectOnly(
        package, "error ZC206", "Prerequisites[Order 96, Tools]",
        "ValueName \"ValueGreaterThan\" is not ValueGreaterThanOrEqualTo: the row always fails, and so does "
        "the gate (1603)");

    // ChangeElementsFromPrerequisites checks a file's version whatever the ValueName.
    package = SamplePackage();
    AddPrerequisite(package, 97, u"CheckFileVersionDisableComponent", u"Redist", u"C:\\a.dll", u"Version",
                    u"1.0");
    ExpectNothing(package);
}

TEST(PrerequisiteChecks, FindAnInstanceRowInTheThirtyTwoBitView)
{
    Package package = SamplePackage();
    AddPrerequisite(package, 98, u"CheckInstanceProductState", u"No instance",
                    u"Key_Wow64_32Key:SOFTWARE\\Zarvo", u"ProductCode", u"5");
    ExpectOnly(
        package, "warning ZC207", "Prerequisites[Order 98, No instance]",
        "Destination begins with \"Key_Wow64_32Key:\", which CheckInstanceProductState does not know: it "
        "opens a key of that literal name, which does not exist, so the row always passes");
}

TEST(PrerequisiteChecks, FindAComponentToLeaveOutThatThePackageLacks)
{
    Package package = SamplePackage();
    AddPrerequisite(package, 99, u"CheckFileVersionDisableComponent", u"Redis", u"C:\\a.dll", u"", u"1.0");
    ExpectOnly(
        package, "warning ZC208", "Prerequisites[Order 99, Redis]",
        "Name \"Redis\" is no component of the Component table (did you mean Redist?): "
        "ChangeElementsFromPrerequisites asks to leave out a component the package does not have, and the "
        "installer refuses");
    // Without ChangeElementsFromPrerequisites the row does nothing, and neither does the gate with it.
    DropRows(package, u"InstallExecuteSequence", u"ChangeElementsFromPrerequisites");
    ExpectNothing(package);
}

TEST(PrerequisiteChecks, FindAKeyPathWrittenWithItsRoot)
{
    Package package = SamplePackage();
    AddPrerequisite(package, 90, u"CheckRegistryVersion", u"Runtime", u"HKLM\\SOFTWARE\\Zarvo", u"Version", u"2.0");
    ExpectOnly(package, "error ZC209", "Prerequisites[Order 90, Runtime]",
               "Destination \"HKLM\\SOFTWARE\\Zarvo\" names the root HKLM, but key paths are below "
               "HKEY_LOCAL_MACHINE already: the key HKEY_LOCAL_MACHINE\\HKLM\\SOFTWARE\\Zarvo does not exist, so "
               "the row always fails, and so does the gate (1603)");
    // After a view prefix and in any letter case; what comes of it is the kind's.
    package = SamplePackage();
    AddPrerequisite(package, 91, u"CheckVersionSetProperty", u"OLD_RUNTIME",
                    u"key_wow64_64key:hkey_local_machine\\SOFTWARE\\Zarvo", u"Version", u"2.0");
    ExpectOnly(package, "error ZC209", "Prerequisites[Order 91, OLD_RUNTIME]",
               "Destination \"key_wow64_64key:hkey_local_machine\\SOFTWARE\\Zarvo\" names the root "
               "hkey_local_machine, but key paths are below HKEY_LOCAL_MACHINE already: the key "
               "HKEY_LOCAL_MACHINE\\hkey_local_machine\\SOFTWARE\\Zarvo does not exist, so the check always fails, "
               "so the property is always set to 1");
    // A key that only begins like a root, and one formatted at installation, are none.
    package = SamplePackage();
    AddPrerequisite(package, 92, u"CheckRegistryDWord", u"Count", u"HKLMTools\\Zarvo", u"Count", u"1");
    AddPrerequisite(package, 93, u"CheckRegistryVersion", u"Runtime", u"[RUNTIME_KEY]\\Zarvo", u"Version", u"2.0");
    AddPrerequisite(package, 94, u"CheckInstanceProductState", u"Instance", u"HKCU[SUFFIX]", u"Code", u"5");
    ExpectNothing(package);
}

TEST(PrerequisiteChecks, FindANumberWrittenInHexadecimal)
{
    Package package = SamplePackage();
    AddPrerequisite(package, 90, u"CheckRegistryDWord", u"Build 16", u"SOFTWARE\\Zarvo", u"Build", u"0x10");
    ExpectOnly(package, "warning ZC210", "Prerequisites[Order 90, Build 16]",
               "Value \"0x10\" is hexadecimal, but the row reads decimal digits only: the minimum is 0, so the row "
               "passes whenever the DWORD value is there");
    package = SamplePackage();
    AddPrerequisite(package, 91, u"CheckProductState", u"Tools", u"{6F1C2D3E-4A5B-4C6D-8E7F-90A1B2C3D4E5}",
                    u"ValueGreaterThanOrEqualTo", u" 0X5");
    ExpectOnly(package, "warning ZC210", "Prerequisites[Order 91, Tools]",
               "Value \" 0X5\" is hexadecimal, but the row reads decimal digits only: it reads as version 0.0.0.0, "
               "so the row passes whenever the installer knows the product for the machine");
    package = SamplePackage();
    AddPrerequisite(package, 92, u"CheckRegistryDWord", u"Build 16", u"SOFTWARE\\Zarvo", u"Build", u"16");
    AddPrerequisite(package, 93, u"CheckRegistryVersion", u"Runtime", u"SOFTWARE\\Zarvo", u"Version", u"10x");
    ExpectNothing(package);
}

TEST(PrerequisiteChecks, FindAProductNamedByNoProductCode)
{
    Package package = SamplePackage();
    AddPrerequisite(package, 90, u"CheckProductState", u"Tools", u"Zarvo Tools", u"ValueGreaterThanOrEqualTo", u"5");
    ExpectOnly(package, "error ZC211", "Prerequisites[Order 90, Tools]",
               "Destination \"Zarvo Tools\" is not a product code ({XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}): the "
               "installer knows no such product, so the row always fails, and so does the gate (1603)");
    for (const char16_t* code :
         {u"6F1C2D3E-4A5B-4C6D-8E7F-90A1B2C3D4E5", u"{6F1C2D3E-4A5B-4C6D-8E7F-90A1B2C3D4E}",
          u"{6F1C2D3E-4A5B-4C6D-8E7F-90A1B2C3D4G5}", u"{6F1C2D3E4-A5B-4C6D-8E7F-90A1B2C3D4E5}"}) {
        package = SamplePackage();
        AddPrerequisite(package, 91, u"CheckProductState", u"Tools", code, u"ValueGreaterThanOrEqualTo", u"5");
        EXPECT_EQ(check::CheckPackage(package).size(), 1u) << ToUtf8(code);
    }
    package = SamplePackage();
    AddPrerequisite(package, 92, u"CheckProductState", u"Tools", u"{6f1c2d3e-4a5b-4c6d-8e7f-90a1b2c3d4e5}",
                    u"ValueGreaterThanOrEqualTo", u"5");
    ExpectNothing(package);
}

TEST(PrerequisiteChecks, FindRowsOfEqualOrder)
{
    Package package = SamplePackage();
    AddPrerequisite(package, 30, u"CheckRegistryVersion", u"Runtime", u"SOFTWARE\\Zarvo", u"Version", u"2.0");
    ExpectOnly(package, "warning ZC212", "Prerequisites[Order 30, Runtime]",
               "Order 30 is also the Order of the row \"Windows Installer 3.1\": the two are read in whichever "
               "order the installer delivers them, which the package does not decide");
}

TEST(SequenceChecks, FindComponentRequestsOutsideCostingAndValidation)
{
    const std::string installed = ", so they are installed";
    Package package = SamplePackage();
    Cell(package, u"InstallExecuteSequence", u"ChangeElementsFromPrerequisites", u"Sequence") = u"900";
    ExpectOnly(package, "warning ZC105", "InstallExecuteSequence[ChangeElementsFromPrerequisites]",
               "ChangeElementsFromPrerequisites runs at 900, not after CostFinalize (1000): the installer "
               "refuses to "
               "leave components out before costing is done" +
                   installed);
    Cell(package, u"InstallExecuteSequence", u"ChangeElementsFromPrerequisites", u"Sequence") = u"1400";
    ExpectOnly(
        package, "warning ZC105", "InstallExecuteSequence[ChangeElementsFromPrerequisites]",
        "ChangeElementsFromPrerequisites runs at 1400, not before InstallValidate (1400): the components it "
        "asks to leave out are already validated for installation" +
            installed);

    package = SamplePackage();
    Schedule(package, u"ChangeElementsFromPrerequisites", 1020, std::nullopt, u"AdminExecuteSequence");
    ExpectOnly(package, "warning ZC105", "AdminExecuteSequence[ChangeElementsFromPrerequisites]",
               "ChangeElementsFromPrerequisites runs at 1020, in a table without CostFinalize: the installer "
               "refuses "
               "to leave components out before costing is done" +
                   installed);
    // The user interface's sequence costs too, and validates nothing.
    DropRows(package, u"AdminExecuteSequence", u"ChangeElementsFromPrerequisites");
    Schedule(package, u"ChangeElementsFromPrerequisites", 1020, std::nullopt, u"InstallUISequence");
    ExpectNothing(package);
}

TEST(SequenceChecks, LetPropertyChangesRunBeforeCosting)
{
    Package package = SamplePackage();
    for (const char16_t* kind : {u"CheckFileVersionDisableComponent", u"CheckVersionDisableComponent"})
        DropRows(package, u"Prerequisites", kind);
    Cell(package, u"InstallExecuteSequence", u"ChangeElementsFromPrerequisites", u"Sequence") = u"900";
    ExpectNothing(package);
}

TEST(SequenceChecks, FindTheRedistributableDecidedBeforeTheSourceIsResolved)
{
    const std::string unresolved =
        ": SourceDir is not set, so the redistributable's path is its file name alone, "
        "whose version cannot be read, and NetFrameworkFullPath names no file the "
        "package can run";
    Package package = SamplePackage();
    Cell(package, u"InstallExecuteSequence", u"NetFrameworkInstall", u"Sequence") = u"840";
    ExpectOnly(package, "warning ZC106", "InstallExecuteSequence[NetFrameworkInstall]",
               "NetFrameworkInstall runs at 840, not after ResolveSource (850)" + unresolved);
    DropRows(package, u"InstallExecuteSequence", u"ResolveSource");
    ExpectOnly(package, "warning ZC106", "InstallExecuteSequence[NetFrameworkInstall]",
               "NetFrameworkInstall runs at 840, and this table has no ResolveSource" + unresolved);
}

TEST(SequenceChecks, FindADeferredActionOutsideTheInstallationScript)
{
    const std::string refused =
        ": the installation script is not begun, so the installer refuses the action (error 2762) and the "
        "installation fails";
    Package package = SamplePackage();
    Cell(package, u"InstallExecuteSequence", u"RunCmdFileData", u"Sequence") = u"1499";
    Cell(package, u"InstallExecuteSequence", u"RunCmdFile", u"Sequence") = u"1500";
    ExpectOnly(package, "error ZC104", "InstallExecuteSequence[RunCmdFile]",
               "the deferred action RunCmdFile runs at 1500, not after InstallInitialize (1500)" + refused);
    Cell(package, u"InstallExecuteSequence", u"RunCmdFile", u"Sequence") = u"6599";
    ExpectNothing(package);
    Cell(package, u"InstallExecuteSequence", u"RunCmdFile", u"Sequence") = u"6600";
    ExpectOnly(package, "error ZC104", "InstallExecuteSequence[RunCmdFile]",
               "the deferred action RunCmdFile runs at 6600, not before InstallFinalize (6600): the installation "
               "script has run by then, so the action never runs");

    // The user interface's sequence writes no script.
    package = SamplePackage();
    Schedule(package, u"RunCmdFileData", 1100, std::nullopt, u"InstallUISequence");
    Schedule(package, u"RunCmdFile", 1101, std::nullopt, u"InstallUISequence");
    ExpectOnly(package, "error ZC104", "InstallUISequence[RunCmdFile]",
               "the deferred action RunCmdFile runs at 1101, in a table without InstallInitialize" + refused);
}

// The sample's plain-text command with its value replaced.
Package WithTextCommand(const std::u16string& value)
{
    Package package = SamplePackage();
    Cell(package, u"Registry", u"reg_Subst1", u"Value") = value;
    return package;
}

TEST(RegistryCommandChecks, FindACommandTheActionDoesNotReadAsMeant)
{
    ExpectOnly(
        WithTextCommand(u"[INSTALLDIR]app.cfg"), "warning ZC308", kTextCommand,
        "the value is not a multi-string (no [~] between its strings): SetupSubstFiles takes the whole text "
        "as the file to rewrite and replaces nothing");
    ExpectOnly(
        WithTextCommand(u"[INSTALLDIR]app.cfg[~]A=1[~]SERVER_NAME[~]B=2"), "warning ZC309",
        kTextCommand,
        "\"SERVER_NAME\" has no \"=\" and ends the pairs: SetupSubstFiles ignores it and the 1 string after "
        "it");
    ExpectOnly(
        WithTextCommand(u"[INSTALLDIR]app.cfg[~]A=1[~][~]B=2[~]C=3"), "warning ZC309",
        kTextCommand,
        "an empty string ends the command early: SetupSubstFiles ignores it and the 2 strings after it");
    std::u16string pairs = u"[INSTALLDIR]app.cfg";
    for (int pair = 0; pair < 22; ++pair)
        pairs += u"[~]A=" + std::u16string(1, static_cast<char16_t>(u'a' + pair));
    ExpectOnly(
        WithTextCommand(pairs), "warning ZC310", kTextCommand,
        "the command holds more than 20 pairs: SetupSubstFiles takes the first 20 and ignores the 2 strings "
        "after them");
    ExpectOnly(
        WithTextCommand(u"app.cfg[~]A=1"), "warning ZC307", kTextCommand,
        "the file to rewrite, \"app.cfg\", does not begin with a folder ([INSTALLDIR] or another Directory "
        "key, [#file] or a standard folder property): SetupSubstFiles opens only plain absolute paths and "
        "leaves the file as it is");
    ExpectOnly(
        WithTextCommand(u"[SERVERNAME]app.cfg[~]A=1"), "warning ZC307", kTextCommand,
        "the file to rewrite, \"[SERVERNAME]app.cfg\", does not begin with a folder ([INSTALLDIR] or another "
        "Directory key, [#file] or a standard folder property): SetupSubstFiles opens only plain absolute "
        "paths and leaves the file as it is");
}

// A command of as many pairs as the actions take.
std::u16string TwentyPairs()
{
    std::u16string command = u"[INSTALLDIR]app.cfg";
    for (char16_t name = u'a'; name < u'a' + 20; ++name) command += u"[~]" + std::u16string(1, name) + u"=1";
    return command;
}

TEST(RegistryCommandChecks, TakeEveryFolderAndMultiStringThePackageMayWrite)
{
    for (const std::u16string& value :
         {std::u16string(u"C:\\Zarvo\\app.cfg[~]A=1"), std::u16string(u"\\\\server\\share\\app.cfg[~]"),
          std::u16string(u"[#SettingsFile][~]A="),
          std::u16string(u"[ProgramFilesFolder]Zarvo\\app.cfg[~]A=1"),
          std::u16string(u"[~][INSTALLDIR]app.cfg[~]A=1=2"), std::u16string(u"[WizardFolder]app.cfg[~]=1"),
          TwentyPairs()}) {
        Package package = WithTextCommand(value);
        AddProperty(package, u"WizardFolder", u"D:\\Wizards\\");
        ExpectNothing(package);
    }
}

TEST(RegistryCommandChecks, FindACommandTheActionNeverRuns)
{
    Package package = SamplePackage();
    Cell(package, u"Registry", u"reg_Subst1", u"Name") = u"SetupSubstFileCmd_20";
    ExpectOnly(package, "error ZC301", CommandPlace("SetupSubstFileCmd_20"),
               "SetupSubstFileCmd_20 is never run: SetupSubstFiles reads only SetupSubstFileCmd_0 to "
               "SetupSubstFileCmd_19");
    Cell(package, u"Registry", u"reg_Subst1", u"Name") = u"SetupSubstFileCmd_05";
    EXPECT_EQ(check::CheckPackage(package).size(), 1u);
    // Registry value names are compared without regard to letter case.
    Cell(package, u"Registry", u"reg_Subst1", u"Name") = u"setupsubstfilecmd_19";
    ExpectNothing(package);

    Cell(package, u"Registry", u"reg_Subst1", u"Root") = u"1";
    ExpectOnly(
        package, "error ZC302", CommandPlace("setupsubstfilecmd_19", "HKCU"),
        "the command is written below HKEY_CURRENT_USER, but SetupSubstFiles reads HKEY_LOCAL_MACHINE: it is "
        "never run");
    Cell(package, u"Registry", u"reg_Subst1", u"Root") = u"-1";
    ExpectNothing(package);

    package = SamplePackage();
    DropRows(package, u"InstallExecuteSequence", u"SetupSubstXmlFiles");
    ExpectOnly(package, "error ZC303", kXmlCommand,
               "no scheduled action runs SetupSubstXmlFiles: the command stays in the registry, never run");
}

TEST(RegistryCommandChecks, FindACommandUnderAKeyTheActionDoesNotRead)
{
    Package package = SamplePackage();
    Cell(package, u"Registry", u"reg_Subst1", u"Key") = u"SOFTWARE\\Zarvo\\Other";
    ExpectOnly(package, "error ZC304",
               "Registry[HKLM\\SOFTWARE\\Zarvo\\Other, SetupSubstFileCmd_0, component AppConfig]",
               "key \"SOFTWARE\\Zarvo\\Other\" is not the key SetupSubstFiles reads, "
               "SOFTWARE\\Zarvo\\Demo\\Substitution (its CustomActionData): the command is never run");
    // Registry keys are compared without regard to letter case.
    Cell(package, u"Registry", u"reg_Subst1", u"Key") = u"software\\zarvo\\demo\\substitution";
    ExpectNothing(package);
    // The installer formats no value of the Property table: the key is that text as it stands.
    Cell(package, u"Property", u"SetupSubstFilesKey", u"Value") = u"SOFTWARE\\[Manufacturer]";
    ExpectOnly(package, "error ZC304",
               "Registry[HKLM\\software\\zarvo\\demo\\substitution, SetupSubstFileCmd_0, component AppConfig]",
               "key \"software\\zarvo\\demo\\substitution\" is not the key SetupSubstFiles reads, "
               "SOFTWARE\\[Manufacturer] (its CustomActionData): the command is never run");
    // A key that only the installation knows cannot be told.
    Cell(package, u"CustomAction", u"SetupSubstFilesData", u"Target") = u"SOFTWARE\\[COMMAND_KEY]";
    ExpectNothing(package);
}

TEST(RegistryCommandChecks, FindACommandInTheOtherRegistryView)
{
    Package package = SamplePackage();
    Cell(package, u"Component", u"SettingsCommand", u"Attributes") = u"0";
    ExpectOnly(
        package, "error ZC305", kXmlCommand,
        "the command is written by the 32-bit component SettingsCommand, in a package for 64-bit Windows: "
        "SetupSubstXmlFiles reads the 64-bit view, where it is not, so it is never run");

    package = SamplePackage();
    Cell(package, u"Component", u"AppConfig", u"Attributes") = u"256";
    ExpectOnly(package, "error ZC305", kTextCommand,
               "the command is written by the 64-bit component AppConfig, in a package for 64-bit Windows: "
               "SetupSubstFiles reads the 32-bit view, where it is not, so it is never run");
}

// A package for 32-bit Windows writes into the 32-bit view, which serves SetupSubstFiles, and
// SetupSubstXmlFiles only on 32-bit Windows.
TEST(RegistryCommandChecks, FindAnXmlCommandOfAPackageFor32BitWindows)
{
    Package package = SamplePackage();
    package.platform = u"Intel";
    Cell(package, u"Component", u"SettingsCommand", u"Attributes") = u"0";
    ExpectOnly(package, "error ZC306", kXmlCommand,
               "the command is written by a package for 32-bit Windows, into the 32-bit view: on 64-bit Windows "
               "SetupSubstXmlFiles reads the 64-bit view, so it never runs the command, which stays in the "
               "registry with its values");
    DropRows(package, u"Registry", u"reg_Subst2");
    ExpectNothing(package);
}

TEST(RegistryCommandChecks, SuggestTheCommandNameANearOneWasMeantToBe)
{
    const std::string neverRun = "?): the command is never run, and stays in the registry";
    Package package = SamplePackage();
    Cell(package, u"Registry", u"reg_Subst2", u"Name") = u"SetupSubstXmlCmd0";
    ExpectOnly(package, "warning ZC311", CommandPlace("SetupSubstXmlCmd0", "HKLM", "SettingsCommand"),
               "the value name is none that the substitution actions read (did you mean SetupSubstXmlCmd_0" +
                   neverRun);
    Cell(package, u"Registry", u"reg_Subst2", u"Name") = u"SetupSubstFilesCmd_12";
    ExpectOnly(package, "warning ZC311", CommandPlace("SetupSubstFilesCmd_12", "HKLM", "SettingsCommand"),
               "the value name is none that the substitution actions read (did you mean SetupSubstFileCmd_12" +
                   neverRun);
    // The package's other values are no affair of the library's.
    Cell(package, u"Registry", u"reg_Subst2", u"Name") = u"InstallFolder";
    ExpectNothing(package);
}

// A package is untrusted: thousands of rows in every table, properties that set one another
// in circles, are checked whole and in time.
TEST(CheckPackage, ChecksAPackageOfThousandsOfRowsInEveryTable)
{
    Package package = SamplePackage();
    constexpr int kRows = 2000;
    for (int row = 0; row < kRows; ++row) {
        const std::string digits = std::to_string(row);
        const std::u16string n(digits.begin(), digits.end());
        AddComponent(package, u"Component_" + n, 0);
        AddPrerequisite(package, 1000 + row, u"CheckFileVersionDisableComponent", u"Componnt_" + n, u"C:\\a",
                        u"", u"1");
        AddCustomAction(package, u"Reader" + n, kDeferred, kLibrary, u"RunCmdFile");
        Schedule(package, u"Reader" + n, 1600 + row);
        AddCustomAction(package, u"SetP" + n, kSetProperty, u"P" + n, u"[P" + n + u"][Q][Q][Q]");
        Schedule(package, u"SetP" + n, 8000 + row);
        AddCustomAction(package, u"SetQ" + n, kSetProperty, u"Q", u"[Q][Q][P" + n + u"]");
        Schedule(package, u"SetQ" + n, 8000 + row);
        AddRegistryValue(package, u"reg" + n, 2, u"[P" + n + u"][Q]", u"SetupSubstFileCmd_1",
                         u"[P" + n + u"]app.cfg[~]a=b", u"AppConfig");
    }
    // Each row that names no component, and each reader nothing feeds; the commands' keys
    // are past telling.
    EXPECT_EQ(check::CheckPackage(package).size(), 2u * kRows);
    // Each reader fed the property that thousands of actions set: its command lines are past
    // telling too.
    for (int row = 0; row < kRows; ++row) {
        const std::string digits = std::to_string(row);
        const std::u16string n(digits.begin(), digits.end());
        AddCustomAction(package, u"SetReader" + n, kSetProperty, u"Reader" + n, u"[Q]");
        Schedule(package, u"SetReader" + n, 1599);
    }
    EXPECT_EQ(check::CheckPackage(package).size(), std::size_t{kRows});
}

}  // namespace
}  // namespace zarvo::test
