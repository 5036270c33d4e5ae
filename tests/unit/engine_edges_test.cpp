// The substitution engines at their limits and the text decoder at its edges: lines at
// their capacity, byte sequences that are not text, line ends that are not CR LF, a rewrite
// that stops part-way, and the paths a rewrite may touch.
#include <gtest/gtest.h>

#include <bit>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>

#include "dll/action_table.h"
#include "frame/bounded_format.h"
#include "frame/capacities.h"
#include "platform/sim/sim_platform.h"
#include "substitution/actions/command_store.h"
#include "substitution/files/block_reader.h"
#include "substitution/files/target_path.h"
#include "substitution/engines/text_engine.h"
#include "substitution/engines/xml_engine.h"

namespace zarvo::test {
namespace {

using namespace std::string_literals;

constexpr const char16_t* kTarget = u"C:\\App\\f.txt";
constexpr const char16_t* kTemporary = u"C:\\App\\f.txt.tmp";

// The bytes the XML engine writes for this text: UTF-16LE after its mark, which on this
// machine is the text's own bytes.
static_assert(std::endian::native == std::endian::little);
std::string Utf16Bytes(std::u16string_view text)
{
    const auto* bytes = reinterpret_cast<const char*>(text.data());
    return "\xFF\xFE" + std::string(bytes, text.size() * sizeof(char16_t));
}

class EngineEdges : public ::testing::Test {
protected:
    // Rewrites a file of these bytes by one command of these pairs.
    RewriteOutcome Rewrite(SubstitutionEngine engine, const std::string& bytes,
                           std::initializer_list<std::u16string_view> pairs = {})
    {
        sim.files.PutFile(kTarget, bytes);
        std::u16string command = kTarget;
        for (std::u16string_view pair : pairs) command.append(1, u'\0').append(pair);
        command += u"\0\0"s;
        const RewriteOutcome outcome = engine(sim.files, command).outcome;
        EXPECT_EQ(sim.ledger.OpenCount(), 0u) << sim.ledger.DescribeOpen();
        return outcome;
    }
    std::string Target() const { return sim.files.ReadFileBytes(kTarget).value_or("<missing>"); }
    // What the XML engine makes of the bytes of a UTF-8 file with its mark.
    std::string FromUtf8(const std::string& bytes)
    {
        EXPECT_EQ(Rewrite(&SubstituteXmlFile, "\xEF\xBB\xBF" + bytes), RewriteOutcome::Replaced);
        return Target();
    }

