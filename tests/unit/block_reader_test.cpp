// The reader's blocks: which lines go as bytes and which decoded, where a block ends when a
// line or a character is cut by the end of a megabyte read, and what a failed read leaves.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/sim/sim_platform.h"
#include "substitution/files/block_reader.h"

namespace zarvo::test {
namespace {

using namespace std::string_literals;

constexpr const char16_t* kPath = u"C:\\App\\f.xml";
constexpr std::size_t kMegabyte = 1 << 20;

struct Block {
    bool decoded;
    std::u16string text;
    bool operator==(const Block&) const = default;
};

class BlockReading : public ::testing::Test {
protected:
    std::vector<Block> Blocks(const std::string& file, TextInput input, bool bytesFit, std::size_t capacity = 4999)
    {
        sim.files.PutFile(kPath, file);
        BlockReader reader(sim.files);
        EXPECT_EQ(reader.Open(kPath, input), ReaderOpen::Opened);
        std::vector<Block> blocks;
        for (TextBlock block; !(block = reader.Next(capacity, bytesFit)).Empty();)
            blocks.push_back({block.bytes.empty(), block.bytes.empty() ? std::u16string(block.characters)
                                                                       : std::u16string(block.bytes.begin(), block.bytes.end())});
        readError = reader.ReadError();
        encoding = reader.Encoding().encoding;
        return blocks;
    }
    static std::u16string Joined(const std::vector<Block>& blocks)
    {
        std::u16string text;
        for (const Block& block : blocks) text += block.text;
        return text;
    }
    static std::u16string Widened(std::string_view bytes) { return std::u16string(bytes.begin(), bytes.end()); }

    sim::SimPlatform sim;
    std::uint32_t readError = 0;
    TextEncoding encoding = TextEncoding::SingleByte;
};

// Only the line that holds a character beyond ASCII is decoded; the lines around it go as bytes,
// unless the engine cannot take bytes at all.
TEST_F(BlockReading, DecodesOnlyTheUtf8LinesBeyondAscii)
{
    const std::string file = "\xEF\xBB\xBF" "a\r\nb\xC3\xA9\nc\n";
    EXPECT_EQ(Blocks(file, TextInput::ByMark, true),
              (std::vector<Block>{{false, u"a\r\n"}, {true, u"b\u00E9\n"}, {false, u"c\n"}}));
    EXPECT_EQ(Blocks(file, TextInput::ByMark, false), (std::vector<Block>{{true, u"a\r\nb\u00E9\nc\n"}}));
    EXPECT_EQ(Blocks(file, TextInput::SingleByte, true), (std::vector<Block>{{false, Widened(file)}}));
    EXPECT_EQ(Blocks("\xFF\xFE" "a\0\n\0"s, TextInput::ByMark, true), (std::vector<Block>{{true, u"a\n"}}));
}

// A line longer than a block is handed out in whole pieces of its capacity; a CR at the end of
// what was read waits for the LF that may pair with it.
TEST_F(BlockReading, CutsALineLongerThanABlockIntoWholePiecesAndKeepsACrWithItsLf)
{
    const std::string file = std::string(kMegabyte - 1, 'x') + "\r\ny\n";
    const std::vector<Block> blocks = Blocks(file, TextInput::SingleByte, true);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].text.size(), (kMegabyte - 1) / 4999 * 4999);
    EXPECT_EQ(Joined(blocks), Widened(file));
}

// A character whose bytes the end of a read cuts is decoded whole, once the rest is read; the
// pieces of its line count characters, not bytes.
TEST_F(BlockReading, DecodesACharacterCutByTheEndOfARead)
{
    const std::string file = std::string(kMegabyte - 1, 'x') + "\xC3\xA9" + std::string(kMegabyte, 'z') + "\n";
    std::u16string text = std::u16string(kMegabyte - 1, u'x') + u"\u00E9" + std::u16string(kMegabyte, u'z') + u"\n";
    const std::vector<Block> blocks = Blocks(file, TextInput::ByMark, true, 7);
    EXPECT_EQ(encoding, TextEncoding::Utf8);
    EXPECT_EQ(Joined(blocks), text);
    EXPECT_FALSE(blocks.front().decoded);
    std::size_t run = 0;
    for (std::size_t i = 0; i + 1 < blocks.size(); ++i) {
        run += blocks[i].text.size();
        EXPECT_EQ(run % 7, 0u) << "block " << i;
    }
}

// A failed read ends the blocks with what was read before it, and says so.
TEST_F(BlockReading, StopsAtAFailedRead)
{
    sim.ledger.FailCall(sim::Operation::Read, 2);
    std::string file;
    while (file.size() < 2 * kMegabyte) file += "line\n";
    EXPECT_EQ(Joined(Blocks(file, TextInput::SingleByte, true)), Widened(std::string_view(file).substr(0, kMegabyte)));
    EXPECT_EQ(readError, 30u);
}

}  // namespace
}  // namespace zarvo::test
