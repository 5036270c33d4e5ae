#include "substitution/scanning/token_trie.h"

namespace zarvo {
namespace {

// Each node with children gets a table, as long as there are not too many tables: a command of
// many long tokens must not make a large tree larger still.
constexpr std::uint32_t kMostTables = 64;

}  // namespace

TokenTrie::TokenTrie(const std::vector<std::u16string_view>& tokens) : nodes_(1), sameToken_(tokens.size(), 0)
{
    for (std::uint32_t row = 0; row < tokens.size(); ++row) {
        std::uint32_t node = 0;
        for (const char16_t c : tokens[row]) node = MakeChild(node, c);
        sameToken_[row] = nodes_[node].firstRow;
        nodes_[node].firstRow = row + 1;
        firstAbove255_ = firstAbove255_ || tokens[row].front() > 255;
        anyHoldsLineFeed_ = anyHoldsLineFeed_ || tokens[row].find(u'\n') != std::u16string_view::npos;
    }
    MakeTables();
}

void TokenTrie::MakeTables()
{
    for (std::uint32_t node = 0, tables = 0; node < nodes_.size() && tables < kMostTables; ++node) {
        if (node != 0 && nodes_[node].firstChild == 0) continue;
        tables_.resize(tables_.size() + 256);
        for (std::uint32_t child = nodes_[node].firstChild; child != 0; child = nodes_[child].nextSibling)
            if (nodes_[child].character < 256) tables_[tables * 256 + nodes_[child].character] = child;
        nodes_[node].table = ++tables;
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
bool TokenTrie::HoldsToken(std::basic_string_view<Char> text) const
{
    for (std::size_t place = 0; place < text.size(); ++place)
        if (Start(CharacterOf(text[place])) != 0 && !TokensAt(text, place, [](std::size_t) { return false; }))
            return true;
    return false;
}

template <class Char>
void TokenTrie::Find(std::basic_string_view<Char> line, RowBits& present) const
{
    present.assign(RowWords(sameToken_.size()), 0);
    for (std::size_t place = 0; place < line.size(); ++place)
        TokensAt(line, place, [&present](std::size_t row) {
            SetRow(present, row);
            return true;
        });
}

template bool TokenTrie::HoldsToken(std::string_view text) const;
template bool TokenTrie::HoldsToken(std::u16string_view text) const;
template void TokenTrie::Find(std::string_view line, RowBits& present) const;
template void TokenTrie::Find(std::u16string_view line, RowBits& present) const;

}  // namespace zarvo
