// Single-byte text read as bytes, held to the same text decoded line by line: over generated
// files of every kind of line end, line length, token place and byte, the lines are the same
// either way and are written as the same bytes, also where a line or a CR LF pair is cut by
// the end of a block read.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "platform/sim/sim_platform.h"
#include "substitution/byte_lines.h"

namespace zarvo::test {
namespace {

using namespace std::string_literals;

constexpr const char16_t* kTarget = u"C:\\App\\f.txt";
constexpr const char16_t* kAsBytes = u"C:\\App\\bytes";
constexpr const char16_t* kAsCharacters = u"C:\\App\\characters";
constexpr const char16_t* kAsLineBytes = u"C:\\App\\line-bytes";
// The size of the first read: a file longer than that is read in several blocks.
constexpr std::size_t kBlockBytes = 1 << 20;

// Both readers over the same bytes, line by line: the byte reader's lines read as the
// decoding reader's characters, each is marked exactly when it holds a marked byte, and
// written as bytes, or as the characters' bytes, they are what the decoded line is written as.
void ExpectSameLines(const std::string& bytes, std::size_t capacity, const ByteSet& marked)
{
    sim::SimPlatform sim;
    sim.files.PutFile(kTarget, bytes);
    LineReader decoded(sim.files);
    ByteLineReader raw(sim.files, marked);
    const ReaderOpen opened = decoded.Open(kTarget, TextInput::SingleByte);
    ASSERT_EQ(raw.Open(kTarget), opened);
    LineWriter asBytes(sim.files), asCharacters(sim.files), asLineBytes(sim.files);
    ASSERT_TRUE(asBytes.Create(kAsBytes, TextEncoding::SingleByte));
    ASSERT_TRUE(asCharacters.Create(kAsCharacters, TextEncoding::SingleByte));
    ASSERT_TRUE(asLineBytes.Create(kAsLineBytes, TextEncoding::SingleByte));
    std::u16string line;
    std::string characters;
    for (bool more = opened == ReaderOpen::Opened; more;) {
        more = decoded.ReadLine(line, capacity);
        const ByteLine read = raw.ReadLine(capacity);
        ASSERT_EQ(!read.bytes.empty(), more) << "capacity " << capacity;
        LineCharacters(read.bytes, characters);
        ASSERT_TRUE(std::ranges::equal(characters, more ? line : u"", {},
                                       [](char byte) { return static_cast<unsigned char>(byte); }))
            << "capacity " << capacity;
        const bool holds =
            std::ranges::any_of(read.bytes, [&](char byte) { return marked.test(static_cast<unsigned char>(byte)); });
        ASSERT_EQ(read.holdsMarked, holds) << ::testing::PrintToString(std::string(read.bytes));
        asBytes.WriteBytes(read.bytes);
        if (more) asCharacters.WriteLine(line);
        asLineBytes.WriteLine(characters);
    }
    EXPECT_EQ(raw.ReadError(), decoded.ReadError());
    EXPECT_TRUE(raw.Close());
    EXPECT_TRUE(decoded.Close());
    EXPECT_EQ(asBytes.Finish(), 0u);
    EXPECT_EQ(asCharacters.Finish(), 0u);
    EXPECT_EQ(asLineBytes.Finish(), 0u);
    EXPECT_EQ(sim.files.ReadFileBytes(kAsBytes), sim.files.ReadFileBytes(kAsCharacters));
    EXPECT_EQ(sim.files.ReadFileBytes(kAsLineBytes), sim.files.ReadFileBytes(kAsCharacters));
    EXPECT_EQ(sim.ledger.OpenCount(), 0u) << sim.ledger.DescribeOpen();
}

// The byte reader's lines that hold a marked byte (of those read one by one), the bytes
// written for all its lines, and how many of them were taken in runs.
struct MarkedAndWritten {
    std::vector<std::string> marked;
    std::string written;
    std::size_t inRuns = 0;
};

// How the lines are taken: one by one, with the plain lines between marked ones in runs, or
// with all the whole lines of a block in runs.
enum class Runs { None, Plain, Whole };

MarkedAndWritten ReadAsBytes(const std::string& bytes, std::size_t capacity, const ByteSet& marked, Runs runs)
{
    sim::SimPlatform sim;
    sim.files.PutFile(kTarget, bytes);
    ByteLineReader reader(sim.files, marked);
    LineWriter writer(sim.files);
    MarkedAndWritten result;
    if (reader.Open(kTarget) != ReaderOpen::Opened || !writer.Create(kAsBytes, TextEncoding::SingleByte)) return result;
    for (;;) {
        const std::string_view run = runs == Runs::Plain   ? reader.TakePlainLines()
                                     : runs == Runs::Whole ? reader.TakeLines()
                                                           : std::string_view();
        if (!run.empty()) {
            EXPECT_TRUE(run.ends_with('\n'));
            if (runs == Runs::Plain) {
                EXPECT_TRUE(std::ranges::none_of(run, [&](char byte) { return marked.test(static_cast<unsigned char>(byte)); }));
            }
            result.inRuns += run.size();
            writer.WriteBytes(run);
            continue;
        }
        const ByteLine read = reader.ReadLine(capacity);
        if (read.bytes.empty()) break;
        if (read.holdsMarked) result.marked.emplace_back(read.bytes);
        writer.WriteBytes(read.bytes);
    }
    EXPECT_TRUE(reader.Close());
    EXPECT_EQ(writer.Finish(), 0u);
    result.written = sim.files.ReadFileBytes(kAsBytes).value_or("");
    return result;
}

// Runs of plain lines taken at once leave the lines that hold a marked byte, and the bytes
// written, as they are line by line; runs of whole lines leave the bytes written.
void ExpectSameInRuns(const std::string& bytes, std::size_t capacity, const ByteSet& marked)
{
    const MarkedAndWritten byLine = ReadAsBytes(bytes, capacity, marked, Runs::None);
    const MarkedAndWritten inRuns = ReadAsBytes(bytes, capacity, marked, Runs::Plain);
    EXPECT_EQ(inRuns.marked, byLine.marked) << "capacity " << capacity;
    EXPECT_EQ(inRuns.written, byLine.written) << "capacity " << capacity;
    EXPECT_EQ(ReadAsBytes(bytes, capacity, marked, Runs::Whole).written, byLine.written) << "capacity " << capacity;
}

// The capacities of the engines (4,999 characters) and the wizard action (519), and a small
// one; marked bytes as the engines mark them: few enough for the 16-byte scan, or too many
// for it, or none.
void ExpectSameBothWays(const std::string& bytes, std::size_t variant)
{
    static const std::size_t kCapacities[] = {4999, 519, 3};
    static const ByteSet kMarks[] = {ByteSet().set('<').set('N'), ByteSet().set('['),
                                     ByteSet().set('<').set('N').set('D').set('x').set(0xE9), ByteSet()};
    ExpectSameLines(bytes, kCapacities[variant % std::size(kCapacities)], kMarks[variant % std::size(kMarks)]);
    ExpectSameInRuns(bytes, kCapacities[variant % std::size(kCapacities)], kMarks[variant % std::size(kMarks)]);
}

// Random files made of the pieces where the two ways could part: line ends of every kind,
// lines at and around both engines' capacities (4,999 and 519 characters), tokens at a
// line's start and end, bytes above 127, NUL.
class FileMaker {
public:
    explicit FileMaker(unsigned seed) : random_(seed) {}

