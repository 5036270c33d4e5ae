// The tokens found in a line, held to a plain search for each token in turn: tokens that
// begin alike, that are the beginning of another, that stand twice in the row order, that
// start above 255, and occurrences that overlap or end the line; in a line of characters, and
// in single-byte text given as its bytes. And whether a line holds the tags of one row alone.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "substitution/present_rows.h"
#include "substitution/token_presence.h"

namespace zarvo::test {
namespace {

std::u16string RandomText(std::mt19937& random, std::size_t longest)
{
    static const std::u16string kCharacters = u"ab<>\u0100\u00FF\n";
    std::u16string text(std::uniform_int_distribution<std::size_t>(1, longest)(random), u'a');
    for (char16_t& c : text) c = kCharacters[std::uniform_int_distribution<std::size_t>(0, kCharacters.size() - 1)(random)];
    return text;
}

TEST(TokenPresence, FindsWhatASearchForEachTokenFinds)
{
    std::mt19937 random(5);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::u16string> tokens;
        // Up to 45 tokens: trees with a table for every node, and trees too large for that.
        for (int i = 0; i < 6 + round % 40; ++i) tokens.push_back(RandomText(random, 4));
        tokens.push_back(tokens.front());
        const TokenPresence presence(std::vector<std::u16string_view>(tokens.begin(), tokens.end()));
        RowBits present;
        for (int line = 0; line < 20; ++line) {
            const std::u16string text = RandomText(random, 30);
            // The same text as bytes, where its characters fit them: \u0100 is left out.
            std::string bytes;
            std::u16string fitting;
            for (const char16_t c : text)
                if (c < 256) {
                    bytes += static_cast<char>(c);
                    fitting += c;
                }
            presence.Find(std::u16string_view(text), present);
            RowBits presentInBytes;
            presence.Find(std::string_view(bytes), presentInBytes);
            for (std::size_t row = 0; row < tokens.size(); ++row) {
                EXPECT_EQ(HasRow(present, row), text.find(tokens[row]) != std::u16string::npos)
                    << ::testing::PrintToString(text) << " " << ::testing::PrintToString(tokens[row]);
                EXPECT_EQ(HasRow(presentInBytes, row), fitting.find(tokens[row]) != std::u16string::npos)
                    << ::testing::PrintToString(bytes) << " " << ::testing::PrintToString(tokens[row]);
            }
        }
    }
}

// Tokens that part after a shared beginning in many ways, more often than the tree keeps tables
// for: each found where it stands, and only there.
TEST(TokenPresence, FindsTokensThatPartInManyWays)
{
    std::vector<std::u16string> tokens;
    for (char16_t first = u'A'; first < u'A' + 80; ++first)
        for (const char16_t second : u"0123456\u0100")
            if (second != 0) tokens.push_back(std::u16string{u'<', first, second, u'>'});
    const TokenPresence presence(std::vector<std::u16string_view>(tokens.begin(), tokens.end()));
    RowBits present, presentInBytes;
    for (const std::u16string line : {u"x<A0> <B\u0100><C9> <\u0080", u"<<P6>>", u"<A7>"}) {
        presence.Find(std::u16string_view(line), present);
        // The same line as bytes, with its characters above 255 left out.
        std::string bytes;
        for (const char16_t c : line)
            if (c < 256) bytes += static_cast<char>(c);
        presence.Find(std::string_view(bytes), presentInBytes);
        for (std::size_t row = 0; row < tokens.size(); ++row) {
            EXPECT_EQ(HasRow(present, row), line.find(tokens[row]) != std::u16string::npos) << ::testing::PrintToString(tokens[row]);
            EXPECT_EQ(HasRow(presentInBytes, row), line.find(tokens[row]) != std::u16string::npos && tokens[row][2] < 256)
                << ::testing::PrintToString(tokens[row]);
        }
    }
}

// The places of "<" in a line.
std::vector<std::size_t> TagPlaces(std::string_view line)
{
    std::vector<std::size_t> places;
    for (std::size_t at = line.find('<'); at != std::string_view::npos; at = line.find('<', at + 1)) places.push_back(at);
    return places;
}

// Which rows' tags a line holds, for a few rows (a tree small enough for a table at each node)
// and for many (tables for some nodes only): none, one row alone with where it first stands, or
// several; a row whose insertion can make another's tag counts as several.
TEST(PresentRows, TellsWhetherALineHoldsTheTagsOfOneRowAlone)
{
    for (const int letters : {2, 26}) {
        std::vector<std::u16string> tokens, insertions;
        for (char16_t letter = u'A'; letter < u'A' + letters; ++letter)
            for (char16_t digit = u'0'; digit <= u'9'; ++digit) {
                tokens.push_back(std::u16string{u'<', letter, digit, u'>'});
                insertions.push_back(u"v");
            }
        insertions[1] = u"<A2";  // row <A1> can make row <A2>'s tag
        const PresentRows rows(std::vector<std::u16string_view>(tokens.begin(), tokens.end()),
                               std::vector<std::u16string_view>(insertions.begin(), insertions.end()));
        const auto in = [&rows](std::string_view line) { return rows.InLine(line, TagPlaces(line)); };
        EXPECT_EQ(in("no tags\n").rows, LineRows::None);
        EXPECT_EQ(in("</B3> <B> <B3\n").rows, LineRows::None);
        const RowsInLine one = in("x </B3><B3>y</B3><B3>\n");
        EXPECT_EQ(one.rows, LineRows::One);
        EXPECT_EQ(one.row, 13u);
        EXPECT_EQ(one.place, 7u);
        EXPECT_EQ(in("<B3>a<A4>\n").rows, LineRows::Several);
        EXPECT_EQ(in("<A1>a</A1>\n").rows, LineRows::Several);
    }
}

TEST(TokenPresence, TellsTheCharactersBelow256ThatTokensStartWith)
{
    const TokenPresence presence({u"<N>", u"N", u"\u0100x", u"\u00FFy", u"<M"});
    std::bitset<256> expected;
    expected.set('<').set('N').set(0xFF);
    EXPECT_EQ(presence.FirstCharacters(), expected);
}

}  // namespace
}  // namespace zarvo::test
