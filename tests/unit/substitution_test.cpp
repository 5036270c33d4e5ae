// The substitution actions where only the simulated machine reaches: command buffers of
// any shape, the decoders' edges, and every platform call failing in turn with the files
// kept whole.
#include <gtest/gtest.h>

#include <cstring>

#include "dll/action_table.h"
#include "frame/result_codes.h"
#include "substitution/actions/command_store.h"
#include "substitution/files/line_writer.h"
#include "substitution/actions/substitution_command.h"
#include "substitution/engines/xml_engine.h"
#include "unit/fault_sweep.h"

namespace zarvo::test {
namespace {

using namespace std::string_literals;

TEST(SubstitutionCommand, TakesAtMostTwentyPairsAndStopsAtTheBuffersEnd)
{
    std::u16string text = u"C:\\target";
    for (int i = 0; i < 25; ++i) text += u'\0' + std::u16string(1, static_cast<char16_t>(u'a' + i)) + u"=v";
    text += u"\0\0"s;
    const SubstitutionCommand command = ReadSubstitutionCommand(text);
    ASSERT_EQ(command.pairs.size(), kSubstitutionPairLimit);
    EXPECT_EQ(command.pairs[19].name, u"t");
    EXPECT_EQ(std::u16string(command.target), u"C:\\target");

    // A last string without its terminator ends at the two zero characters every buffer has.
    std::u16string cut = u"C:\\t\0x=1\0y=2"s + u"\0\0"s;
    EXPECT_EQ(ReadSubstitutionCommand(cut).pairs.size(), 2u);
}

TEST(CommandStore, DeletesACommandThatHeldDataEvenWhenItsDataCannotBeRead)
{
    sim::SimPlatform sim;
    sim.registry.WriteMultiString(u"SOFTWARE\\C", u"Cmd_0", {u"C:\\f"});
    sim.ledger.FailCall(sim::Operation::QueryValue, 2);  // the size is asked, the data is not had
    static int runs;
    runs = 0;
    const ActionLog log(sim.installer, 0, u"Test");
    ConsumeSubstitutionCommands(sim.platform(), log, u"SOFTWARE\\C", u"Cmd_", kKeyAllAccess,
                                [](Files&, std::span<char16_t>) {
                                    ++runs;
                                    return RewriteReport{};
                                });
    EXPECT_EQ(runs, 0);
    EXPECT_FALSE(sim.registry.HasValue(u"SOFTWARE\\C", u"Cmd_0"));
}

// The file after one command with no pairs, which only converts its text.
std::string Converted(const char* action, const std::string& bytes)
{
    sim::SimPlatform sim;
    sim.files.PutFile(u"C:\\f", bytes);
    const std::u16string value = std::string(action) == "SetupSubstFiles" ? u"SetupSubstFileCmd_0" : u"SetupSubstXmlCmd_0";
    sim.registry.WriteMultiString(u"SOFTWARE\\C", value, {u"C:\\f"}, kKeyWow64_64Key);
    sim.registry.WriteMultiString(u"SOFTWARE\\C", value, {u"C:\\f"});
    const InstallerHandle session = sim.installer.OpenSession(std::make_shared<sim::SimDatabase>());
    sim.installer.SetPropertyValue(session, u"CustomActionData", u"SOFTWARE\\C");
    InvokeAction(*FindAction(action), sim.platform(), session);
    return sim.files.ReadFileBytes(u"C:\\f").value_or("<missing>");
}

std::u16string Utf16Text(const std::string& bytes)
{
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    std::u16string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
        text += static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) | static_cast<std::uint8_t>(bytes[i + 1]) << 8);
    return text;
}

