#include "substitution/token_presence.h"

namespace zarvo {

TokenPresence::TokenPresence(std::vector<std::u16string_view> tokens) : tokens_(std::move(tokens))
{
    for (const std::u16string_view token : tokens_) {
        if (token.front() < 256) firstCharacters_.set(token.front());
        else firstAbove255_ = true;
    }
}

void TokenPresence::Find(std::u16string_view line, std::vector<char>& present) const
{
    present.assign(tokens_.size(), 0);
    for (std::size_t at = 0; at < line.size(); ++at) {
        const char16_t c = line[at];
        if (c < 256 ? !firstCharacters_.test(c) : !firstAbove255_) continue;
        for (std::size_t row = 0; row < tokens_.size(); ++row)
            if (!present[row] && line.substr(at).starts_with(tokens_[row])) present[row] = 1;
    }
}

}  // namespace zarvo
