#include "substitution/text_substitution.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "substitution/file_rewrite.h"
#include "substitution/substitution_command.h"
#include "substitution/present_rows.h"

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

// Replaces the row's token wherever it is found, as if searching again from the line's start
// after each replacement, until none is left or a replacement would not fit the line. The
// number of replacements is bounded too, so that no pair of tokens can keep a line busy.
// A token that a replacement makes can begin no earlier than a token's length before it,
// and none stood before that: the search resumes there, which finds the same tokens in
// time linear in the line.
// Answers how many replacements it made.
std::uint32_t ApplyRow(std::u16string& line, const TokenEntry& row)
{
    std::size_t from = 0;
    std::uint32_t replaced = 0;
    for (; replaced < kSubstitutionLineCapacity; ++replaced) {
        const std::size_t found = line.find(row.token, from);
        if (found == std::u16string::npos) break;
        if (line.size() - row.token.size() + row.replacement.size() > kSubstitutionLineCapacity) break;
        line.replace(found, row.token.size(), row.replacement);
        const std::size_t overlap = row.token.size() - 1;
        from = row.resumeAfterReplacement ? found + row.replacement.size() : found - std::min(found, overlap);
    }
    return replaced;
}

}  // namespace

RewriteReport SubstituteTextFile(Files& files, std::span<char16_t> command)
{
    const SubstitutionCommand parsed = ReadSubstitutionCommand(command);
    const std::vector<TokenEntry> table = TokenTable(parsed);
    std::vector<std::u16string_view> tokens;
    for (const TokenEntry& row : table) tokens.push_back(row.token);
    PresentRows rows(tokens);
    const RewriteFormat format{TextInput::SingleByte, TextEncoding::SingleByte, kSubstitutionLineCapacity,
                               rows.FirstCharacters()};
    RewriteReport report = RewriteBeside(
        files, parsed.target, format,
        [&](std::u16string& line) {
            rows.Apply(line, [&](std::u16string& text, std::size_t row) { return ApplyRow(text, table[row]); });
        },
        &MoveOverTarget);
    report.replacements = rows.TakeCounts();
    return report;
}

}  // namespace zarvo