TEST(TextConversion, ReadsInvalidUtf8AsReplacementCharactersAndKeepsTheRest)
{
    EXPECT_EQ(Utf16Text(Converted("SetupSubstXmlFiles", "\xEF\xBB\xBF" "a\xC3(b\xF0\x9F\x98\x80")),
              u"a\uFFFD(b\U0001F600");
    EXPECT_EQ(Utf16Text(Converted("SetupSubstXmlFiles", "\xEF\xBB\xBF\xED\xA0\x80\xC0\xAF\xE2\x82")),
              u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
    // A lone last byte of UTF-16 has no partner.
    EXPECT_EQ(Utf16Text(Converted("SetupSubstXmlFiles", std::string("\xFF\xFE" "a\0b", 5))), u"a\uFFFD");
    // Latin-1 without a mark is not UTF-8: each byte is its own character.
    EXPECT_EQ(Utf16Text(Converted("SetupSubstXmlFiles", "caf\xE9 \xC3")), u"caf\u00E9 \u00C3");
}

TEST(TextConversion, SingleByteTextHoldsCharactersUpTo255)
{
    EXPECT_TRUE(FitsSingleByteText(u""));
    EXPECT_TRUE(FitsSingleByteText(u"caf\u00E9 \u00FF"));
    EXPECT_FALSE(FitsSingleByteText(u"a\u0100b"));
    EXPECT_FALSE(FitsSingleByteText(u"\U0001F600"));
}

TEST(TextConversion, JoinsACrLfPairThatStraddlesTwoReads)
{
    const std::string bytes = std::string(65535, 'x') + "\r\n" + std::string(70000, 'y');
    EXPECT_EQ(Converted("SetupSubstFiles", bytes), bytes);
}

// The command's multi-string: the target, then the pairs, each ended by a zero, and one more.
std::u16string CommandFor(const std::u16string& target, const std::vector<std::u16string>& pairs)
{
    std::u16string command = target + u'\0';
    for (const std::u16string& pair : pairs) command += pair + u'\0';
    return command + u'\0';
}

TEST(XmlAttributes, AreKeptOrTheFileIsNotReplacedAndALostRestoreIsReported)
{
    sim::SimPlatform sim;
    constexpr std::uint32_t kReadOnlyHidden = kFileAttributeReadOnly | 0x2;
    sim.files.PutFile(u"C:\\App\\s.xml", "<a>b</a>\n", kReadOnlyHidden);
    std::u16string command = CommandFor(u"C:\\App\\s.xml", {u"a=c"});
    // Attributes that cannot be read could not be put back: the file stays as it is.
    sim.ledger.FailCall(sim::Operation::GetAttributes, 1);
    EXPECT_EQ(SubstituteXmlFile(sim.files, command).outcome, RewriteOutcome::AttributesUnread);
    EXPECT_EQ(sim.files.ReadFileBytes(u"C:\\App\\s.xml"), "<a>b</a>\n");
    EXPECT_EQ(sim.files.GetAttributes(u"C:\\App\\s.xml"), kReadOnlyHidden);

    command = CommandFor(u"C:\\App\\s.xml", {u"a=c"});
    sim.ledger.FailCall(sim::Operation::SetAttributes, 2);  // the one that puts them back
    EXPECT_EQ(SubstituteXmlFile(sim.files, command).outcome, RewriteOutcome::AttributesNotRestored);
    EXPECT_NE(sim.files.ReadFileBytes(u"C:\\App\\s.xml"), "<a>b</a>\n");

    // A refused move leaves the file with its own attributes.
    sim.files.PutFile(u"C:\\App\\s.xml", "<a>b</a>\n", kReadOnlyHidden);
    command = CommandFor(u"C:\\App\\s.xml", {u"a=c"});
    sim.ledger.FailCall(sim::Operation::Move, 1);
    EXPECT_EQ(SubstituteXmlFile(sim.files, command).outcome, RewriteOutcome::MoveRefused);
    EXPECT_EQ(sim.files.GetAttributes(u"C:\\App\\s.xml"), kReadOnlyHidden);
    EXPECT_EQ(sim.ledger.OpenCount(), 0u);
}

using Lines = std::vector<std::u16string>;

// The log of the substitution actions on the simulated machine: every value of a command
// holds kSecret, and no line may ever show it.
class SubstitutionLog : public ::testing::Test {
protected:
    static constexpr const char16_t* kSecret = u"Pa55-w0rd!";
    static constexpr const char16_t* kKey = u"SOFTWARE\\Vendor\\Commands";

    // A command in both views, so that either action finds it.
    void Command(const char16_t* valueName, const std::u16string& target, const Lines& pairs = {})
    {
        Lines strings{target};
        strings.insert(strings.end(), pairs.begin(), pairs.end());
        sim.registry.WriteMultiString(kKey, valueName, strings, kKeyWow64_64Key);
        sim.registry.WriteMultiString(kKey, valueName, strings);
    }
    // The lines the action wrote, after it answered `expected`.
    Lines Run(const char* action, const std::u16string& data = kKey, WinResult expected = kErrorSuccess)
    {
        const InstallerHandle session = sim.installer.OpenSession(std::make_shared<sim::SimDatabase>());
        sim.installer.SetPropertyValue(session, u"CustomActionData", data);
        EXPECT_EQ(InvokeAction(*FindAction(action), sim.platform(), session), expected) << action;
        const Lines& lines = sim.installer.Messages(session);
        for (const std::u16string& line : lines)
            EXPECT_EQ(line.find(kSecret), std::u16string::npos) << std::string(line.begin(), line.end());
        return lines;
    }
    static std::u16string Secret(std::u16string_view name) { return std::u16string(name) + u"=" + kSecret; }

    sim::SimPlatform sim;
};

TEST_F(SubstitutionLog, SetupSubstFilesSaysWhatEachCommandDidWithTokenNamesOnly)
{
    sim.files.PutFile(u"C:\\App\\app.cfg", "key=<Password>\npass=Password <Password>\n");
    sim.files.PutFile(u"C:\\App\\wide.cfg", "\xFF\xFE" "a\0"s);
    Command(u"SetupSubstFileCmd_0", u"C:\\App\\app.cfg", {Secret(u"Password"), u"Dir=D:\\"s + kSecret});
    Command(u"SetupSubstFileCmd_3", u"C:\\App\\missing.cfg", {Secret(u"Password")});
    Command(u"SetupSubstFileCmd_5", u"C:\\App\\wide.cfg", {Secret(u"Password")});
    Command(u"SetupSubstFileCmd_7", u"app.cfg", {Secret(u"Password")});
    EXPECT_EQ(Run("SetupSubstFiles"),
              (Lines{
                  u"SetupSubstFiles: key SOFTWARE\\Vendor\\Commands opened in the 32-bit view",
                  u"SetupSubstFiles: SetupSubstFileCmd_0: target \"C:\\App\\app.cfg\"",
                  u"SetupSubstFiles: SetupSubstFileCmd_0: read as single-byte text, written as single-byte text",
                  u"SetupSubstFiles: SetupSubstFileCmd_0: replacements: <Password> 2, Password 1, <Dir> 0, Dir 0",
                  u"SetupSubstFiles: SetupSubstFileCmd_0: file replaced",
                  u"SetupSubstFiles: SetupSubstFileCmd_0 deleted",
                  u"SetupSubstFiles: SetupSubstFileCmd_3: target \"C:\\App\\missing.cfg\"",
                  u"SetupSubstFiles: SetupSubstFileCmd_3: file not replaced: it could not be opened (missing, or "
                  u"held by another program)",
                  u"SetupSubstFiles: SetupSubstFileCmd_3 deleted",
                  u"SetupSubstFiles: SetupSubstFileCmd_5: target \"C:\\App\\wide.cfg\"",
                  u"SetupSubstFiles: SetupSubstFileCmd_5: file not replaced: it starts with the UTF-16LE "
                  u"byte-order mark, which is not read as single-byte text",
                  u"SetupSubstFiles: SetupSubstFileCmd_5 deleted",
                  u"SetupSubstFiles: SetupSubstFileCmd_7: target \"app.cfg\"",
                  u"SetupSubstFiles: SetupSubstFileCmd_7: file not replaced: not a plain absolute path, so never "
                  u"opened",
                  u"SetupSubstFiles: SetupSubstFileCmd_7 deleted",
                  u"SetupSubstFiles: commands taken up: 4",
              }));
    // The value went into the file; the log only counted it.
    EXPECT_EQ(sim.files.ReadFileBytes(u"C:\\App\\app.cfg"), "key=Pa55-w0rd!\r\npass=Pa55-w0rd! Pa55-w0rd!\r\n");
}

TEST_F(SubstitutionLog, SetupSubstXmlFilesCountsElementsAndNamesEachEncoding)
{
    sim.files.PutFile(u"C:\\App\\s.xml", "\xEF\xBB\xBF<Port>1</Port><Port>2</Port>\n<Port>3</Port><Key></Key>\n");
    Command(u"SetupSubstXmlCmd_2", u"C:\\App\\s.xml", {Secret(u"Port"), Secret(u"Key"), Secret(u"Host")});
    EXPECT_EQ(Run("SetupSubstXmlFiles"),
              (Lines{
                  u"SetupSubstXmlFiles: key SOFTWARE\\Vendor\\Commands opened in the 64-bit view",
                  u"SetupSubstXmlFiles: SetupSubstXmlCmd_2: target \"C:\\App\\s.xml\"",
                  u"SetupSubstXmlFiles: SetupSubstXmlCmd_2: read as UTF-8 with a byte-order mark, written as "
                  u"UTF-16LE with a byte-order mark",
                  u"SetupSubstXmlFiles: SetupSubstXmlCmd_2: replacements: <Port> 2, <Key> 1, <Host> 0",
                  u"SetupSubstXmlFiles: SetupSubstXmlCmd_2: file replaced",
                  u"SetupSubstXmlFiles: SetupSubstXmlCmd_2 deleted",
                  u"SetupSubstXmlFiles: commands taken up: 1",
              }));

    // The third line: how the file was read, or why it was not.
    const struct {
        std::string bytes;
        std::u16string line;
    } encodings[] = {
        {"caf\xC3\xA9", u"read as UTF-8 without a byte-order mark, written as UTF-16LE with a byte-order mark"},
        {"\xFF\xFE" "a\0"s, u"read as UTF-16LE with a byte-order mark, written as UTF-16LE with a byte-order mark"},
        {"caf\xE9", u"read as single-byte text, written as UTF-16LE with a byte-order mark"},
        {"\xFE\xFF\0a"s,
         u"file not replaced: it starts with the big-endian UTF-16 byte-order mark, which is not read"},
    };
    for (const auto& e : encodings) {
        sim.files.PutFile(u"C:\\App\\s.xml", e.bytes);
        Command(u"SetupSubstXmlCmd_0", u"C:\\App\\s.xml");
        EXPECT_EQ(Run("SetupSubstXmlFiles").at(2), u"SetupSubstXmlFiles: SetupSubstXmlCmd_0: " + e.line);
    }
    sim.files.PutFile(u"C:\\App\\s.xml", "<a/>");
    Command(u"SetupSubstXmlCmd_0", u"C:\\App\\s.xml");
    EXPECT_EQ(Run("SetupSubstXmlFiles").at(3), u"SetupSubstXmlFiles: SetupSubstXmlCmd_0: nothing to replace");
}

// What became of the file, for each way a rewrite stops once it reached the text, in the
// action's own line after the counts of what the rewrite holds.
TEST_F(SubstitutionLog, SaysWhyAFileWasNotReplaced)
{
    const struct {
        const char* action;
        sim::Operation operation;
        std::uint64_t occurrence;
        std::u16string_view outcome;
    } stops[] = {
        {"SetupSubstFiles", sim::Operation::Flush, 1,
         u"file not replaced: writing its temporary file failed with Windows error 29; the unfinished rewrite "
         u"was deleted"},
        {"SetupSubstFiles", sim::Operation::Read, 2,  // the one that finds the file's end
         u"file not replaced: reading it failed with Windows error 30; the unfinished rewrite was deleted"},
        {"SetupSubstFiles", sim::Operation::Move, 1,
         u"file not replaced: the rewrite could not be moved over it and stays in its temporary file"},
        {"SetupSubstXmlFiles", sim::Operation::GetAttributes, 1,
         u"file not replaced: its attributes could not be read to be kept; the rewrite stays in its temporary "
         u"file"},
        {"SetupSubstXmlFiles", sim::Operation::SetAttributes, 2,
         u"file replaced, but its attributes could not be put back"},
    };
    for (const auto& stop : stops) {
        sim.files.PutFile(u"C:\\App\\f.txt", "<N></N>\n");
        sim.files.Delete(u"C:\\App\\f.txt.tmp");
        const bool text = std::string(stop.action) == "SetupSubstFiles";
        const std::u16string valueName = text ? u"SetupSubstFileCmd_0" : u"SetupSubstXmlCmd_0";
        Command(valueName.c_str(), u"C:\\App\\f.txt", {Secret(u"N")});
        sim.ledger.FailCall(stop.operation, stop.occurrence);
        const Lines lines = Run(stop.action);
        const std::u16string prefix =
            std::u16string(stop.action, stop.action + std::strlen(stop.action)) + u": " + valueName + u": ";
        ASSERT_EQ(lines.size(), 7u) << stop.action;
        EXPECT_EQ(lines[3], prefix + (text ? u"replacements: <N> 1, N 1" : u"replacements: <N> 1"));
        EXPECT_EQ(lines[4], prefix + std::u16string(stop.outcome));
    }
    // Stopped before the text: no counts.
    sim.files.PutFile(u"C:\\App\\f.txt", "<N></N>\n");
    Command(u"SetupSubstFileCmd_0", u"C:\\App\\f.txt", {Secret(u"N")});
    sim.ledger.FailCall(sim::Operation::CreateNew, 1);
    const Lines lines = Run("SetupSubstFiles");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2], u"SetupSubstFiles: SetupSubstFileCmd_0: file not replaced: its temporary file could not be "
                        u"created");
}

