#pragma once
// The rows of an engine's table applied to each line in their order, each on the line as
// the rows before it left it, and counted for the log. A row whose token is not in the line
// has nothing to do and is passed over; a replacement may bring in a later row's token, which
// can only stand on what it put in, and only where the line holds each of its characters.
#include <algorithm>
#include <bit>
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "substitution/files/file_rewrite.h"
#include "substitution/scanning/token_trie.h"

namespace zarvo {

// The lines of both substitution engines hold 4,999 characters, their LF among them.
inline constexpr std::size_t kSubstitutionLineCapacity = 4999;

// Whether, once the replacement is put in, a token could stand on any of its characters: for
// some place the token could begin, its characters that fall on the replacement are the
// replacement's. An empty replacement joins the text around it, which a token may then span.
bool TokenCanTouch(std::u16string_view token, std::u16string_view replacement);

// The characters below 256 that the text holds.
template <class Char>
std::bitset<256> CharactersBelow256(std::basic_string_view<Char> text)
{
    std::bitset<256> held;
    for (const Char c : text)
        if (const char16_t code = CharacterOf(c); code < 256) held[code] = true;
    return held;
}

// One column of an engine's table as views: the rows' tokens, or the text each puts in.
template <class Row>
std::vector<std::u16string_view> Column(const std::vector<Row>& table, std::u16string Row::*field)
{
    std::vector<std::u16string_view> column;
    for (const Row& row : table) column.push_back(row.*field);
    return column;
}

class PresentRows {
public:
    // The rows' tokens, in the table's order, and the text each row puts into a line.
    // Counted beside the table, which is made before the file is touched: nothing is
    // allocated once the target may have been replaced.
    PresentRows(const std::vector<std::u16string_view>& tokens, const std::vector<std::u16string_view>& insertions);

    // Applies row N of the table with applyRow(line, N), which answers the replacements made,
    // for each row whose token the line holds: `rows` where they are known (more rows do no
    // harm, each finds its own tokens), else found here. A row that changed the line may have
    // brought in the tokens of later rows that can stand on what it put in: those rows look
    // for them. Answers whether any row changed it.
    template <typename Line, typename ApplyRow>
    bool Apply(Line& line, const RowBits* rows, ApplyRow applyRow)
    {
        bool changed = false;
        using Text = std::basic_string_view<typename Line::value_type>;
        // The same trie gave both, so they have the same words.
        if (rows != nullptr) std::copy(rows->begin(), rows->end(), present_.begin());
        else presence_.Find(Text(line), present_);
        bool heldKnown = false;
        // Row by row in the table's order, over the rows present alone; a row brought in is a
        // later one, met in its turn.
        for (std::size_t word = 0; word < present_.size(); ++word)
            while (present_[word] != 0) {
                const std::size_t row = word * kRowsPerWord + static_cast<std::size_t>(std::countr_zero(present_[word]));
                present_[word] &= present_[word] - 1;
                if (HasRow(brought_, row)) {
                    ClearRow(brought_, row);
                    if (!heldKnown) held_ = CharactersBelow256(Text(line));
                    heldKnown = true;
                    if ((tokenCharacters_[row] & ~held_).any()) continue;
                }
                const std::uint32_t made = applyRow(line, row);
                if (made == 0) continue;
                changed = true;
                counts_[row].Add(made);
                if (heldKnown) held_ |= insertionCharacters_[row];
                for (const std::size_t later : mayBring_[row])
                    if (!HasRow(present_, later)) {
                        SetRow(present_, later);
                        SetRow(brought_, later);
                    }
            }
        return changed;
    }

    // The tokens of the rows: a line that holds none has nothing to do.
    const TokenTrie& Tokens() const { return presence_; }

    // The replacements per token, once the file is done.
    std::vector<TokenCount> TakeCounts() { return std::move(counts_); }

private:
    std::vector<TokenCount> counts_;
    TokenTrie presence_;
    RowBits present_;
    // Of the rows present, those that a replacement may have brought in but that the line
    // did not hold.
    RowBits brought_;
    // The characters the line may hold, once a row brought in is met: those it held then, and
    // those that rows put in since. Made only for such a line.
    std::bitset<256> held_;
    // For each row, the characters below 256 of its token, or none where it has one above 255;
    // and those of the text it puts in.
    std::vector<std::bitset<256>> tokenCharacters_;
    std::vector<std::bitset<256>> insertionCharacters_;
    // For each row, the later rows whose tokens its insertion can make.
    std::vector<std::vector<std::size_t>> mayBring_;
};

}  // namespace zarvo
