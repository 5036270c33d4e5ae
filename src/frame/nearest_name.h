#pragma once
// The known name that a misspelt one was most likely meant to be, for messages that say
// "did you mean ...?".
#include <optional>
#include <span>
#include <string_view>

namespace zarvo {

// The known name nearest to the typed one, when it is a likely typo of it: at most two
// edits apart (a letter added, dropped or changed, or two neighbours swapped), without
// regard to the case of A-Z, and fewer edits than half the typed name's length. Nothing when
// the typed name is itself known, when none is near, or for names of more than 64 characters.
std::optional<std::u16string_view> NearestName(std::u16string_view typed,
                                               std::span<const std::u16string_view> known);

}  // namespace zarvo