    sim::SimPlatform sim;
};

TEST_F(EngineEdges, PlainTextStopsAfter4999ReplacementsOfATokenOnALine)
{
    // Each "ab" that becomes "ba" makes a new "ab" further left: every "b" takes two
    // replacements to reach the front, 8,000 in all, of which 4,999 are made.
    const std::string line = "aa" + std::string(4000, 'b') + "\n";
    EXPECT_EQ(Rewrite(&SubstituteTextFile, line, {u"ab=ba"}), RewriteOutcome::Replaced);
    EXPECT_EQ(Target(), std::string(2499, 'b') + "aba" + std::string(1500, 'b') + "\r\n");
}

TEST_F(EngineEdges, ATokenStaysWhenItsReplacementWouldOverflowTheLine)
{
    const std::string filler(4988, 'y');
    // 4,990 characters with the LF: ten for one fills the line exactly, eleven would not fit.
    // On the third line the first token fits and the second would not.
    const std::string bytes = "N" + filler + "\nM" + filler + "\nK" + filler.substr(1) + "K\n";
    EXPECT_EQ(Rewrite(&SubstituteTextFile, bytes, {u"N=0123456789", u"M=0123456789A", u"K=012345"}),
              RewriteOutcome::Replaced);
    EXPECT_EQ(Target(), "0123456789" + filler + "\r\nM" + filler + "\r\n012345" + filler.substr(1) + "K\r\n");
}

TEST_F(EngineEdges, XmlElementStaysWhenItsValueWouldOverflowTheLine)
{
    const std::string filler(4988, 'y');
    const std::string bytes = "<k></k>" + filler + "\n<m></m>" + filler + "\n";
    EXPECT_EQ(Rewrite(&SubstituteXmlFile, bytes, {u"k=abc", u"m=abcd"}), RewriteOutcome::Replaced);
    const std::u16string wide(filler.begin(), filler.end());
    const std::u16string expected = u"<k>abc</k>" + wide + u"\r\n<m></m>" + wide + u"\r\n";
    EXPECT_EQ(Target(), Utf16Bytes(expected));
}

TEST_F(EngineEdges, XmlNameTooLongForItsTagsIsLeftOutAndTheOthersStillApply)
{
    // Its opening tag alone fills a whole line; its closing tag could never follow there.
    const std::u16string longName(4997, u'n');
    // Built piece by piece: the optimiser misreads the concatenation as an overlapping copy.
    std::string longTag(1, '<');
    longTag.append(4997, 'n');
    longTag += '>';
    const std::u16string pair = longName + u"=x";
    EXPECT_EQ(Rewrite(&SubstituteXmlFile, longTag + "\n<k>old</k>\n", {pair, u"k=new"}),
              RewriteOutcome::Replaced);
    EXPECT_EQ(Target(), Utf16Bytes(std::u16string(longTag.begin(), longTag.end()) + u"\r\n<k>new</k>\r\n"));
}

TEST_F(EngineEdges, Utf8DecoderTakesEachLeadBytesRangeAndRefusesTheRest)
{
    const struct {
        std::string bytes;
        std::u16string text;
    } cases[] = {
        // The lowest and highest continuation each special lead byte takes, and one beyond.
        {"\xE0\xA0\x80", u"\u0800"},
        {"\xE0\x9F\xBF", u"\uFFFD\uFFFD\uFFFD"},  // overlong
        {"\xED\x9F\xBF", u"\uD7FF"},
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // a surrogate
        {"\xF0\x90\x80\x80", u"\U00010000"},
        {"\xF0\x8F\xBF\xBF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // overlong
        {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
        {"\xF5\x80", u"\uFFFD\uFFFD"},                       // no lead byte at all
        {"\x80z", u"\uFFFDz"},                               // a lone continuation
        {"z\xF0\x9F\x98", u"z\uFFFD"},                       // cut short by the end
    };
    for (const auto& c : cases)
        EXPECT_EQ(FromUtf8(c.bytes), Utf16Bytes(c.text)) << ::testing::PrintToString(c.bytes);
}

TEST_F(EngineEdges, AFileWithoutAMarkIsUtf8OnlyWhenAllOfItIsValid)
{
    EXPECT_EQ(Rewrite(&SubstituteXmlFile, "a\xF4\x8F\xBF\xBF"), RewriteOutcome::Replaced);
    EXPECT_EQ(Target(), Utf16Bytes(u"a\U0010FFFF"));
    // One sequence beyond the range makes every byte its own character.
    EXPECT_EQ(Rewrite(&SubstituteXmlFile, "\xC3\xA9\xF4\x90\x80\x80"), RewriteOutcome::Replaced);
    EXPECT_EQ(Target(), Utf16Bytes(u"\u00C3\u00A9\u00F4\u0090\u0080\u0080"));
}

TEST_F(EngineEdges, OnlyACrLfPairIsALineEnd)
{
    // A CR before another character, and a CR that ends the file, are kept as they are.
    EXPECT_EQ(Rewrite(&SubstituteTextFile, "a\rb\nc\r\nd\r"), RewriteOutcome::Replaced);
    EXPECT_EQ(Target(), "a\rb\r\nc\r\nd\r");
    // A CR before a lone last byte of UTF-16.
    EXPECT_EQ(Rewrite(&SubstituteXmlFile, "\xFF\xFE" "a\0\r\0b"s), RewriteOutcome::Replaced);
    EXPECT_EQ(Target(), Utf16Bytes(u"a\r\uFFFD"));
}

TEST_F(EngineEdges, AnEmptyFileStaysEmptyInItsEncoding)
{
    EXPECT_EQ(Rewrite(&SubstituteTextFile, ""), RewriteOutcome::Replaced);
    EXPECT_EQ(Target(), "");
    EXPECT_EQ(Rewrite(&SubstituteXmlFile, ""), RewriteOutcome::Replaced);
    EXPECT_EQ(Target(), "\xFF\xFE");
}

// A rewrite that stops part-way leaves the target as it was and the temporary file beside
// it, with every handle closed. The file spans several writes, so that the first failing
// one stops the rest: no later byte is written after a gap.
TEST_F(EngineEdges, ARewriteThatStopsPartWayLeavesTheTargetAsItWas)
{
    std::string bytes;
    for (int i = 0; i < 120000; ++i) bytes += "<N> line\n";
    const struct {
        sim::Operation operation;
        std::uint64_t occurrence;
    } failing[] = {
        {sim::Operation::Read, 2},
        {sim::Operation::Write, 1},
        {sim::Operation::Flush, 1},
        {sim::Operation::Close, 2},  // the temporary file's; the target's is the first
    };
    for (const auto& f : failing) {
        sim.ledger.FailCall(f.operation, f.occurrence);
        const RewriteOutcome expected =
            f.operation == sim::Operation::Read ? RewriteOutcome::ReadFailed : RewriteOutcome::WriteFailed;
        EXPECT_EQ(Rewrite(&SubstituteTextFile, bytes, {u"N=C:\\x"}), expected) << sim::OperationName(f.operation);
        EXPECT_EQ(Target(), bytes);
        // The unfinished rewrite is gone with the failure, not left to fill the disk.
        EXPECT_FALSE(sim.files.Exists(kTemporary)) << sim::OperationName(f.operation);
    }
    // The last run wrote its 1,440,000 bytes in two writes; with the first failing, there is
    // no second.
    EXPECT_EQ(sim.ledger.CallCount(sim::Operation::Write), 2u);
    sim.ledger.FailCall(sim::Operation::Write, 1);
    Rewrite(&SubstituteTextFile, bytes, {u"N=C:\\x"});
    EXPECT_EQ(sim.ledger.CallCount(sim::Operation::Write), 1u);
}

TEST_F(EngineEdges, AFailedCloseOfTheFileReadLosesNothing)
{
    sim.ledger.FailCall(sim::Operation::Close, 1);
    EXPECT_EQ(Rewrite(&SubstituteTextFile, "<N>\n", {u"N=C:\\x"}), RewriteOutcome::Replaced);
    EXPECT_EQ(Target(), "C:\\\\x\r\n");
}

TEST_F(EngineEdges, TheReaderClosesItsFileOnce)
{
    sim.files.PutFile(kTarget, "abcdef\n");
    BlockReader reader(sim.files);
    EXPECT_TRUE(reader.Close());  // nothing open yet
    ASSERT_EQ(reader.Open(kTarget, TextInput::SingleByte), ReaderOpen::Opened);
    EXPECT_EQ(reader.Next(3, true).bytes, "abcdef\n");
    EXPECT_TRUE(reader.Next(3, true).Empty());
    EXPECT_EQ(reader.ReadError(), 0u);
    EXPECT_TRUE(reader.Close());
    EXPECT_TRUE(reader.Close());
    EXPECT_EQ(sim.ledger.CallCount(sim::Operation::Close), 1u);
    EXPECT_EQ(reader.Open(u"C:\\App\\missing.txt", TextInput::ByMark), ReaderOpen::Failed);
}

// The wizard file's name and its temporary's are both made from the folder before anything
// is opened: a folder that leaves room for the first but not the second touches nothing.
TEST_F(EngineEdges, TheWizardFileIsRewrittenOnlyWhenItsTemporarysPathFits)
{
    const std::size_t temporaryLength = std::u16string_view(u"ZarvoCSharpPlugin.tmp.vsz").size();
    for (std::size_t folderLength : {kPathCapacity - 1 - temporaryLength, kPathCapacity - temporaryLength}) {
        const std::u16string folder = u"C:\\" + std::u16string(folderLength - 4, u'd') + u"\\";
        const std::u16string wizard = folder + u"ZarvoCSharpPlugin.vsz";
        sim.files.PutFile(wizard, "[Zv.Dir.APITemplatesVS71]\n");
        const InstallerHandle session = sim.installer.OpenSession(std::make_shared<sim::SimDatabase>());
        sim.installer.SetPropertyValue(session, u"CustomActionData", folder + u"|C:\\T");
        EXPECT_EQ(InvokeAction(*FindAction("UpdateVS71VszFile"), sim.platform(), session), 0u);
        const bool fits = folderLength + temporaryLength < kPathCapacity;
        EXPECT_EQ(sim.files.ReadFileBytes(wizard), fits ? "C:\\T\r\n" : "[Zv.Dir.APITemplatesVS71]\n")
            << folderLength;
    }
}

// A command number whose value name would not fit is skipped, not run under a name cut short.
TEST_F(EngineEdges, CommandsWhoseValueNamesDoNotFitAreSkipped)
{
    const std::u16string prefix(28, u'C');  // one digit more fills the 30 characters' room
    for (const char16_t* number : {u"7", u"12"})
        sim.registry.WriteMultiString(u"SOFTWARE\\C", prefix + number, {u"C:\\f"});
    static int runs;
    runs = 0;
    const ActionLog log(sim.installer, 0, u"Test");
    ConsumeSubstitutionCommands(sim.platform(), log, u"SOFTWARE\\C", prefix, kKeyAllAccess,
                                [](Files&, std::span<char16_t>) {
                                    ++runs;
                                    return RewriteReport{};
                                });
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(sim.registry.HasValue(u"SOFTWARE\\C", prefix + u"7"));
    EXPECT_TRUE(sim.registry.HasValue(u"SOFTWARE\\C", prefix + u"12"));
}

// The formatter that names the wizard's files and the command values writes a name whole
// or not at all: a conversion cut short or too wide, or padding, sign, digits or "%" left
// without room, leave an empty buffer.
TEST(NameFormatting, RefusesANameItCannotWriteWhole)
{
    char16_t buffer[8] = u"old";
    const struct {
        std::size_t capacity;
        std::u16string_view format;
        std::initializer_list<FormatArg> args;
    } refused[] = {
        {8, u"abc%", {}},   {8, u"%0", {1}},  {8, u"%5", {1}},      {8, u"%12345d", {1}},
        {8, u"%d", {u"x"}}, {4, u"%5d", {1}}, {1, u"%d", {-1}},     {4, u"%05d", {1}},
        {3, u"%d", {123}},  {1, u"%%", {}},
    };
    for (const auto& r : refused) {
        EXPECT_FALSE(FormatBounded(buffer, r.capacity, r.format, r.args))
            << ::testing::PrintToString(std::u16string(r.format));
        EXPECT_EQ(buffer[0], u'\0');
    }
    EXPECT_TRUE(FormatBounded(buffer, 4, u"%3d", {-1}));
    EXPECT_EQ(std::u16string(buffer), u" -1");
}

TEST(TargetPath, TakesOnlyPlainAbsolutePathsOnADriveOrAShare)
{
    for (std::u16string_view accepted :
         {u"C:\\a\\b.txt", u"c:/a/b.txt", u"z:\\a", u"\\\\server\\share\\f.txt", u"//server/share",
          u"C:\\a..b\\...\\c"})
        EXPECT_TRUE(IsPlainAbsolutePath(accepted)) << ::testing::PrintToString(std::u16string(accepted));
    for (std::u16string_view refused :
         {u"a.txt", u"\\a.txt", u"C:a.txt", u"C:", u"1:\\a", u"[:\\a", u"{:\\a", u"C;\\a",
          u"C:\\a\\..\\b.txt", u"C:\\a\\..", u"..\\b", u"\\\\.\\PhysicalDrive0", u"\\\\?\\C:\\a.txt",
          u"\\\\.\\pipe\\x", u"\\\\server", u"\\\\server\\", u"\\\\server\\\\f", u"\\\\\\share\\f",
          u"\\\\server\\share\\..\\f", u"\\", u""})
        EXPECT_FALSE(IsPlainAbsolutePath(refused)) << ::testing::PrintToString(std::u16string(refused));
}

}  // namespace
}  // namespace zarvo::test