TEST_F(SubstitutionLog, SaysWhatBecameOfTheKeyAndEachValue)
{
    EXPECT_EQ(Run("SetupSubstFiles", u"SOFTWARE\\Vendor\\Missing"),
              (Lines{u"SetupSubstFiles: key SOFTWARE\\Vendor\\Missing could not be opened in the 32-bit view: no "
                     u"command run"}));
    sim.registry.windows64 = false;
    EXPECT_EQ(Run("SetupSubstXmlFiles", u"SOFTWARE\\Vendor\\Missing"),
              (Lines{u"SetupSubstXmlFiles: key SOFTWARE\\Vendor\\Missing could not be opened in the 32-bit view: no "
                     u"command run"}));

    Command(u"SetupSubstFileCmd_0", u"C:\\App\\missing.cfg", {Secret(u"N")});
    sim.ledger.FailCall(sim::Operation::DeleteValue, 1);
    EXPECT_EQ(Run("SetupSubstFiles").at(3),
              u"SetupSubstFiles: SetupSubstFileCmd_0 could not be deleted (error 5): it may run again");
    sim.ledger.FailCall(sim::Operation::QueryValue, 2);  // the size is asked, the data is not had
    EXPECT_EQ(Run("SetupSubstFiles"),
              (Lines{u"SetupSubstFiles: key SOFTWARE\\Vendor\\Commands opened in the 32-bit view",
                     u"SetupSubstFiles: SetupSubstFileCmd_0: its data could not be read: no file rewritten",
                     u"SetupSubstFiles: SetupSubstFileCmd_0 deleted", u"SetupSubstFiles: commands taken up: 1"}));

    sim.ledger.FailCall(sim::Operation::GetProperty, 1);
    EXPECT_EQ(Run("SetupSubstXmlFiles", kKey, kErrorInstallFailure),
              (Lines{u"SetupSubstXmlFiles: CustomActionData could not be read: fails"}));
}

