#include "substitution/present_rows.h"

namespace zarvo {

PresentRows::PresentRows(const std::vector<std::u16string_view>& tokens) : presence_(tokens)
{
    for (const std::u16string_view token : tokens) counts_.push_back({std::u16string(token), 0});
}

}  // namespace zarvo
