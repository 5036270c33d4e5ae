#pragma once
// Which of a command's tokens occur in a line, found in one pass over the line. Most lines of
// an installed file hold none: the engines then leave them as they are without searching
// for each token in turn.
#include <bitset>
#include <span>
#include <string_view>
#include <vector>

namespace zarvo {

class TokenPresence {
public:
    // The tokens, in the engine's row order; none may be empty.
    explicit TokenPresence(std::vector<std::u16string_view> tokens);

    // For each token, whether it occurs anywhere in the line.
    void Find(std::u16string_view line, std::vector<char>& present) const;

private:
    std::vector<std::u16string_view> tokens_;
    // The first characters of the tokens below 256; a token starting above 255 is looked for
    // at every character of that value.
    std::bitset<256> firstCharacters_;
    bool firstAbove255_ = false;
};

}  // namespace zarvo
