#include "substitution/text_substitution.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "substitution/block_lines.h"
#include "substitution/byte_scan.h"
#include "substitution/file_rewrite.h"
#include "substitution/present_rows.h"
#include "substitution/substitution_command.h"
#include "substitution/text_rows.h"
#include "substitution/tokens_alone.h"

namespace zarvo {
namespace {

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
    const bool resume = replacement.find(token) != std::u16string::npos || !TokenCanTouch(token, replacement);
    std::string tokenBytes = FitsSingleByteText(token) ? SingleByteText(token) : std::string();
    std::string replacementBytes = SingleByteText(replacement);
    table.push_back({std::move(token), std::move(replacement), std::move(tokenBytes), std::move(replacementBytes), resume});
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

// A line being rewritten by one row: what is done so far, then the rest of the line as it
// was. Replacements go to the end of what is done, so that each costs the length of what it
// puts in and not that of the line after it.
class RowPass {
public:
    RowPass(const std::string& line, std::string& done) : line_(line), done_(done) { done_.clear(); }

    std::size_t Size() const { return done_.size() + line_.size() - taken_; }

    // Where the token first stands at or after `from`, or npos. It can begin in what is done
    // only within a token's length of its end, as the search never passes a whole token.
    std::size_t Find(std::string_view token, std::size_t from) const
    {
        for (std::size_t at = from; at < done_.size(); ++at)
            if (StandsAt(token, at)) return at;
        const std::size_t found = FindToken(line_, token, taken_ + (from > done_.size() ? from - done_.size() : 0));
        return found == std::string::npos ? found : done_.size() + found - taken_;
    }

    // Puts the replacement in place of the token that stands at `at`.
    void Replace(std::size_t at, std::size_t tokenSize, std::string_view replacement)
    {
        if (at + tokenSize <= done_.size()) {
            // Made by what an earlier replacement put in and what stood before it.
            done_.replace(at, tokenSize, replacement);
            return;
        }
        if (at > done_.size()) {
            const std::size_t before = at - done_.size();
            done_.append(line_, taken_, before);
            taken_ += before;
        }
        taken_ += at + tokenSize - done_.size();
        done_.resize(at);
        done_.append(replacement);
    }

    // The rewritten line, in place of the line.
    void Finish(std::string& line)
    {
        done_.append(line_, taken_);
        line.swap(done_);
    }

private:
    bool StandsAt(std::string_view token, std::size_t at) const
    {
        for (std::size_t i = 0; i < token.size(); ++i) {
            const std::size_t k = at + i;
            const std::size_t inLine = taken_ + k - std::min(k, done_.size());
            if (k < done_.size() ? done_[k] != token[i] : inLine >= line_.size() || line_[inLine] != token[i])
                return false;
        }
        return true;
    }