TEST_F(SubstitutionLog, UpdateVS71VszFileNamesItsFileAndCountsPlaceholdersButNeverShowsTheirText)
{
    const std::u16string data = u"C:\\App\\|C:\\"s + kSecret;
    sim.files.PutFile(u"C:\\App\\ZarvoCSharpPlugin.vsz", "[Zv.Dir.APITemplatesVS71]\nx [Zv.Dir.APITemplatesVS71]\n");
    EXPECT_EQ(Run("UpdateVS71VszFile", data),
              (Lines{
                  u"UpdateVS71VszFile: wizard file \"C:\\App\\ZarvoCSharpPlugin.vsz\"",
                  u"UpdateVS71VszFile: placeholders replaced: 2",
                  u"UpdateVS71VszFile: file replaced",
              }));
    EXPECT_EQ(Run("UpdateVS71VszFile", u"C:\\Nowhere\\|" + std::u16string(kSecret) + u"\u4E2D"),
              (Lines{
                  u"UpdateVS71VszFile: wizard file \"C:\\Nowhere\\ZarvoCSharpPlugin.vsz\"",
                  u"UpdateVS71VszFile: the text to put in is not single-byte text: every placeholder stays",
                  u"UpdateVS71VszFile: file not replaced: it could not be opened (missing, or held by another "
                  u"program)",
              }));

    const std::u16string longFolder = u"C:\\" + std::u16string(250, u'f') + u"\\";
    const struct {
        std::u16string data;
        std::u16string line;
    } nothingDone[] = {
        {u"C:\\App\\" + std::u16string(kSecret),
         u"CustomActionData holds no \"|\" after the wizard file's folder: nothing done"},
        {std::u16string(520, u'x'), u"CustomActionData is longer than 519 characters: nothing done"},
        {longFolder + u"|" + kSecret,
         u"folder \"" + longFolder + u"\" is too long for the wizard file's names: nothing done"},
    };
    for (const auto& n : nothingDone)
        EXPECT_EQ(Run("UpdateVS71VszFile", n.data), (Lines{u"UpdateVS71VszFile: " + n.line}));
    sim.ledger.FailCall(sim::Operation::GetProperty, 1);
    EXPECT_EQ(Run("UpdateVS71VszFile", data),
              (Lines{u"UpdateVS71VszFile: CustomActionData could not be read (error 1627): nothing done"}));
}

