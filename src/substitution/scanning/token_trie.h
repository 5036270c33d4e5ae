#pragma once
// Which of a command's tokens stand in a line, found in one pass over the line by a trie of
// the tokens whose root holds a 256-entry table of their first characters: most places of a
// line are passed over with one look in that table, whatever the tokens and however many. A
// chain of nodes that leads to one token's end alone is compressed into its characters (path
// compression, as in a radix tree), compared in one go.
#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "substitution/scanning/byte_scan.h"

namespace zarvo {

// Rows of a table, a bit each, in words of 32 bits, which a 32-bit processor sets and tests in
// one step: row N is bit N % 32 of word N / 32.
using RowBits = std::vector<std::uint32_t>;
inline constexpr std::size_t kRowsPerWord = 32;

// How many words the rows of a table take.
inline std::size_t RowWords(std::size_t rows)
{
    return (rows + kRowsPerWord - 1) / kRowsPerWord;
}

inline void SetRow(RowBits& rows, std::size_t row)
{
    rows[row / kRowsPerWord] |= std::uint32_t{1} << (row % kRowsPerWord);
}

inline void ClearRow(RowBits& rows, std::size_t row)
{
    rows[row / kRowsPerWord] &= ~(std::uint32_t{1} << (row % kRowsPerWord));
}

inline bool HasRow(const RowBits& rows, std::size_t row)
{
    return (rows[row / kRowsPerWord] >> (row % kRowsPerWord) & 1) != 0;
}

class TokenTrie {
public:
    // The tokens, in the engine's row order; none may be empty.
    explicit TokenTrie(const std::vector<std::u16string_view>& tokens);

    // Whether any token stands in the text: characters, or single-byte text as its bytes, each
    // the character of its code.
    template <class Char>
    bool HoldsToken(std::basic_string_view<Char> text) const;
    // The rows whose tokens stand anywhere in the line.
    template <class Char>
    void Find(std::basic_string_view<Char> line, RowBits& present) const;
    // Whether a token stands in the text at the place.
    template <class Char>
    bool TokenAt(std::basic_string_view<Char> text, std::size_t place) const
    {
        return !TokensAt(text, place, [](std::size_t) { return false; });
    }
    // Where a token may start (a token's first character, and in single-byte text with its
    // second after it) in the text at or after `from`, in order, for as many places as
    // there are and at most `places.size()`: answers how many it found. Every place a token
    // stands is among them.
    template <class Char>
    std::size_t Places(std::basic_string_view<Char> text, std::size_t from, std::span<std::size_t> places) const;
    // How many rows the tokens have.
    std::size_t Rows() const { return sameToken_.size(); }
    // Adds to `present` the rows whose tokens stand at the place; answers whether there were any.
    template <class Char>
    bool AddRowsAt(std::basic_string_view<Char> text, std::size_t place, RowBits& present) const
    {
        bool any = false;
        TokensAt(text, place, [&present, &any](std::size_t row) {
            SetRow(present, row);
            return any = true;
        });
        return any;
    }
    // Whether a token holds an LF: it may stand across the end of a line, which a line's text
    // without its line end does not show.
    bool AnyHoldsLineFeed() const { return anyHoldsLineFeed_; }

private:
    // The tokens as a tree of their characters, shared beginnings stored once: every token
    // that starts at a place in the line is found by one walk down the tree from there,
    // however many tokens begin alike. Node 0 is the root; 0 also stands for no node.
    struct Node {
        char16_t character = 0;
        std::uint32_t firstChild = 0;
        std::uint32_t nextSibling = 0;
        std::uint32_t firstRow = 0;  // a row whose token ends here, plus one; 0 for none
        std::uint32_t table = 0;     // its table of children below 256, plus one; 0 for none
        std::uint32_t tail = 0;      // its tail, plus one; 0 for none
    };

    // The characters below a node that lead to one token's end alone, no other token ending or
    // parting on the way: `size` of them from `start` in tailCharacters_, ending at `leaf`.
    struct Tail {
        std::uint32_t start = 0;
        std::uint32_t size = 0;
        std::uint32_t leaf = 0;
    };

    // A place in the tree: a node, its table of children below 256, plus one (0 for none), the
    // first row whose token ends there, plus one (0 for none), and its tail, plus one (0 for
    // none). A table holds all four for each child, so that a walk waits on one look a character.
    struct Step {
        std::uint32_t node = 0;
        std::uint32_t table = 0;
        std::uint32_t firstRow = 0;
        std::uint32_t tail = 0;
    };

