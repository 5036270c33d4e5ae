// The plain-text engine held to the order its rows are documented to apply in, on random
// lines over a few characters: each row in turn, each replacement as if the search began
// again at the line's start (after the replacement, for a replacement that holds its own
// token), until none is left. Tokens that a replacement makes with the text before or after
// it, and rows whose replacement makes a later row's token, are where a faster search could
// part from that order.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/sim_platform.h"
#include "substitution/actions/substitution_command.h"
#include "substitution/engines/text_engine.h"

namespace zarvo::test {
namespace {

using namespace std::string_literals;

constexpr const char16_t* kTarget = u"C:\\App\\f.txt";

struct Row {
    std::string token;
    std::string replacement;
};

// One row applied the slow way to a line, or a piece of one, without its LF: `lf` tells whether
// it has one. Many rows can make a line grow past the engine's capacity of 4,999 characters,
// LF included: the row stops before that. Answers how many replacements it made.
std::uint32_t ApplySlowly(std::string& line, bool lf, const Row& row)
{
    const bool holdsItself = row.replacement.find(row.token) != std::string::npos;
    std::size_t from = 0;
    std::uint32_t replaced = 0;
    for (; replaced < 4999; ++replaced) {
        const std::size_t found = line.find(row.token, holdsItself ? from : 0);
        if (found == std::string::npos) break;
        if (line.size() + lf - row.token.size() + row.replacement.size() > 4999) break;
        line.replace(found, row.token.size(), row.replacement);
        from = found + row.replacement.size();
    }
    return replaced;
}

// A line of the file, its characters and how it ends ("\n", "\r\n", or nothing at the file's
// end), rewritten the slow way as the engine reads it: a CR LF pair as an LF, in pieces of
// 4,999 characters while as many are left; the rows' replacements counted.
std::string RewriteSlowly(std::string characters, std::string_view end, const std::vector<Row>& rows,
                          std::vector<std::uint32_t>& counts)
{
    if (end == "\n" && characters.ends_with('\r')) characters.pop_back();
    std::string written;
    for (std::size_t at = 0; at < characters.size() || (at == characters.size() && !end.empty());) {
        const bool whole = characters.size() - at < 4999;
        std::string piece = characters.substr(at, whole ? std::string::npos : 4999);
        at += piece.size() + whole;
        const bool lf = whole && !end.empty();
        for (std::size_t row = 0; row < rows.size(); ++row) counts[row] += ApplySlowly(piece, lf, rows[row]);
        written += piece + (lf ? "\r\n" : "");
    }
    return written;
}

class RandomCommands {
public:
    explicit RandomCommands(unsigned seed) : random_(seed) {}

    // Up to `longest` characters of `alphabet`, at least `shortest`.
    std::string Text(std::size_t longest, std::string_view alphabet = "ab<>", std::size_t shortest = 0)
    {
        std::string text;
        for (std::size_t i = shortest + Below(longest - shortest + 1); i > 0; --i) text += alphabet[Below(alphabet.size())];
        return text;
    }
    std::size_t Below(std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random_); }

private:
    std::mt19937 random_;
};

// What the commands and files of a run of rounds are made of.
struct Rounds {
    unsigned seed;
    std::string_view valueAlphabet;  // what values are made of
    std::size_t longestLine;         // characters before the LF
    std::string_view lineAlphabet = "ab<>";
    std::size_t shortestLine = 0;
    int count = 300;
    int lines = 20;  // in each round's file
};

// Pairs whose names no line or value holds, whose first characters are more than the few that
// the lines are looked through for at once: lines are then edited one by one.
const std::u16string kNeverFound = u"W=w\0X=x\0Y=y\0Z=z"s;

// Random commands over random files, each file rewritten by the engine, also with the pairs
// never found, and line by line the slow way.
void ExpectTheSlowWay(const Rounds& rounds)
{
    RandomCommands random(rounds.seed);
    for (int round = 0; round < rounds.count; ++round) {
        std::u16string command = kTarget;
        std::vector<Row> rows;
        // Now and then the most pairs the engine takes: 40 rows, each able to bring in many more.
        for (std::size_t pairs = round % 10 == 0 ? kSubstitutionPairLimit : 1 + random.Below(3); pairs > 0; --pairs) {
            std::string name = random.Text(2), value = random.Text(3, rounds.valueAlphabet);
            if (name.empty() || name.find('=') != std::string::npos) name = "a";
            command += u'\0' + std::u16string(name.begin(), name.end()) + u'=' + std::u16string(value.begin(), value.end());
            rows.push_back({"<" + name + ">", value});
            rows.push_back({name, value});
        }
        std::string file, expected;
        std::vector<std::uint32_t> counts(rows.size());
        for (int lines = 0; lines < rounds.lines; ++lines) {
            const std::string line = random.Text(rounds.longestLine, rounds.lineAlphabet, rounds.shortestLine);
            const std::string_view end = lines + 1 == rounds.lines && random.Below(3) == 0 ? ""
                                         : random.Below(2) == 0                            ? "\n"
                                                                                           : "\r\n";
            file += line + std::string(end);
            expected += RewriteSlowly(line, end, rows, counts);
        }
        for (const std::u16string& extra : {u""s, kNeverFound}) {
            sim::SimPlatform sim;
            sim.files.PutFile(kTarget, file);
            std::u16string full = command + u'\0' + extra + u"\0\0"s;
            const RewriteReport report = SubstituteTextFile(sim.files, full);
            ASSERT_EQ(sim.files.ReadFileBytes(kTarget), expected) << "round " << round << " file " << file;
            ASSERT_GE(report.replacements.size(), rows.size());
            for (std::size_t row = 0; row < rows.size(); ++row)
                ASSERT_EQ(report.replacements[row].replaced, counts[row]) << "round " << round << " row " << row;
        }
    }
}

TEST(RowOrder, TheEngineReplacesAsIfEachSearchBeganAtTheLinesStart)
{
    ExpectTheSlowWay({42, "ab<>", 40});
}

// Values that can hold no token's character, so that no row brings in another: the tokens
// replaced can be chosen from those of the line as read. Rows of the same name, tokens that
// overlap or hide inside another row's token, and lines that many replacements would take
// past their capacity are where such a choice could part from applying the rows in turn.
TEST(RowOrder, RowsThatBringInNoOtherReplaceAsIfAppliedInTurn)
{
    ExpectTheSlowWay({7, "xyz", 40});
    // Lines near their capacity or past it, with a few tokens, which the replacements take past
    // it or which stand across two of its pieces.
    ExpectTheSlowWay({8, "xyz", 10010, std::string(200, '.') + "ab<>", 4900, 40, 3});
    ExpectTheSlowWay({10, "xyz", 5100, std::string(1500, '.') + "ab<>", 4900, 40, 3});
    // Now and then a value that holds a token's character, and CRs within lines and before
    // their line ends.
    ExpectTheSlowWay({9, "xyzxyzxyza", 60, "ab<>.\r"});
}

}  // namespace
}  // namespace zarvo::test
