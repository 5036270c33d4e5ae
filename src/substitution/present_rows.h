#pragma once
// The rows of an engine's table applied to each line in their order, each on the line as
// the rows before it left it, and counted for the log. A row whose token is not in the line
// has nothing to do and is passed over; a replacement may bring in a later row's token, which
// can only stand on what it put in, and only where the line holds each of its characters.
#include <bit>
#include <bitset>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "substitution/file_rewrite.h"
#include "substitution/token_presence.h"

namespace zarvo {

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

// Which rows' tokens a line holds, for lines that most often hold one row's alone.
enum class LineRows {
    None,
    One,      // of one row, whose insertion can bring in no other: applying it alone is applying all
    Several,  // or of one row that may bring in others: the rows are applied in full
};

// A token that stands in a line: its row, and where it begins.
struct TokenPlace {
    std::size_t row;
    std::size_t place;
};

struct RowsInLine {
    LineRows rows = LineRows::None;
    std::size_t row = 0;    // with One: the row
    std::size_t place = 0;  // and where its token first stands
};

class PresentRows {
public:
    // The rows' tokens, in the table's order, and the text each row puts into a line.
    // Counted beside the table, which is made before the file is touched: nothing is
    // allocated once the target may have been replaced.
    PresentRows(const std::vector<std::u16string_view>& tokens, const std::vector<std::u16string_view>& insertions);

    // Applies row N of the table with applyRow(line, N), which answers the replacements made.
    // A row that changed the line may have brought in the tokens of later rows that can
    // stand on what it put in: those rows look for them.
    template <typename Line, typename ApplyRow>
    void Apply(Line& line, ApplyRow applyRow)
    {
        using Text = std::basic_string_view<typename Line::value_type>;
        presence_.Find(Text(line), present_);
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
                counts_[row].Add(made);
                if (heldKnown) held_ |= insertionCharacters_[row];
                for (const std::size_t later : mayBring_[row])
                    if (!HasRow(present_, later)) {
                        SetRow(present_, later);
                        SetRow(brought_, later);
                    }
            }
    }

    // Which rows' tokens a line of single-byte text holds, given as its bytes, found at the
    // places in it where tokens' first characters stand.
    RowsInLine InLine(std::string_view line, std::span<const std::size_t> starts) const
    {
        RowsInLine in;
        for (const std::size_t place : starts)
            presence_.TokensAt(line, place, [&in, place](std::size_t row) {
                if (in.rows == LineRows::None) in = {LineRows::One, row, place};
                else if (row != in.row) in.rows = LineRows::Several;
            });
        if (in.rows == LineRows::One && !mayBring_[in.row].empty()) in.rows = LineRows::Several;
        return in;
    }

    // The tokens that stand in a line of single-byte text, given as its bytes, in the order of
    // their places, where every row they belong to brings in no other: how many were put in
    // `found`. Nothing where there are more than it holds, or a row may bring in another.
    std::optional<std::size_t> TokensAlone(std::string_view line, std::span<TokenPlace> found) const
    {
        std::size_t count = 0;
        const bool whole = presence_.EachToken(
            line, [&](std::size_t row, std::size_t place) { return AddAlone({row, place}, found, count); });
        return whole ? std::optional<std::size_t>(count) : std::nullopt;
    }
    // The same, found at the places in the line where tokens' first characters stand.
    std::optional<std::size_t> TokensAlone(std::string_view line, std::span<const std::size_t> starts,
                                           std::span<TokenPlace> found) const
    {
        std::size_t count = 0;
        bool alone = true;
        for (const std::size_t place : starts) {
            presence_.TokensAt(line, place, [&](std::size_t row) { alone = alone && AddAlone({row, place}, found, count); });
            if (!alone) return std::nullopt;
        }
        return count;
    }

    // Counts the replacements a row made in a line edited without Apply.
    void Count(std::size_t row, std::uint32_t made) { counts_[row].Add(made); }

    // The characters below 256 that the tokens start with: a line of single-byte text that
    // holds none of them has nothing to do.
    std::bitset<256> FirstCharacters() const { return presence_.FirstCharacters(); }

    // The replacements per token, once the file is done.
    std::vector<TokenCount> TakeCounts() { return std::move(counts_); }

private:
    // Adds the token to those found, while there is room and its row brings in no other.
    bool AddAlone(TokenPlace token, std::span<TokenPlace> found, std::size_t& count) const
    {
        if (count == found.size() || !mayBring_[token.row].empty()) return false;
        found[count++] = token;
        return true;
    }

    std::vector<TokenCount> counts_;
    TokenPresence presence_;
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
