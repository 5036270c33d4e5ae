#include "substitution/engines/present_rows.h"

#include <algorithm>
#include <cstddef>

namespace zarvo {

// Checked only for tokens and replacements short enough that the check costs little; longer
// ones are taken to touch.
constexpr std::size_t kTouchCheckLimit = 1 << 16;

bool TokenCanTouch(std::u16string_view token, std::u16string_view replacement)
{
    if (token.size() * (token.size() + replacement.size()) > kTouchCheckLimit) return true;
    const auto length = static_cast<std::ptrdiff_t>(replacement.size());
    for (std::ptrdiff_t begin = 1 - static_cast<std::ptrdiff_t>(token.size()); begin < std::max<std::ptrdiff_t>(length, 1);
         ++begin) {
        bool fits = true;
        for (std::size_t i = 0; i < token.size() && fits; ++i) {
            const std::ptrdiff_t at = begin + static_cast<std::ptrdiff_t>(i);
            fits = at < 0 || at >= length || replacement[static_cast<std::size_t>(at)] == token[i];
        }
        if (fits) return true;
    }
    return false;
}

PresentRows::PresentRows(const std::vector<std::u16string_view>& tokens,
                         const std::vector<std::u16string_view>& insertions)
    : presence_(tokens), present_(RowWords(tokens.size())), brought_(RowWords(tokens.size())), mayBring_(tokens.size())
{
    for (const std::u16string_view token : tokens) {
        counts_.push_back({std::u16string(token), 0});
        tokenCharacters_.push_back(FitsSingleByteText(token) ? CharactersBelow256(token) : std::bitset<256>());
    }
    for (const std::u16string_view insertion : insertions) insertionCharacters_.push_back(CharactersBelow256(insertion));
    for (std::size_t row = 0; row < tokens.size(); ++row)
        for (std::size_t later = row + 1; later < tokens.size(); ++later)
            if (TokenCanTouch(tokens[later], insertions[row])) mayBring_[row].push_back(later);
}

}  // namespace zarvo