// A log line that cannot be written costs the action nothing: it answers as the clean run.
std::set<WinResult> AnswersWhen(const FailedCall& failed)
{
    if (!failed || FailedOnLog(failed)) return {kErrorSuccess};
    return {kErrorSuccess, kErrorInstallFailure};
}

class SubstitutionFaults : public ::testing::Test {
protected:
    // Where the action writes its rewrite: "<target>.tmp", and the wizard file's own name.
    static std::u16string TemporaryOf(const std::u16string& target)
    {
        const std::u16string vsz = u".vsz";
        if (target.ends_with(vsz)) return target.substr(0, target.size() - vsz.size()) + u".tmp.vsz";
        return target + u".tmp";
    }
    static constexpr const char* kOld = "<N>old</N>\n<Dir>\n";
    static constexpr const char16_t* kCommandKey = u"SOFTWARE\\Vendor\\Commands";

    static InstallerHandle Machine(sim::SimPlatform& sim, const char16_t* valueName)
    {
        sim.files.PutFile(u"C:\\App\\app.cfg", kOld);
        sim.registry.WriteMultiString(kCommandKey, valueName, {u"C:\\App\\app.cfg", u"N=new", u"Dir=C:\\D"},
                                      kKeyWow64_64Key);
        sim.registry.WriteMultiString(kCommandKey, valueName, {u"C:\\App\\app.cfg", u"N=new", u"Dir=C:\\D"});
        const InstallerHandle session = sim.installer.OpenSession(std::make_shared<sim::SimDatabase>());
        sim.installer.SetPropertyValue(session, u"CustomActionData", kCommandKey);
        return session;
    }
    // Whatever failed, the file holds its old bytes or the whole rewrite, and still does
    // when the power is cut straight afterwards. With a log call failing, the files are the
    // clean run's: the whole rewrite, and nothing beside it. The clean run writes a log.
    static void ExpectWhole(sim::SimPlatform& sim, InstallerHandle session, const std::string& rewritten,
                            const FailedCall& failed, const char16_t* path = u"C:\\App\\app.cfg",
                            const std::string& old = kOld)
    {
        const auto bytes = [&] { return sim.files.ReadFileBytes(path).value_or("<missing>"); };
        const std::string now = bytes();
        EXPECT_TRUE(now == old || now == rewritten) << Failing(failed) << ": " << now;
        EXPECT_TRUE((failed && !FailedOnLog(failed)) || now == rewritten) << Failing(failed) << ": " << now;
        EXPECT_TRUE(!FailedOnLog(failed) || sim.files.Paths() == Lines{path}) << Failing(failed);
        EXPECT_TRUE(failed || !sim.installer.Messages(session).empty());
        // The rewrite takes the file's place in one move, or not at all.
        EXPECT_TRUE(!FailedOn(failed, sim::Operation::Move) || now == old) << now;
        // Only a finished rewrite that could not take the file's place stays beside it: an
        // unfinished one is deleted, unless that deletion is what failed.
        const std::u16string temporary = TemporaryOf(path);
        EXPECT_TRUE(!sim.files.Exists(temporary) || FailedOn(failed, sim::Operation::Move) ||
                    FailedOn(failed, sim::Operation::GetAttributes) || FailedOn(failed, sim::Operation::Delete))
            << Failing(failed);
        // Only bytes on the disk are moved, and the move itself is written through.
        for (const sim::SimFiles::MoveMade& move : sim.files.MovesMade()) {
            EXPECT_TRUE(move.flushed) << Failing(failed);
            EXPECT_EQ(move.flags, kMoveFileReplaceExisting | kMoveFileWriteThrough);
        }
        sim.files.CutPower();
        EXPECT_EQ(bytes(), now) << "after a power cut " << Failing(failed);
    }
    // With a log call failing the command is taken up and deleted, as in the clean run.
    static void ExpectTaken(sim::SimPlatform& sim, const char16_t* valueName, std::uint32_t view,
                            const FailedCall& failed)
    {
        EXPECT_TRUE((failed && !FailedOnLog(failed)) || !sim.registry.HasValue(kCommandKey, valueName, view))
            << Failing(failed);
    }
};

