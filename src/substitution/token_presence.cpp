#include "substitution/token_presence.h"

namespace zarvo {

TokenPresence::TokenPresence(std::vector<std::u16string_view> tokens) : nodes_(1), sameToken_(tokens.size(), 0)
{
    for (std::uint32_t row = 0; row < tokens.size(); ++row) {
        std::uint32_t node = 0;
        for (const char16_t c : tokens[row]) node = MakeChild(node, c);
        sameToken_[row] = nodes_[node].firstRow;
        nodes_[node].firstRow = row + 1;
        const char16_t first = tokens[row].front();
        if (first < 256) firstBelow256_[first] = Child(0, first);
        else firstAbove255_ = true;
    }
}

namespace {

char16_t CharacterOf(char byte)
{
    return static_cast<unsigned char>(byte);
}

char16_t CharacterOf(char16_t c)
{
    return c;
}

}  // namespace

template <class Char>
void TokenPresence::Find(std::basic_string_view<Char> line, std::vector<char>& present) const
{
    present.assign(sameToken_.size(), 0);
    for (std::size_t at = 0; at < line.size(); ++at)
        if (const std::uint32_t first = Start(CharacterOf(line[at])); first != 0)
            Mark(first, line.substr(at + 1), present);
}

template void TokenPresence::Find(std::string_view line, std::vector<char>& present) const;
template void TokenPresence::Find(std::u16string_view line, std::vector<char>& present) const;

template <class Char>
void TokenPresence::Mark(std::uint32_t node, std::basic_string_view<Char> rest, std::vector<char>& present) const
{
    for (std::size_t next = 0; node != 0; ++next) {
        for (std::uint32_t row = nodes_[node].firstRow; row != 0; row = sameToken_[row - 1]) present[row - 1] = 1;
        node = next < rest.size() ? Child(node, CharacterOf(rest[next])) : 0;
    }
}

std::bitset<256> TokenPresence::FirstCharacters() const
{
    std::bitset<256> first;
    for (std::size_t c = 0; c < 256; ++c) first.set(c, firstBelow256_[c] != 0);
    return first;
}

std::uint32_t TokenPresence::Child(std::uint32_t node, char16_t c) const
{
    for (std::uint32_t child = nodes_[node].firstChild; child != 0; child = nodes_[child].nextSibling)
        if (nodes_[child].character == c) return child;
    return 0;
}

std::uint32_t TokenPresence::MakeChild(std::uint32_t node, char16_t c)
{
    if (const std::uint32_t child = Child(node, c); child != 0) return child;
    nodes_.push_back({c, 0, nodes_[node].firstChild, 0});
    const auto made = static_cast<std::uint32_t>(nodes_.size() - 1);
    nodes_[node].firstChild = made;
    return made;
}

std::uint32_t TokenPresence::Start(char16_t c) const
{
    if (c < 256) return firstBelow256_[c];
    return firstAbove255_ ? Child(0, c) : 0;
}

}  // namespace zarvo
