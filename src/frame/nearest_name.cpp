#include "frame/nearest_name.h"

#include <algorithm>
#include <cstddef>

#include "frame/letter_case.h"

namespace zarvo {
namespace {

constexpr std::size_t kLongestName = 64;
constexpr std::size_t kMostEdits = 2;

// Edits between a and b (optimal string alignment), both at most kLongestName long; kept in
// three rows on the stack, so that nothing is allocated.
std::size_t EditDistance(std::u16string_view a, std::u16string_view b)
{
    std::size_t rows[3][kLongestName + 1];
    std::size_t* before = rows[0];
    std::size_t* previous = rows[1];
    std::size_t* current = rows[2];
    for (std::size_t j = 0; j <= b.size(); ++j) previous[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const bool same = UpperLetter(a[i - 1]) == UpperLetter(b[j - 1]);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (same ? 0 : 1)});
            const bool swapped = i > 1 && j > 1 && UpperLetter(a[i - 1]) == UpperLetter(b[j - 2]) &&
                                 UpperLetter(a[i - 2]) == UpperLetter(b[j - 1]);
            if (swapped) current[j] = std::min(current[j], before[j - 2] + 1);
        }
        std::swap(before, previous);
        std::swap(previous, current);
    }
    return previous[b.size()];
}

}  // namespace

std::optional<std::u16string_view> NearestName(std::u16string_view typed,
                                               std::span<const std::u16string_view> known)
{
    if (typed.size() > kLongestName) return std::nullopt;
    std::optional<std::u16string_view> nearest;
    std::size_t fewest = kMostEdits + 1;
    for (const std::u16string_view name : known) {
        if (name.size() > kLongestName) continue;
        const std::size_t edits = EditDistance(typed, name);
        if (edits == 0) return std::nullopt;
        if (edits < fewest && edits * 2 < typed.size()) {
            fewest = edits;
            nearest = name;
        }
    }
    return nearest;
}

}  // namespace zarvo
