// The tokens found in a line, held to a plain search for each token in turn: tokens that
// begin alike, that are the beginning of another, that stand twice in the row order, that
// start above 255, and occurrences that overlap or end the line; in a line of characters, and
// in single-byte text given as its bytes.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "substitution/scanning/token_trie.h"

namespace zarvo::test {
namespace {

std::u16string RandomText(std::mt19937& random, std::size_t longest)
{
    static const std::u16string kCharacters = u"ab<>\u0100\u00FF\n";
    std::u16string text(std::uniform_int_distribution<std::size_t>(1, longest)(random), u'a');
    for (char16_t& c : text) c = kCharacters[std::uniform_int_distribution<std::size_t>(0, kCharacters.size() - 1)(random)];
    return text;
}

TEST(TokenTrie, FindsWhatASearchForEachTokenFinds)
{
    std::mt19937 random(5);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::u16string> tokens;
        // Up to 45 tokens: trees with a table for every node, and trees too large for that.
        for (int i = 0; i < 6 + round % 40; ++i) tokens.push_back(RandomText(random, 4));
        tokens.push_back(tokens.front());
        const TokenTrie trie(std::vector<std::u16string_view>(tokens.begin(), tokens.end()));
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
            trie.Find(std::u16string_view(text), present);
            RowBits presentInBytes;
            trie.Find(std::string_view(bytes), presentInBytes);
            bool any = false;
            for (std::size_t row = 0; row < tokens.size(); ++row) {
                any = any || HasRow(present, row);
                EXPECT_EQ(HasRow(present, row), text.find(tokens[row]) != std::u16string::npos)
                    << ::testing::PrintToString(text) << " " << ::testing::PrintToString(tokens[row]);
                EXPECT_EQ(HasRow(presentInBytes, row), fitting.find(tokens[row]) != std::u16string::npos)
                    << ::testing::PrintToString(bytes) << " " << ::testing::PrintToString(tokens[row]);
            }
            EXPECT_EQ(trie.HoldsToken(std::u16string_view(text)), any) << ::testing::PrintToString(text);
        }
    }
}

// Tokens that part after a shared beginning in many ways, more often than the tree keeps tables
// for: each found where it stands, and only there.
TEST(TokenTrie, FindsTokensThatPartInManyWays)
{
    std::vector<std::u16string> tokens;
    for (char16_t first = u'A'; first < u'A' + 80; ++first)
        for (const char16_t second : u"0123456\u0100")
            if (second != 0) tokens.push_back(std::u16string{u'<', first, second, u'>'});
    const TokenTrie trie(std::vector<std::u16string_view>(tokens.begin(), tokens.end()));
    RowBits present, presentInBytes;
    for (const std::u16string line : {u"x<A0> <B\u0100><C9> <\u0080", u"<<P6>>", u"<A7>"}) {
        trie.Find(std::u16string_view(line), present);
        // The same line as bytes, with its characters above 255 left out.
        std::string bytes;
        for (const char16_t c : line)
            if (c < 256) bytes += static_cast<char>(c);
        trie.Find(std::string_view(bytes), presentInBytes);
        for (std::size_t row = 0; row < tokens.size(); ++row) {
            EXPECT_EQ(HasRow(present, row), line.find(tokens[row]) != std::u16string::npos) << ::testing::PrintToString(tokens[row]);
            EXPECT_EQ(HasRow(presentInBytes, row), line.find(tokens[row]) != std::u16string::npos && tokens[row][2] < 256)
                << ::testing::PrintToString(tokens[row]);
        }
    }
}

// Long tokens that part after their first characters and go on alone to their ends, some the
// beginning of another: found where they stand whole, not where they stand cut off or changed
// near their end or at the line's end.
TEST(TokenTrie, FindsLongTokensThatGoOnAlone)
{
    const std::vector<std::u16string> tokens = {u"<INSTALLDIR>", u"INSTALLDIR", u"INSTALL", u"INSTALLDIRS", u"INSTANCE",
                                                u"SERVERNAME",   u"SERVER\u0100X", u"PORTNUMBER", u"INSTALLDIR"};
    const TokenTrie trie(std::vector<std::u16string_view>(tokens.begin(), tokens.end()));
    RowBits present, presentInBytes;
    for (const std::u16string line : {u"Path=<INSTALLDIR> ; INSTALLDIR here", u"INSTALLDI", u"<INSTALLDIR", u"x INSTANC",
                                      u"SERVERNAMe PORTNUMBE", u"INSTALLDIRS SERVER\u0100X", u"INSTANCEPORTNUMBER",
                                      u"SERVERNAME\nINSTALL"}) {
        trie.Find(std::u16string_view(line), present);
        std::string bytes;
        for (const char16_t c : line) bytes += static_cast<char>(c);
        trie.Find(std::string_view(bytes), presentInBytes);
        for (std::size_t row = 0; row < tokens.size(); ++row) {
            const bool stands = line.find(tokens[row]) != std::u16string::npos;
            EXPECT_EQ(HasRow(present, row), stands) << ::testing::PrintToString(line) << " " << row;
            EXPECT_EQ(HasRow(presentInBytes, row), stands && tokens[row].find(u'\u0100') == std::u16string::npos)
                << ::testing::PrintToString(line) << " " << row;
        }
    }
}

TEST(TokenTrie, TellsWhetherATokenHoldsAnLf)
{
    EXPECT_FALSE(TokenTrie({u"<N>", u"N\r"}).AnyHoldsLineFeed());
    EXPECT_TRUE(TokenTrie({u"<N>", u"N\n"}).AnyHoldsLineFeed());
}

}  // namespace
}  // namespace zarvo::test