    const std::string& line_;
    std::string& done_;
    std::size_t taken_ = 0;  // characters of the line already in what is done
};

// Where a replacement can make a token, the search goes on from a token's length before it
// rather than from the line's start: none stood before that, so the same tokens are found in
// time linear in the line. `spare` is a buffer of the line's capacity that the rewritten line
// is made in.
std::uint32_t ReplaceWithRescan(std::string& line, const TokenEntry& row, std::string& spare)
{
    const std::string& token = row.tokenBytes;
    std::size_t found = FindToken(line, token, 0);
    if (found == std::string::npos) return 0;
    RowPass pass(line, spare);
    std::uint32_t replaced = 0;
    for (; found != std::string::npos && RoomForOneMore(replaced, pass.Size(), row); ++replaced) {
        pass.Replace(found, token.size(), row.replacementBytes);
        found = pass.Find(token, found - std::min(found, token.size() - 1));
    }
    pass.Finish(line);
    return replaced;
}

// Where no token can stand even partly on what a replacement puts in, the tokens replaced are
// those of the line as it was, each found after the end of the one before. A replacement as
// long as its token goes in place; otherwise the line is made anew in `spare`, from the places
// found in batches.
std::uint32_t ReplaceEach(std::string& line, const TokenEntry& row, std::string& spare)
{
    const std::string& token = row.tokenBytes;
    const std::string& replacement = row.replacementBytes;
    if (token.size() == replacement.size()) {
        // A line within its capacity holds fewer tokens than the bound on replacements.
        if (!RoomForOneMore(0, line.size(), row)) return 0;
        return static_cast<std::uint32_t>(ReplaceEachInPlace(line, token, replacement));
    }
    spare.clear();
    std::size_t taken = 0;  // bytes of the line already in `spare`
    std::array<std::size_t, 64> places;
    std::uint32_t replaced = 0;
    bool room = true;
    for (std::size_t from = 0;;) {
        const std::size_t found = FindTokens(line, token, from, places);
        for (std::size_t i = 0; i < found && (room = RoomForOneMore(replaced, spare.size() + line.size() - taken, row));
             ++i, ++replaced) {
            spare.append(line, taken, places[i] - taken).append(replacement);
            taken = places[i] + token.size();
        }
        if (!room || found < places.size()) break;
        from = places.back() + token.size();
    }
    if (replaced > 0) {
        spare.append(line, taken);
        line.swap(spare);
    }
    return replaced;
}

// Replaces the row's token wherever it is found, as if searching again from the line's start
// after each replacement, until none is left or a replacement would not fit the line. Answers
// how many replacements it made.
std::uint32_t ApplyRow(std::string& line, const TokenEntry& row, std::string& spare)
{
    if (row.tokenBytes.empty()) return 0;
    return row.resumeAfterReplacement ? ReplaceEach(line, row, spare) : ReplaceWithRescan(line, row, spare);
}

// Where the tokens start with at most three characters, the places of those and of the LFs
// are found together, a chunk at a time, and lines are edited many at a time: the stops are
// those characters, and LF in the places left. Not where a token holds an LF: a line is
// looked at without its line end.
std::optional<std::array<char, kFewStops>> LineStops(const std::vector<TokenEntry>& table, const std::bitset<256>& first)
{
    if (first.count() >= kFewStops || first.test('\n')) return std::nullopt;
    if (std::ranges::any_of(table, [](const TokenEntry& row) { return row.tokenBytes.find('\n') != std::string::npos; }))
        return std::nullopt;
    std::array<char, kFewStops> stops;
    stops.fill('\n');
    for (std::size_t c = 0, count = 0; c < first.size(); ++c)
        if (first.test(c)) stops[count++] = static_cast<char>(c);
    return stops;
}

}  // namespace

RewriteReport SubstituteTextFile(Files& files, std::span<char16_t> command)
{
    const SubstitutionCommand parsed = ReadSubstitutionCommand(command);
    const std::vector<TokenEntry> table = TokenTable(parsed);
    std::vector<std::u16string_view> tokens, replacements;
    for (const TokenEntry& row : table) {
        tokens.push_back(row.token);
        replacements.push_back(row.replacement);
    }
    PresentRows rows(tokens, replacements);
    TokensAlone alone(table, rows);
    std::string spare;
    spare.reserve(kSubstitutionLineCapacity + 1);
    ByteLineEdits edits{[&](std::string& line) {
                            if (alone.Replace(line, spare)) return;
                            rows.Apply(line, [&](std::string& text, std::size_t row) { return ApplyRow(text, table[row], spare); });
                        },
                        nullptr};
    std::optional<BlockLines> block;
    if (const std::optional<std::array<char, kFewStops>> stops = LineStops(table, rows.FirstCharacters())) {
        block.emplace(*stops, edits.line);
        edits.lines = [&](std::string_view lines, LineWriter& writer) {
            block->Edit(lines, writer, [&alone](std::string_view line, std::span<const std::size_t> starts, BlockLines& in) {
                return alone.Replace(line, starts, in);
            });
        };
    }
    RewriteReport report = RewriteBeside(
        files, parsed.target, ByteRewriteFormat{kSubstitutionLineCapacity, rows.FirstCharacters()}, edits, &MoveOverTarget);
    report.replacements = rows.TakeCounts();
    return report;
}

}  // namespace zarvo