    std::string File(std::size_t pieces)
    {
        std::string bytes;
        for (std::size_t i = 0; i < pieces; ++i) bytes += Piece();
        return bytes;
    }

private:
    std::string Piece()
    {
        static const char* const kEnds[] = {"\n", "\r\n", "\r", "\r\r\n", "\n\r", "\n\n"};
        static const char* const kTokens[] = {"<N>", "N", "<Dir>", "Dir", "[Zv.Dir.APITemplatesVS71]", "<N", "x", "<<>"};
        static const std::size_t kLengths[] = {517, 518, 519, 520, 1038, 4997, 4998, 4999, 5000, 12000};
        switch (Below(6)) {
        case 0: return kEnds[Below(std::size(kEnds))];
        case 1: return kTokens[Below(std::size(kTokens))];
        case 2: return std::string(kLengths[Below(std::size(kLengths))], Below(2) == 0 ? 'x' : 'y');
        default: return Text(Below(40));
        }
    }
    std::string Text(std::size_t length)
    {
        static const std::string kBytes = "ab <>[]N D\xE9\xFF\x80\x7F"s + '\0' + "\t=;";
        std::string text;
        for (std::size_t i = 0; i < length; ++i) text += kBytes[Below(kBytes.size())];
        return text;
    }
    std::size_t Below(std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random_); }

