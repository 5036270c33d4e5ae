#include "substitution/token_presence.h"

#include <algorithm>
#include <optional>

namespace zarvo {
namespace {

// Each node with children gets a table, as long as there are not too many tables: a command of
// many long tokens must not make a large tree larger still.
constexpr std::uint32_t kMostTables = 64;

}  // namespace

TokenPresence::TokenPresence(std::vector<std::u16string_view> tokens) : nodes_(1), sameToken_(tokens.size(), 0)
{
    for (std::uint32_t row = 0; row < tokens.size(); ++row) {
        std::uint32_t node = 0;
        for (const char16_t c : tokens[row]) node = MakeChild(node, c);
        sameToken_[row] = nodes_[node].firstRow;
        nodes_[node].firstRow = row + 1;
        firstAbove255_ = firstAbove255_ || tokens[row].front() > 255;
    }
    MakeTables();
    fewFirst_ = FewFirst<char16_t>();
    fewFirstBytes_ = FewFirst<char>();
}

template <class Char>
std::optional<std::array<Char, kFewStops>> TokenPresence::FewFirst() const
{
    std::array<Char, kFewStops> few{};
    std::size_t count = 0;
    for (std::uint32_t child = nodes_[0].firstChild; child != 0; child = nodes_[child].nextSibling) {
        if (sizeof(Char) == 1 && nodes_[child].character > 255) continue;
        if (count == kFewStops) return std::nullopt;
        few[count++] = static_cast<Char>(nodes_[child].character);
    }
    if (count == 0) return std::nullopt;
    std::fill(few.begin() + static_cast<std::ptrdiff_t>(count), few.end(), few[0]);
    return few;
}

void TokenPresence::MakeTables()
{
    everyNodeTabled_ = nodes_.size() <= kMostTables;
    for (std::uint32_t node = 0, tables = 0; node < nodes_.size() && tables < kMostTables; ++node) {
        if (!everyNodeTabled_ && node != 0 && nodes_[node].firstChild == 0) continue;
        tables_.resize(tables_.size() + 256);
        for (std::uint32_t child = nodes_[node].firstChild; child != 0; child = nodes_[child].nextSibling)
            if (nodes_[child].character < 256) tables_[tables * 256 + nodes_[child].character] = child;
        nodes_[node].table = ++tables;
    }
}

template <class Char>
void TokenPresence::Find(std::basic_string_view<Char> line, RowBits& present) const
{
    present.assign(RowWords(sameToken_.size()), 0);
    EachToken(line, [&present](std::size_t row, std::size_t) {
        SetRow(present, row);
        return true;
    });
}

std::bitset<256> TokenPresence::FirstCharacters() const
{
    std::bitset<256> first;
    for (std::size_t c = 0; c < 256; ++c) first.set(c, tables_[c] != 0);
    return first;
}

std::uint32_t TokenPresence::MakeChild(std::uint32_t node, char16_t c)
{
    if (const std::uint32_t child = Child(node, c); child != 0) return child;
    nodes_.push_back({c, 0, nodes_[node].firstChild, 0});
    const auto made = static_cast<std::uint32_t>(nodes_.size() - 1);
    nodes_[node].firstChild = made;
    return made;
}

template void TokenPresence::Find(std::string_view line, RowBits& present) const;
template void TokenPresence::Find(std::u16string_view line, RowBits& present) const;

}  // namespace zarvo
