#include "substitution/scanning/token_trie.h"

#include <array>

namespace zarvo {
namespace {

// Each node with children gets a table, as long as there are not too many tables: a command of
// many long tokens must not make a large tree larger still.
constexpr std::uint32_t kMostTables = 64;

// The pairs of bytes that a token of single-byte text begins with: its first two characters,
// or, for a token of one, its character with any byte after it.
std::vector<std::array<unsigned char, 2>> StartPairs(const std::vector<std::u16string_view>& tokens)
{
    std::vector<std::array<unsigned char, 2>> pairs;
    for (const std::u16string_view token : tokens) {
        if (token.front() > 255) continue;
        const auto first = static_cast<unsigned char>(token.front());
        if (token.size() == 1) {
            for (unsigned second = 0; second < 256; ++second) pairs.push_back({first, static_cast<unsigned char>(second)});
        } else if (token[1] < 256) {
            pairs.push_back({first, static_cast<unsigned char>(token[1])});
        }
    }
    return pairs;
}

}  // namespace

TokenTrie::TokenTrie(const std::vector<std::u16string_view>& tokens)
    : nodes_(1), sameToken_(tokens.size(), 0), startPairs_(StartPairs(tokens))
{
    for (std::uint32_t row = 0; row < tokens.size(); ++row) {
        std::uint32_t node = 0;
        for (const char16_t c : tokens[row]) node = MakeChild(node, c);
        sameToken_[row] = nodes_[node].firstRow;
        nodes_[node].firstRow = row + 1;
        firstAbove255_ = firstAbove255_ || tokens[row].front() > 255;
        anyHoldsLineFeed_ = anyHoldsLineFeed_ || tokens[row].find(u'\n') != std::u16string_view::npos;
    }
    MakeTables(MakeTails());
}

std::vector<bool> TokenTrie::MakeTails()
{
    // A node's children come after it: a node is met before the chains below it.
    std::vector<bool> inTail(nodes_.size(), false);
    for (std::uint32_t node = 1; node < nodes_.size(); ++node) {
        const std::uint32_t first = nodes_[node].firstChild;
        if (inTail[node] || first == 0 || nodes_[first].nextSibling != 0) continue;
        std::uint32_t leaf = first;
        while (nodes_[leaf].firstRow == 0 && nodes_[leaf].firstChild != 0 &&
               nodes_[nodes_[leaf].firstChild].nextSibling == 0)
            leaf = nodes_[leaf].firstChild;
        if (nodes_[leaf].firstChild != 0) continue;
        const auto start = static_cast<std::uint32_t>(tailCharacters_.size());
        for (std::uint32_t on = first;; on = nodes_[on].firstChild) {
            tailCharacters_ += nodes_[on].character;
            inTail[on] = true;
            if (on == leaf) break;
        }
        tails_.push_back(Tail{start, static_cast<std::uint32_t>(tailCharacters_.size()) - start, leaf});
        nodes_[node].tail = static_cast<std::uint32_t>(tails_.size());
    }
    return inTail;
}

void TokenTrie::MakeTables(const std::vector<bool>& inTail)
{
    std::uint32_t tables = 0;
    for (std::uint32_t node = 0; node < nodes_.size() && tables < kMostTables; ++node)
        if (node == 0 || (nodes_[node].firstChild != 0 && nodes_[node].tail == 0 && !inTail[node]))
            nodes_[node].table = ++tables;
    tables_.resize(std::size_t{tables} * 256);
    for (const Node& parent : nodes_) {
        if (parent.table == 0) continue;
        for (std::uint32_t child = parent.firstChild; child != 0; child = nodes_[child].nextSibling)
            if (nodes_[child].character < 256)
                tables_[(parent.table - 1) * 256 + nodes_[child].character] = StepTo(child);
    }
}

std::uint32_t TokenTrie::MakeChild(std::uint32_t node, char16_t c)
{
    for (std::uint32_t child = nodes_[node].firstChild; child != 0; child = nodes_[child].nextSibling)
        if (nodes_[child].character == c) return child;
    nodes_.push_back({c, 0, nodes_[node].firstChild, 0});
    const auto made = static_cast<std::uint32_t>(nodes_.size() - 1);
    nodes_[node].firstChild = made;
    return made;
}

template <class Char>
std::size_t TokenTrie::Places(std::basic_string_view<Char> text, std::size_t from, std::span<std::size_t> places) const
{
    if constexpr (sizeof(Char) == 1) {
        return startPairs_.Places(text, from, places);
    } else {
        std::size_t found = 0;
        for (; from < text.size() && found < places.size(); ++from)
            if (text[from] < 256 ? tables_[text[from]].node != 0 : firstAbove255_)
                places[found++] = from;
        return found;
    }
}

template <class Char, class Visit>
void TokenTrie::ForEachStart(std::basic_string_view<Char> text, Visit visit) const
{
    std::array<std::size_t, 64> places;
    for (std::size_t from = 0;;) {
        const std::size_t found = Places(text, from, places);
        for (std::size_t i = 0; i < found; ++i)
            if (!visit(places[i])) return;
        if (found < places.size()) return;
        from = places.back() + 1;
    }
}

template <class Char>
bool TokenTrie::HoldsToken(std::basic_string_view<Char> text) const
{
    bool holds = false;
    ForEachStart(text, [&](std::size_t place) { return !(holds = TokenAt(text, place)); });
    return holds;
}

template <class Char>
void TokenTrie::Find(std::basic_string_view<Char> line, RowBits& present) const
{
    present.assign(RowWords(sameToken_.size()), 0);
    ForEachStart(line, [&](std::size_t place) {
        AddRowsAt(line, place, present);
        return true;
    });
}

template bool TokenTrie::HoldsToken(std::string_view text) const;
template bool TokenTrie::HoldsToken(std::u16string_view text) const;
template std::size_t TokenTrie::Places(std::string_view text, std::size_t from, std::span<std::size_t> places) const;
template std::size_t TokenTrie::Places(std::u16string_view text, std::size_t from,
                                       std::span<std::size_t> places) const;
template void TokenTrie::Find(std::string_view line, RowBits& present) const;
template void TokenTrie::Find(std::u16string_view line, RowBits& present) const;

}  // namespace zarvo