    std::mt19937 random_;
};

TEST(BytePipeline, ReadsWhatTheDecodingReaderReadsOnGeneratedFiles)
{
    FileMaker maker(20261207);
    for (std::size_t variant = 0; variant < 400; ++variant) ExpectSameBothWays(maker.File(variant % 12), variant);
}

TEST(BytePipeline, ReadsWhatTheDecodingReaderReadsOnShortAndMarkedFiles)
{
    std::size_t variant = 0;
    for (const std::string& bytes :
         {""s, "\r"s, "\n"s, "\r\n"s, "N"s, "<N>"s, "x\r"s, "\0"s, "\xFF"s, "\xFE"s, "\xFF\xFEN\n"s,
          "\xFE\xFF<N>\r\n"s, "\xFE\xFE<N>\n"s, "\xEF\xBB\xBF<N>\n"s, "[Zv.Dir.APITemplatesVS71]"s})
        for (std::size_t round = 0; round < 12; ++round) ExpectSameBothWays(bytes, variant++);
    // Runs without a byte to stop at, around the 16 bytes a scan passes over at once.
    for (std::size_t length = 14; length <= 34; ++length)
        for (const char* end : {"", "\r", "\n", "N"}) ExpectSameBothWays(std::string(length, 'q') + end, variant++);
}

// A file of several blocks, the end of the first block falling at the given place of the
// tail: inside a CR LF pair, inside a token, inside a line too long for the capacity.
TEST(BytePipeline, ReadsWhatTheDecodingReaderReadsAcrossBlocks)
{
    const std::string tails[] = {"\r\n<N>\n", "<N>\r\n", "[Zv.Dir.APITemplatesVS71]\n", std::string(6000, 'x') + "\r\nN"};
    FileMaker maker(7);
    std::size_t variant = 0;
    for (const std::string& tail : tails)
        for (std::size_t before : {1u, 2u, 3u}) {
            std::string bytes = maker.File(40);
            while (bytes.size() < kBlockBytes) bytes += "Setting=value of a setting\n";
            bytes.resize(kBlockBytes - before);
            bytes += tail + maker.File(40);
            bytes += std::string(6000, 'z') + "\r";
            ExpectSameBothWays(bytes, variant++);
        }
}

// A line that fills the capacity (4,999 characters for the engine, 519 for the wizard) with
// its CR LF pair, the first block ending between the CR and the LF: only the next block
// tells that the CR is part of the line's end.
TEST(BytePipeline, ReadsWhatTheDecodingReaderReadsWhereAFullLinesPairIsCut)
{
    std::size_t variant = 0;
    for (const std::size_t capacity : {4999u, 519u}) {
        std::string bytes;
        while (bytes.size() + 100 < kBlockBytes - capacity) bytes += "Setting=<N> value\n";
        bytes += std::string(kBlockBytes - capacity - bytes.size() - 1, 'y') + "\n";
        bytes += std::string(capacity - 1, 'x') + "\r\n<N>\n";
        ASSERT_EQ(bytes.find("\r\n"), kBlockBytes - 1);
        ExpectSameBothWays(bytes, variant++);
        ExpectSameBothWays(bytes, variant++);
    }
}

// After a line that the end of a block cuts, or one longer than a block, read piece by piece,
// the whole lines of the next block are taken in runs again.
TEST(ByteLineReader, TakesTheWholeLinesOfEachBlockInRuns)
{
    std::string bytes;
    while (bytes.size() < 3 * kBlockBytes) bytes += "Path=<N> ; N here\nSetting=value\r\n";
    const std::size_t cutLines = bytes.size();
    bytes += std::string(kBlockBytes + 10, 'x') + "\n";
    while (bytes.size() < 6 * kBlockBytes) bytes += "Path=<N> ; N here\nSetting=value\r\n";
    const MarkedAndWritten read = ReadAsBytes(bytes, 4999, ByteSet().set('<').set('N'), Runs::Whole);
    EXPECT_EQ(read.written, ReadAsBytes(bytes, 4999, ByteSet().set('<').set('N'), Runs::None).written);
    // Left to be read line by line: a line at each block's end, and the long line.
    EXPECT_GT(read.inRuns + 7 * 40, cutLines);
    EXPECT_GT(read.inRuns + 7 * 40 + kBlockBytes + 11, bytes.size());
}

TEST(ByteLineReader, ReadsTheLinesLineReaderReadsAndMarksThoseThatHoldAMarkedByte)
{
    sim::SimPlatform sim;
    sim.files.PutFile(kTarget, "abcdef\r\nxyz<\r\n<\n\rq\r");
    ByteLineReader reader(sim.files, ByteSet().set('<'));
    ASSERT_EQ(reader.Open(kTarget), ReaderOpen::Opened);
    const struct {
        std::string_view bytes;
        bool marked;
    } expected[] = {
        // The first line is split at its capacity; the second piece is its CR LF pair alone.
        {"abc", false}, {"def", false}, {"\r\n", false},
        // A marked byte one past the piece is not in it.
        {"xyz", false}, {"<\r\n", true}, {"<\n", true}, {"\rq\r", false},
    };
    for (const auto& line : expected) {
        const ByteLine read = reader.ReadLine(3);
        EXPECT_EQ(read.bytes, line.bytes);
        EXPECT_EQ(read.holdsMarked, line.marked) << line.bytes;
    }
    EXPECT_TRUE(reader.ReadLine(3).bytes.empty());
    EXPECT_EQ(reader.ReadError(), 0u);
    EXPECT_TRUE(reader.Close());
    EXPECT_EQ(sim.ledger.OpenCount(), 0u);
}

TEST(ByteLineReader, RefusesAFileThatStartsWithAUtf16MarkAndClosesIt)
{
    sim::SimPlatform sim;
    for (const char* bytes : {"\xFF\xFEz", "\xFE\xFFz"}) {
        sim.files.PutFile(kTarget, bytes);
        ByteLineReader reader(sim.files, ByteSet());
        EXPECT_EQ(reader.Open(kTarget), ReaderOpen::EncodingRefused);
        EXPECT_EQ(sim.ledger.OpenCount(), 0u);
    }
    ByteLineReader reader(sim.files, ByteSet());
    EXPECT_EQ(reader.Open(u"C:\\App\\missing.txt"), ReaderOpen::Failed);
}

}  // namespace
}  // namespace zarvo::test