TEST_F(SubstitutionFaults, SetupSubstFilesKeepsTheFileWhole)
{
    RunFaultSweep({.setUp = [](sim::SimPlatform& sim) { return Machine(sim, u"SetupSubstFileCmd_0"); },
                   .action = "SetupSubstFiles",
                   .check =
                       [](sim::SimPlatform& sim, InstallerHandle session, const FailedCall& failed) {
                           ExpectWhole(sim, session, "newold</new>\r\nC:\\\\D\r\n", failed);
                           ExpectTaken(sim, u"SetupSubstFileCmd_0", 0, failed);
                       },
                   .answersWhen = &AnswersWhen});
}

TEST_F(SubstitutionFaults, SetupSubstXmlFilesKeepsTheFileWhole)
{
    RunFaultSweep({.setUp = [](sim::SimPlatform& sim) { return Machine(sim, u"SetupSubstXmlCmd_0"); },
                   .action = "SetupSubstXmlFiles",
                   .check =
                       [](sim::SimPlatform& sim, InstallerHandle session, const FailedCall& failed) {
                           std::string rewritten = "\xFF\xFE";
                           for (char c : std::string("<N>new</N>\r\n<Dir>\r\n")) rewritten += {c, '\0'};
                           ExpectWhole(sim, session, rewritten, failed);
                           ExpectTaken(sim, u"SetupSubstXmlCmd_0", kKeyWow64_64Key, failed);
                       },
                   .answersWhen = &AnswersWhen});
}

TEST_F(SubstitutionFaults, UpdateVS71VszFileKeepsTheFileWhole)
{
    RunFaultSweep({[](sim::SimPlatform& sim) {
                       sim.files.PutFile(u"C:\\App\\ZarvoCSharpPlugin.vsz", "a=[Zv.Dir.APITemplatesVS71]\n");
                       const InstallerHandle session =
                           sim.installer.OpenSession(std::make_shared<sim::SimDatabase>());
                       sim.installer.SetPropertyValue(session, u"CustomActionData", u"C:\\App\\|C:\\T");
                       return session;
                   },
                   "UpdateVS71VszFile", {kErrorSuccess},
                   [](sim::SimPlatform& sim, InstallerHandle session, const FailedCall& failed) {
                       ExpectWhole(sim, session, "a=C:\\T\r\n", failed, u"C:\\App\\ZarvoCSharpPlugin.vsz",
                                   "a=[Zv.Dir.APITemplatesVS71]\n");
                   }});
}

}  // namespace
}  // namespace zarvo::test
