#include "substitution/engines/text_engine.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "substitution/actions/substitution_command.h"
#include "substitution/engines/command_rewrite.h"
#include "substitution/engines/edit_lines.h"
#include "substitution/engines/present_rows.h"
#include "substitution/scanning/byte_scan.h"

namespace zarvo {
namespace {

// A row as the command gives it, for the counts, and as the single-byte text it is found in
// and put into the lines as. A token beyond single-byte text is in no line: no line is
// searched for it.
struct TokenEntry {
    std::u16string token;
    std::u16string replacement;
    std::string tokenBytes;
    std::string replacementBytes;
    // The search goes on after what was put in rather than a token's length before it: a
    // replacement that holds its own token would be found again at once, and where no token
    // can stand even partly on a replacement, none can begin before its end.
    bool resumeAfterReplacement;
};

// Whether a row may make one more replacement in a line of `size` characters, its LF among
// them: the number of replacements is bounded, so that no pair of tokens can keep a line busy,
// and the line must stay within its capacity.
bool RoomForOneMore(std::uint32_t replaced, std::size_t size, const TokenEntry& row)
{
    return replaced < kSubstitutionLineCapacity &&
           size - row.tokenBytes.size() + row.replacementBytes.size() <= kSubstitutionLineCapacity;
}

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
        const std::size_t found =
            FindToken<char>(line_, token, taken_ + (from > done_.size() ? from - done_.size() : 0));
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

// Replaces the row's token wherever it is found, as if searching again from the line's start
// after each replacement, until none is left or a replacement would not fit the line. Where a
// replacement can make a token, the search goes on from a token's length before it rather than
// from the line's start: none stood before that, so the same tokens are found in time linear in
// the line; where it cannot, after it. `spare` is a buffer of the line's capacity that the
// rewritten line is made in. Answers how many replacements it made.
std::uint32_t ApplyRow(std::string& line, const TokenEntry& row, std::string& spare)
{
    const std::string& token = row.tokenBytes;
    if (token.empty()) return 0;
    std::size_t found = FindToken<char>(line, token, 0);
    if (found == std::string::npos) return 0;
    RowPass pass(line, spare);
    std::uint32_t replaced = 0;
    for (; found != std::string::npos && RoomForOneMore(replaced, pass.Size(), row); ++replaced) {
        pass.Replace(found, token.size(), row.replacementBytes);
        found = pass.Find(token, row.resumeAfterReplacement ? found + row.replacementBytes.size()
                                                            : found - std::min(found, token.size() - 1));
    }
    pass.Finish(line);
    return replaced;
}

class TextEngine {
public:
    static constexpr TextInput kInput = TextInput::SingleByte;
    static constexpr TextEncoding kOutput = TextEncoding::SingleByte;

    explicit TextEngine(const SubstitutionCommand& command)
        : table_(TokenTable(command)), rows_(Column(table_, &TokenEntry::token), Column(table_, &TokenEntry::replacement)),
          lines_(kSubstitutionLineCapacity, rows_.Tokens())
    {
        spare_.reserve(kSubstitutionLineCapacity + 1);
    }

    std::size_t Capacity() const { return kSubstitutionLineCapacity; }
    bool TakesBytes() const { return true; }
    std::size_t Edit(std::string_view block, LineChanges<char>& changes)
    {
        return lines_.Edit(block, changes, [this](std::string& line, const RowBits* rows) {
            return rows_.Apply(line, rows,
                               [this](std::string& text, std::size_t row) { return ApplyRow(text, table_[row], spare_); });
        });
    }
    std::vector<TokenCount> TakeCounts() { return rows_.TakeCounts(); }

private:
    std::vector<TokenEntry> table_;
    PresentRows rows_;
    LineEditor<char> lines_;
    std::string spare_;
};

}  // namespace

RewriteReport SubstituteTextFile(Files& files, std::span<char16_t> command)
{
    return RewriteByCommand<TextEngine>(files, command, &MoveOverTarget);
}

}  // namespace zarvo