    // Calls visit(row) for each row whose token stands in the line at the place, until it
    // answers false; answers whether it went through all of them.
    template <class Char, class Visit>
    bool TokensAt(std::basic_string_view<Char> line, std::size_t place, Visit visit) const
    {
        for (Step step = Start(CharacterOf(line[place])); step.node != 0;) {
            for (std::uint32_t row = step.firstRow; row != 0; row = sameToken_[row - 1])
                if (!visit(row - 1)) return false;
            if (step.tail != 0) {
                const Tail& tail = tails_[step.tail - 1];
                if (!TailStandsAt(line, place + 1, tail)) return true;
                place += tail.size;
                step = StepTo(tail.leaf);
                continue;
            }
            step = ++place < line.size() ? Child(step, CharacterOf(line[place])) : Step{};
        }
        return true;
    }
    // Whether the tail's characters stand in the line from `at`.
    template <class Char>
    bool TailStandsAt(std::basic_string_view<Char> line, std::size_t at, const Tail& tail) const
    {
        if (tail.size > line.size() - at) return false;
        const char16_t* const expected = tailCharacters_.data() + tail.start;
        for (std::size_t i = 0; i < tail.size; ++i)
            if (CharacterOf(line[at + i]) != expected[i]) return false;
        return true;
    }
    // The step below `step` for the character: no node where no token goes on so.
    Step Child(Step step, char16_t c) const
    {
        if (step.table != 0 && c < 256) return tables_[(step.table - 1) * 256 + c];
        for (std::uint32_t child = nodes_[step.node].firstChild; child != 0; child = nodes_[child].nextSibling)
            if (nodes_[child].character == c) return StepTo(child);
        return {};
    }
    Step StepTo(std::uint32_t node) const { return {node, nodes_[node].table, nodes_[node].firstRow, nodes_[node].tail}; }
    // The node below `node` for the character, made for it where there is none yet.
    std::uint32_t MakeChild(std::uint32_t node, char16_t c);
    // The step of a token's first character: one look in the root's table below 256.
    Step Start(char16_t c) const
    {
        if (c < 256) return tables_[c];
        return firstAbove255_ ? Child({0, 0}, c) : Step{};
    }
    // Gives each node whose one child starts a chain to a token's end alone a tail of the
    // chain's characters; the nodes of the chain are never stepped on. Answers which are.
    std::vector<bool> MakeTails();
    // Gives the root, and the other nodes with children that a walk steps on, a table of their
    // children below 256: found at once rather than by a walk along the others.
    void MakeTables(const std::vector<bool>& inTail);
    // Calls visit(place) for each place of a token's first character in the text, in order,
    // until it answers false.
    template <class Char, class Visit>
    void ForEachStart(std::basic_string_view<Char> text, Visit visit) const;

    std::vector<Node> nodes_;
    // For each row, the next row with the same token, plus one; 0 for none.
    std::vector<std::uint32_t> sameToken_;
    // The tables, 256 steps each, the root's first.
    std::vector<Step> tables_;
    std::vector<Tail> tails_;
    std::u16string tailCharacters_;
    bool firstAbove255_ = false;
    bool anyHoldsLineFeed_ = false;
    // The first two characters of the tokens of single-byte text.
    BytePairs startPairs_;
};

// The places of a text where a token stands, taken one after another in order: the lines
// between them, most of a file, are never looked at one by one. Their first characters' places
// are found a batch at a time.
template <class Char>
class TokenPlaces {
public:
    // `rows` has a word for each 32 of the tokens' rows; it is made once, by the caller.
    TokenPlaces(const TokenTrie& tokens, std::basic_string_view<Char> text, RowBits& rows)
        : tokens_(tokens), text_(text), rows_(rows)
    {
        std::fill(rows_.begin(), rows_.end(), 0);
        Find(0);
    }
    // Where the first token stands at or after `from`, or npos. The rows of the tokens found
    // there are kept for RowsBefore: each place is walked down the trie once.
    std::size_t Next(std::size_t from)
    {
        if (holding_) std::fill(rows_.begin(), rows_.end(), 0);
        holding_ = false;
        for (;;) {
            for (; taken_ < found_; ++taken_) {
                const std::size_t place = places_[taken_];
                if (place >= from && (holding_ = tokens_.AddRowsAt(text_, place, rows_))) {
                    ++taken_;
                    return place;
                }
            }
            if (found_ < places_.size()) return text_.npos;
            Find(std::max(places_.back() + 1, from));
        }
    }

    // The rows whose tokens stand from the place Next answered up to `end`.
    const RowBits& RowsBefore(std::size_t end)
    {
        for (;;) {
            for (; taken_ < found_ && places_[taken_] < end; ++taken_) tokens_.AddRowsAt(text_, places_[taken_], rows_);
            if (taken_ < found_ || found_ < places_.size()) return rows_;
            Find(places_.back() + 1);
        }
    }

private:
    void Find(std::size_t from)
    {
        found_ = tokens_.Places(text_, from, places_);
        taken_ = 0;
    }

    const TokenTrie& tokens_;
    std::basic_string_view<Char> text_;
    std::array<std::size_t, 64> places_;
    std::size_t found_ = 0;
    std::size_t taken_ = 0;
    RowBits& rows_;
    bool holding_ = false;
};

}  // namespace zarvo
