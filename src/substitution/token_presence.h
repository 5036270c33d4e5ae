#pragma once
// Which of a command's tokens occur in a line, found in one pass over the line. Most lines of
// an installed file hold none: the engines then leave them as they are without searching
// for each token in turn.
#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "substitution/byte_scan.h"

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

class TokenPresence {
public:
    // The tokens, in the engine's row order; none may be empty.
    explicit TokenPresence(std::vector<std::u16string_view> tokens);

    // The rows whose tokens occur anywhere in the line: text in characters, or single-byte text
    // as its bytes, each the character of its code.
    template <class Char>
    void Find(std::basic_string_view<Char> line, RowBits& present) const;
    // Calls visit(row, place) for each token that stands in the line, in the order of their
    // places, until it answers false: answers whether every token was visited. Inlined, as is
    // the walk, into the search of every line that holds a token's first character.
    template <class Char, class Visit>
    [[gnu::always_inline]] bool EachToken(std::basic_string_view<Char> line, Visit visit) const
    {
        bool goOn = true;
        const auto at = [&](std::size_t place) __attribute__((always_inline)) {
            TokensAt(line, place, [&](std::size_t row) { goOn = goOn && visit(row, place); });
            return goOn;
        };
        if (const auto& few = FewFirstOf(Char{})) {
            for (PlacesInOrder<Char> places(line, *few); places.Current() != std::string_view::npos; places.Advance())
                if (!at(places.Current())) return false;
            return true;
        }
        for (std::size_t place = 0; place < line.size(); ++place)
            if (!at(place)) return false;
        return true;
    }
    // The characters below 256 that tokens start with: a line of single-byte text that holds
    // none of them holds no token.
    std::bitset<256> FirstCharacters() const;
    // Calls visit(row) for each row whose token stands in the line at the place. Inlined into
    // the search of every line that holds a token's first character.
    template <class Char, class Visit>
    [[gnu::always_inline]] void TokensAt(std::basic_string_view<Char> line, std::size_t place, Visit visit) const
    {
        for (std::uint32_t node = Start(CharacterOf(line[place])); node != 0;) {
            for (std::uint32_t row = nodes_[node].firstRow; row != 0; row = sameToken_[row - 1]) visit(row - 1);
            node = ++place < line.size() ? Child(node, CharacterOf(line[place])) : 0;
        }
    }

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
    };

    // The node below `node` for the character: 0 where no token goes on so, or, when making
    // the tree, one made for it. Inlined into the walk down the tree, which asks it for nearly
    // every character of a line that holds a token's first character.
    [[gnu::always_inline]] std::uint32_t Child(std::uint32_t node, char16_t c) const
    {
        if (everyNodeTabled_ && c < 256) return tables_[node * 256 + c];
        if (const std::uint32_t table = nodes_[node].table; table != 0 && c < 256) return tables_[(table - 1) * 256 + c];
        for (std::uint32_t child = nodes_[node].firstChild; child != 0; child = nodes_[child].nextSibling)
            if (nodes_[child].character == c) return child;
        return 0;
    }
    std::uint32_t MakeChild(std::uint32_t node, char16_t c);
    // The node of a token's first character.
    std::uint32_t Start(char16_t c) const
    {
        if (c < 256) return tables_[c];
        return firstAbove255_ ? Child(0, c) : 0;
    }
    // Gives the root, and the other nodes with children, a table of their children below 256:
    // found at once rather than by a walk along the others. Where there are few nodes, each
    // gets one, in their order.
    void MakeTables();
    // The characters tokens start with that the text can hold, the first again where there are
    // fewer than kFewStops; none where there are more, or none at all.
    template <class Char>
    std::optional<std::array<Char, kFewStops>> FewFirst() const;
    const std::optional<std::array<char, kFewStops>>& FewFirstOf(char) const { return fewFirstBytes_; }
    const std::optional<std::array<char16_t, kFewStops>>& FewFirstOf(char16_t) const { return fewFirst_; }

    std::vector<Node> nodes_;
    // For each row, the next row with the same token, plus one; 0 for none.
    std::vector<std::uint32_t> sameToken_;
    // The tables, 256 nodes each, the root's first.
    std::vector<std::uint32_t> tables_;
    // Each node has a table, its own node's place among them: a step down the tree is one look,
    // which does not wait for another.
    bool everyNodeTabled_ = false;
    bool firstAbove255_ = false;
    // The characters tokens start with, when there are few: in text of characters, and in
    // single-byte text.
    std::optional<std::array<char16_t, kFewStops>> fewFirst_;
    std::optional<std::array<char, kFewStops>> fewFirstBytes_;
};

}  // namespace zarvo
