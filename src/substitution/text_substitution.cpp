#include "substitution/text_substitution.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "substitution/file_rewrite.h"
#include "substitution/substitution_command.h"

namespace zarvo {
namespace {

struct TokenEntry {
    std::u16string token;
    std::u16string replacement;
    // A replacement that holds its own token would be found again at once: the search
    // goes on after what was put in instead of from the line's start.
    bool resumeAfterReplacement;
};

std::u16string DoubledBackslashes(std::u16string_view value)
{
    std::u16string doubled;
    for (char16_t c : value) {
        doubled += c;
        if (c == u'\\') doubled += c;
    }
    return doubled;
}

// Rows that could only loop or lose text are left out: an empty token matches everywhere,
// and a replacement that single-byte text cannot hold would lose text.
void AddRow(std::vector<TokenEntry>& table, std::u16string token, std::u16string replacement)
{
    if (token.empty()) return;
    if (!FitsSingleByteText(replacement)) return;
    const bool resume = replacement.find(token) != std::u16string::npos;
    table.push_back({std::move(token), std::move(replacement), resume});
}

std::vector<TokenEntry> TokenTable(const SubstitutionCommand& command)
{
    std::vector<TokenEntry> table;
    for (const SubstitutionPair& pair : command.pairs) {
        AddRow(table, Enclosed(u"<", pair.name, u">"), DoubledBackslashes(pair.value));
        AddRow(table, std::u16string(pair.name), std::u16string(pair.value));
    }
    return table;
}

// Replaces the row's token wherever it is found, searching again from the line's start
// after each replacement, until none is left or a replacement would not fit the line. The
// number of replacements is bounded too, so that no pair of tokens can keep a line busy.
// The number made.
std::uint32_t ApplyRow(std::u16string& line, const TokenEntry& row)
{
    std::size_t from = 0;
    std::uint32_t replaced = 0;
    for (; replaced < kSubstitutionLineCapacity; ++replaced) {
        const std::size_t found = line.find(row.token, from);
        if (found == std::u16string::npos) break;
        if (line.size() - row.token.size() + row.replacement.size() > kSubstitutionLineCapacity) break;
        line.replace(found, row.token.size(), row.replacement);
        from = row.resumeAfterReplacement ? found + row.replacement.size() : 0;
    }
    return replaced;
}

}  // namespace

RewriteReport SubstituteTextFile(Files& files, std::span<char16_t> command)
{
    const SubstitutionCommand parsed = ReadSubstitutionCommand(command);
    const std::vector<TokenEntry> table = TokenTable(parsed);
    // Counted beside the table, which is made before the file is touched: nothing is
    // allocated once the target may have been replaced.
    std::vector<TokenCount> counts;
    for (const TokenEntry& row : table) counts.push_back({row.token, 0});
    RewriteReport report = RewriteBeside(
        files, parsed.target, {TextInput::SingleByte, TextEncoding::SingleByte, kSubstitutionLineCapacity},
        [&](std::u16string& line) {
            for (std::size_t row = 0; row < table.size(); ++row) counts[row].Add(ApplyRow(line, table[row]));
        },
        &MoveOverTarget);
    report.replacements = std::move(counts);
    return report;
}

}  // namespace zarvo
