// The substitution actions where only the simulated machine reaches: command buffers of
// any shape, the decoders' edges, and every platform call failing in turn with the files
// kept whole.
#include <gtest/gtest.h>

#include "dll/action_table.h"
#include "frame/result_codes.h"
#include "substitution/command_store.h"
#include "substitution/line_file.h"
#include "substitution/substitution_command.h"
#include "substitution/xml_substitution.h"
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
    ConsumeSubstitutionCommands(sim.platform(), u"SOFTWARE\\C", u"Cmd_%d", kKeyAllAccess,
                                [](Files&, std::span<char16_t>) {
                                    ++runs;
                                    return RewriteOutcome::Replaced;
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
    EXPECT_EQ(SubstituteXmlFile(sim.files, command), RewriteOutcome::AttributesUnread);
    EXPECT_EQ(sim.files.ReadFileBytes(u"C:\\App\\s.xml"), "<a>b</a>\n");
    EXPECT_EQ(sim.files.GetAttributes(u"C:\\App\\s.xml"), kReadOnlyHidden);

    command = CommandFor(u"C:\\App\\s.xml", {u"a=c"});
    sim.ledger.FailCall(sim::Operation::SetAttributes, 2);  // the one that puts them back
    EXPECT_EQ(SubstituteXmlFile(sim.files, command), RewriteOutcome::AttributesNotRestored);
    EXPECT_NE(sim.files.ReadFileBytes(u"C:\\App\\s.xml"), "<a>b</a>\n");

    // A refused move leaves the file with its own attributes.
    sim.files.PutFile(u"C:\\App\\s.xml", "<a>b</a>\n", kReadOnlyHidden);
    command = CommandFor(u"C:\\App\\s.xml", {u"a=c"});
    sim.ledger.FailCall(sim::Operation::Move, 1);
    EXPECT_EQ(SubstituteXmlFile(sim.files, command), RewriteOutcome::MoveRefused);
    EXPECT_EQ(sim.files.GetAttributes(u"C:\\App\\s.xml"), kReadOnlyHidden);
    EXPECT_EQ(sim.ledger.OpenCount(), 0u);
}

class SubstitutionFaults : public ::testing::Test {
protected:
    static constexpr const char* kOld = "<N>old</N>\n<Dir>\n";

    static InstallerHandle Machine(sim::SimPlatform& sim, const char16_t* valueName)
    {
        sim.files.PutFile(u"C:\\App\\app.cfg", kOld);
        sim.registry.WriteMultiString(u"SOFTWARE\\Vendor\\Commands", valueName,
                                      {u"C:\\App\\app.cfg", u"N=new", u"Dir=C:\\D"}, kKeyWow64_64Key);
        sim.registry.WriteMultiString(u"SOFTWARE\\Vendor\\Commands", valueName,
                                      {u"C:\\App\\app.cfg", u"N=new", u"Dir=C:\\D"});
        const InstallerHandle session = sim.installer.OpenSession(std::make_shared<sim::SimDatabase>());
        sim.installer.SetPropertyValue(session, u"CustomActionData", u"SOFTWARE\\Vendor\\Commands");
        return session;
    }
    // Whatever failed, the file holds its old bytes or the whole rewrite, and still does
    // when the power is cut straight afterwards.
    static void ExpectWhole(sim::SimPlatform& sim, const std::string& rewritten,
                            const FailedCall& failed, const char16_t* path = u"C:\\App\\app.cfg",
                            const std::string& old = kOld)
    {
        const auto bytes = [&] { return sim.files.ReadFileBytes(path).value_or("<missing>"); };
        const std::string now = bytes();
        EXPECT_TRUE(now == old || now == rewritten) << Failing(failed) << ": " << now;
        EXPECT_TRUE(failed || now == rewritten) << now;
        // The rewrite takes the file's place in one move, or not at all.
        EXPECT_TRUE(!FailedOn(failed, sim::Operation::Move) || now == old) << now;
        // Only bytes on the disk are moved, and the move itself is written through.
        for (const sim::SimFiles::MoveMade& move : sim.files.MovesMade()) {
            EXPECT_TRUE(move.flushed) << Failing(failed);
            EXPECT_EQ(move.flags, kMoveFileReplaceExisting | kMoveFileWriteThrough);
        }
        sim.files.CutPower();
        EXPECT_EQ(bytes(), now) << "after a power cut " << Failing(failed);
    }
};

TEST_F(SubstitutionFaults, SetupSubstFilesKeepsTheFileWhole)
{
    RunFaultSweep({[](sim::SimPlatform& sim) { return Machine(sim, u"SetupSubstFileCmd_0"); },
                   "SetupSubstFiles", {kErrorSuccess, kErrorInstallFailure},
                   [](sim::SimPlatform& sim, InstallerHandle, const FailedCall& failed) {
                       ExpectWhole(sim, "newold</new>\r\nC:\\\\D\r\n", failed);
                   }});
}

TEST_F(SubstitutionFaults, SetupSubstXmlFilesKeepsTheFileWhole)
{
    RunFaultSweep({[](sim::SimPlatform& sim) { return Machine(sim, u"SetupSubstXmlCmd_0"); },
                   "SetupSubstXmlFiles", {kErrorSuccess, kErrorInstallFailure},
                   [](sim::SimPlatform& sim, InstallerHandle, const FailedCall& failed) {
                       std::string rewritten = "\xFF\xFE";
                       for (char c : std::string("<N>new</N>\r\n<Dir>\r\n")) rewritten += {c, '\0'};
                       ExpectWhole(sim, rewritten, failed);
                   }});
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
                   [](sim::SimPlatform& sim, InstallerHandle, const FailedCall& failed) {
                       ExpectWhole(sim, "a=C:\\T\r\n", failed, u"C:\\App\\ZarvoCSharpPlugin.vsz",
                                   "a=[Zv.Dir.APITemplatesVS71]\n");
                   }});
}

}  // namespace
}  // namespace zarvo::test
