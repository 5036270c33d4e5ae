// The plain-text engine held to the order its rows are documented to apply in, on random
// lines over a few characters: each row in turn, each replacement as if the search began
// again at the line's start (after the replacement, for a replacement that holds its own
// token), until none is left. Tokens that a replacement makes with the text before or after
// it, and rows whose replacement makes a later row's token, are where a faster search could
// part from that order.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/sim/sim_platform.h"
#include "substitution/substitution_command.h"
#include "substitution/text_substitution.h"

namespace zarvo::test {
namespace {

using namespace std::string_literals;

constexpr const char16_t* kTarget = u"C:\\App\\f.txt";

struct Row {
    std::string token;
    std::string replacement;
};

// One row applied the slow way to a line without its LF. Many rows can make a line grow past
// the engine's capacity of 4,999 characters, LF included: the row stops before that.
void ApplySlowly(std::string& line, const Row& row)
{
    const bool holdsItself = row.replacement.find(row.token) != std::string::npos;
    std::size_t from = 0;
    for (int replaced = 0; replaced < 4999; ++replaced) {
        const std::size_t found = line.find(row.token, holdsItself ? from : 0);
        if (found == std::string::npos) return;
        if (line.size() + 1 - row.token.size() + row.replacement.size() > 4999) return;
        line.replace(found, row.token.size(), row.replacement);
        from = found + row.replacement.size();
    }
}

class RandomCommands {
public:
    explicit RandomCommands(unsigned seed) : random_(seed) {}

    std::string Text(std::size_t longest)
    {
        std::string text;
        for (std::size_t i = Below(longest + 1); i > 0; --i) text += "ab<>"[Below(4)];
        return text;
    }
    std::size_t Below(std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random_); }

private:
    std::mt19937 random_;
};

TEST(RowOrder, TheEngineReplacesAsIfEachSearchBeganAtTheLinesStart)
{
    RandomCommands random(42);
    for (int round = 0; round < 300; ++round) {
        std::u16string command = kTarget;
        std::vector<Row> rows;
        // Now and then the most pairs the engine takes: 40 rows, each able to bring in many more.
        for (std::size_t pairs = round % 10 == 0 ? kSubstitutionPairLimit : 1 + random.Below(3); pairs > 0; --pairs) {
            std::string name = random.Text(2), value = random.Text(3);
            if (name.empty() || name.find('=') != std::string::npos) name = "a";
            command += u'\0' + std::u16string(name.begin(), name.end()) + u'=' + std::u16string(value.begin(), value.end());
            rows.push_back({"<" + name + ">", value});
            rows.push_back({name, value});
        }
        command += u"\0\0"s;
        std::string file, expected;
        for (int lines = 0; lines < 20; ++lines) {
            std::string line = random.Text(40);
            file += line + "\n";
            for (const Row& row : rows) ApplySlowly(line, row);
            expected += line + "\r\n";
        }
        sim::SimPlatform sim;
        sim.files.PutFile(kTarget, file);
        SubstituteTextFile(sim.files, command);
        ASSERT_EQ(sim.files.ReadFileBytes(kTarget), expected) << "round " << round << " file " << file;
    }
}

}  // namespace
}  // namespace zarvo::test
