// The checks over a package's tables: a package that uses the library as the README shows
// yields nothing, and each mistake planted in it yields its one finding.
#include <gtest/gtest.h>

#include <string>

#include "dll/action_table.h"
#include "platform/sim/sim_platform.h"
#include "unit/package_builder.h"
#include "zarvo-check/check_package.h"

namespace zarvo::test {
namespace {

using check::Findings;
using check::Severity;

const std::u16string kLibrary = u"ZarvoCustomActionDll";
constexpr std::int32_t kImmediate = 1;        // a DLL in the Binary table
constexpr std::int32_t kIgnoringAnswer = 65;  // ... whose answer is not looked at
constexpr std::int32_t kDeferred = 3073;      // ... in the script, not impersonated
constexpr std::int32_t kSetProperty = 51;
constexpr std::int32_t k64BitComponent = 256;
const std::u16string kCommandKey = u"SOFTWARE\\Zarvo\\Demo\\Substitution";

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

std::string Listed(const Findings& findings)
{
    std::string lines;
    for (const check::Finding& finding : findings)
        lines += (finding.severity == Severity::Error ? "error: " : "warning: ") + finding.where + ": " +
                 finding.message + "\n";
    return lines;
}

void ExpectNothing(const Package& package)
{
    const Findings findings = check::CheckPackage(package);
    EXPECT_TRUE(findings.empty()) << Listed(findings);
}

void ExpectOnly(const Package& package, Severity severity, const std::string& where,
                const std::string& message)
{
    const Findings findings = check::CheckPackage(package);
    ASSERT_EQ(findings.size(), 1u) << Listed(findings);
    EXPECT_EQ(findings[0].severity, severity);
    EXPECT_EQ(findings[0].where, where);
    EXPECT_EQ(findings[0].message, message);
}

TEST(CheckPackage, FindsNothingInAPackageThatUsesTheLibraryAsTheReadmeShows)
{
    Package package = SamplePackage();
    ExpectNothing(package);
    // Built for 32-bit Windows, its one registry view serves both substitution actions.
    package.platform = u"Intel";
    Cell(package, u"Component", u"SettingsCommand", u"Attributes") = u"0";
    ExpectNothing(package);
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
        package, Severity::Error, "CustomAction[RunCmdFile]",
        "DllEntry \"RunCmdFiles\" is not an action of this library (did you mean RunCmdFile?)" + failing);
    // The installer finds an export by its name as written, letter case and all.
    Cell(package, u"CustomAction", u"RunCmdFile", u"Target") = u"runcmdfile";
    ExpectOnly(
        package, Severity::Error, "CustomAction[RunCmdFile]",
        "DllEntry \"runcmdfile\" is not an action of this library (did you mean RunCmdFile?)" + failing);
    Cell(package, u"CustomAction", u"RunCmdFile", u"Target") = u"Frobnicate";
    ExpectOnly(package, Severity::Error, "CustomAction[RunCmdFile]",
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
        package, Severity::Error, "CustomAction[SetupSubstFiles]",
        "SetupSubstFiles runs immediate (Type 1): its only input, CustomActionData, is given to deferred "
        "actions alone, so it finds it empty and does nothing");
}

TEST(CustomActionChecks, FindADeferredReaderThatNothingFeedsBeforeIt)
{
    Package package = SamplePackage();
    DropRows(package, u"CustomAction", u"UpdateVS71VszFileData");
    ExpectOnly(
        package, Severity::Error, "InstallExecuteSequence[UpdateVS71VszFile]",
        "no type-51 action sets the property UpdateVS71VszFile before it in this table: its CustomActionData "
        "is empty, so UpdateVS71VszFile does nothing");

    package = SamplePackage();
    Cell(package, u"InstallExecuteSequence", u"RunCmdFileData", u"Sequence") = u"5102";
    ExpectOnly(package, Severity::Error, "InstallExecuteSequence[RunCmdFile]",
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
        package, Severity::Error, "InstallExecuteSequence[RemoveNote]",
        "no type-51 action sets the property RemoveNote before it in this table: its CustomActionData is "
        "empty, so RunCmdFile does nothing");
}

TEST(CustomActionChecks, FindANamedInputThatNothingSets)
{
    Package package = SamplePackage();
    DropRows(package, u"CustomAction", u"SetAgentCommand");
    ExpectOnly(
        package, Severity::Warning, "CustomAction[RunForegroundProgram]",
        "nothing sets the property RunForegroundProgram (no Property row, no scheduled type-51 action): the "
        "action starts no program");

    package = SamplePackage();
    DropRows(package, u"Property", u"CloseWindowByGUID");
    ExpectOnly(
        package, Severity::Warning, "CustomAction[CloseWindowByGUID]",
        "nothing sets the property CloseWindowByGUID (no Property row, no scheduled type-51 action): the "
        "title is empty, so the action closes no window");
    // A type-51 action that never runs sets nothing.
    AddCustomAction(package, u"SetTitle", kSetProperty, u"CloseWindowByGUID", u"{GUID}");
    EXPECT_EQ(check::CheckPackage(package).size(), 1u);
    Schedule(package, u"SetTitle", 1090);
    ExpectNothing(package);
}

TEST(PrerequisiteChecks, FindAnUnknownTypeAndTheKindItWasMeantToBe)
{
    Package package = SamplePackage();
    AddPrerequisite(package, 3, u"CheckFileVersoin", u"Runtime", u"C:\\a.dll", u"FileVersion", u"1.0");
    ExpectOnly(
        package, Severity::Error, "Prerequisites[Order 3]",
        "unknown Type \"CheckFileVersoin\" (did you mean CheckFileVersion?): the row passes unchecked");

    package = SamplePackage();
    AddPrerequisite(package, 4, u"CheckVersionSetPropety", u"P", u"SOFTWARE\\A", u"Version", u"1.0");
    ExpectOnly(
        package, Severity::Error, "Prerequisites[Order 4]",
        "unknown Type \"CheckVersionSetPropety\" (did you mean CheckVersionSetProperty?): the row changes "
        "nothing");

    package = SamplePackage();
    AddPrerequisite(package, 5, u"Frobnicate", u"P", u"", u"", u"");
    ExpectOnly(package, Severity::Error, "Prerequisites[Order 5]",
               "unknown Type \"Frobnicate\": the row passes unchecked and changes nothing");
}

TEST(PrerequisiteChecks, FindATableTheScheduledActionsCannotRead)
{
    Package package = SamplePackage();
    DropColumn(package, u"Prerequisites", u"Component_");
    ExpectOnly(
        package, Severity::Error, "Prerequisites",
        "the table lacks the column Component_, which CheckPrerequisites and ChangeElementsFromPrerequisites "
        "read: they do nothing and answer 0");
    DropColumn(package, u"Prerequisites", u"Order");
    DropColumn(package, u"Prerequisites", u"Type");
    DropRows(package, u"InstallExecuteSequence", u"ChangeElementsFromPrerequisites");
    ExpectOnly(
        package, Severity::Error, "Prerequisites",
        "the table lacks the columns Type, Component_ and Order, which CheckPrerequisites reads: it does "
        "nothing and answers 0");

    package = SamplePackage();
    package.tables.erase(u"Prerequisites");
    ExpectOnly(package, Severity::Error, "Prerequisites",
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
    ExpectOnly(package, Severity::Warning, "Prerequisites[Order 90]",
               "Value \"v2.0\" does not begin with a number: it reads as version 0.0.0.0, so the row passes "
               "whenever "
               "the value is there");

    package = SamplePackage();
    AddPrerequisite(package, 91, u"CheckInstanceProductState", u"No instance", u"SOFTWARE\\Zarvo\\Demo",
                    u"ProductCode", u"");
    ExpectOnly(
        package, Severity::Warning, "Prerequisites[Order 91]",
        "Value \"\" does not begin with a number: it reads as version 0.0.0.0, so the row fails whenever the "
        "installer knows the product the value names");

    package = SamplePackage();
    AddPrerequisite(package, 92, u"CheckVersionDisableComponent", u"Redist", u"SOFTWARE\\A", u"Version",
                    u"new");
    ExpectOnly(
        package, Severity::Warning, "Prerequisites[Order 92]",
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
    ExpectOnly(package, Severity::Warning, "Prerequisites[Order 95]",
               "ValueName \"Version\" is not FileVersion: CheckPrerequisites passes the row unchecked");

    package = SamplePackage();
    AddPrerequisite(package, 96, u"CheckProductState", u"Tools", u"{GUID}", u"ValueGreaterThan", u"5");
    ExpectOnly(
        package, Severity::Warning, "Prerequisites[Order 96]",
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
        package, Severity::Warning, "Prerequisites[Order 98]",
        "Destination begins with \"Key_Wow64_32Key:\", which CheckInstanceProductState does not know: it "
        "opens a key of that literal name, which does not exist, so the row always passes");
}

TEST(PrerequisiteChecks, FindAComponentToLeaveOutThatThePackageLacks)
{
    Package package = SamplePackage();
    AddPrerequisite(package, 99, u"CheckFileVersionDisableComponent", u"Redis", u"C:\\a.dll", u"", u"1.0");
    ExpectOnly(
        package, Severity::Warning, "Prerequisites[Order 99]",
        "Name \"Redis\" is no component of the Component table (did you mean Redist?): "
        "ChangeElementsFromPrerequisites asks to leave out a component the package does not have, and the "
        "installer refuses");
    // Without ChangeElementsFromPrerequisites the row does nothing, and neither does the gate with it.
    DropRows(package, u"InstallExecuteSequence", u"ChangeElementsFromPrerequisites");
    ExpectNothing(package);
}

TEST(SequenceChecks, FindComponentRequestsOutsideCostingAndValidation)
{
    const std::string installed = ", so they are installed";
    Package package = SamplePackage();
    Cell(package, u"InstallExecuteSequence", u"ChangeElementsFromPrerequisites", u"Sequence") = u"900";
    ExpectOnly(package, Severity::Warning, "InstallExecuteSequence[ChangeElementsFromPrerequisites]",
               "ChangeElementsFromPrerequisites runs at 900, not after CostFinalize (1000): the installer "
               "refuses to "
               "leave components out before costing is done" +
                   installed);
    Cell(package, u"InstallExecuteSequence", u"ChangeElementsFromPrerequisites", u"Sequence") = u"1400";
    ExpectOnly(
        package, Severity::Warning, "InstallExecuteSequence[ChangeElementsFromPrerequisites]",
        "ChangeElementsFromPrerequisites runs at 1400, not before InstallValidate (1400): the components it "
        "asks to leave out are already validated for installation" +
            installed);

    package = SamplePackage();
    Schedule(package, u"ChangeElementsFromPrerequisites", 1020, std::nullopt, u"AdminExecuteSequence");
    ExpectOnly(package, Severity::Warning, "AdminExecuteSequence[ChangeElementsFromPrerequisites]",
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
    ExpectOnly(package, Severity::Warning, "InstallExecuteSequence[NetFrameworkInstall]",
               "NetFrameworkInstall runs at 840, not after ResolveSource (850)" + unresolved);
    DropRows(package, u"InstallExecuteSequence", u"ResolveSource");
    ExpectOnly(package, Severity::Warning, "InstallExecuteSequence[NetFrameworkInstall]",
               "NetFrameworkInstall runs at 840, and this table has no ResolveSource" + unresolved);
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
        WithTextCommand(u"[INSTALLDIR]app.cfg"), Severity::Warning, "Registry[reg_Subst1]",
        "the value is not a multi-string (no [~] between its strings): SetupSubstFiles takes the whole text "
        "as the file to rewrite and replaces nothing");
    ExpectOnly(
        WithTextCommand(u"[INSTALLDIR]app.cfg[~]A=1[~]SERVER_NAME[~]B=2"), Severity::Warning,
        "Registry[reg_Subst1]",
        "\"SERVER_NAME\" has no \"=\" and ends the pairs: SetupSubstFiles ignores it and the 1 string after "
        "it");
    ExpectOnly(
        WithTextCommand(u"[INSTALLDIR]app.cfg[~]A=1[~][~]B=2[~]C=3"), Severity::Warning,
        "Registry[reg_Subst1]",
        "an empty string ends the command early: SetupSubstFiles ignores it and the 2 strings after it");
    std::u16string pairs = u"[INSTALLDIR]app.cfg";
    for (int pair = 0; pair < 22; ++pair)
        pairs += u"[~]A=" + std::u16string(1, static_cast<char16_t>(u'a' + pair));
    ExpectOnly(
        WithTextCommand(pairs), Severity::Warning, "Registry[reg_Subst1]",
        "the command holds more than 20 pairs: SetupSubstFiles takes the first 20 and ignores the 2 strings "
        "after them");
    ExpectOnly(
        WithTextCommand(u"app.cfg[~]A=1"), Severity::Warning, "Registry[reg_Subst1]",
        "the file to rewrite, \"app.cfg\", does not begin with a folder ([INSTALLDIR] or another Directory "
        "key, [#file] or a standard folder property): SetupSubstFiles opens only plain absolute paths and "
        "leaves the file as it is");
    ExpectOnly(
        WithTextCommand(u"[SERVERNAME]app.cfg[~]A=1"), Severity::Warning, "Registry[reg_Subst1]",
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
    ExpectOnly(package, Severity::Warning, "Registry[reg_Subst1]",
               "SetupSubstFileCmd_20 is never run: SetupSubstFiles reads only SetupSubstFileCmd_0 to "
               "SetupSubstFileCmd_19");
    Cell(package, u"Registry", u"reg_Subst1", u"Name") = u"SetupSubstFileCmd_05";
    EXPECT_EQ(check::CheckPackage(package).size(), 1u);
    // Registry value names are compared without regard to letter case.
    Cell(package, u"Registry", u"reg_Subst1", u"Name") = u"setupsubstfilecmd_19";
    ExpectNothing(package);

    Cell(package, u"Registry", u"reg_Subst1", u"Root") = u"1";
    ExpectOnly(
        package, Severity::Warning, "Registry[reg_Subst1]",
        "the command is written below HKEY_CURRENT_USER, but SetupSubstFiles reads HKEY_LOCAL_MACHINE: it is "
        "never run");
    Cell(package, u"Registry", u"reg_Subst1", u"Root") = u"-1";
    ExpectNothing(package);

    package = SamplePackage();
    DropRows(package, u"InstallExecuteSequence", u"SetupSubstXmlFiles");
    ExpectOnly(package, Severity::Warning, "Registry[reg_Subst2]",
               "no scheduled action runs SetupSubstXmlFiles: the command stays in the registry, never run");
}

TEST(RegistryCommandChecks, FindACommandUnderAKeyTheActionDoesNotRead)
{
    Package package = SamplePackage();
    Cell(package, u"Registry", u"reg_Subst1", u"Key") = u"SOFTWARE\\Zarvo\\Other";
    ExpectOnly(package, Severity::Warning, "Registry[reg_Subst1]",
               "key \"SOFTWARE\\Zarvo\\Other\" is not the key SetupSubstFiles reads, "
               "SOFTWARE\\Zarvo\\Demo\\Substitution (its CustomActionData): the command is never run");
    // Registry keys are compared without regard to letter case.
    Cell(package, u"Registry", u"reg_Subst1", u"Key") = u"software\\zarvo\\demo\\substitution";
    ExpectNothing(package);
    // The installer formats no value of the Property table: the key is that text as it stands.
    Cell(package, u"Property", u"SetupSubstFilesKey", u"Value") = u"SOFTWARE\\[Manufacturer]";
    ExpectOnly(package, Severity::Warning, "Registry[reg_Subst1]",
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
        package, Severity::Warning, "Registry[reg_Subst2]",
        "the command is written by the 32-bit component SettingsCommand, in a package for 64-bit Windows: "
        "SetupSubstXmlFiles reads the 64-bit view, where it is not, so it is never run");

    package = SamplePackage();
    Cell(package, u"Component", u"AppConfig", u"Attributes") = u"256";
    ExpectOnly(package, Severity::Warning, "Registry[reg_Subst1]",
               "the command is written by the 64-bit component AppConfig, in a package for 64-bit Windows: "
               "SetupSubstFiles reads the 32-bit view, where it is not, so it is never run");
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
        Schedule(package, u"Reader" + n, 7000 + row);
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
}

}  // namespace
}  // namespace zarvo::test
