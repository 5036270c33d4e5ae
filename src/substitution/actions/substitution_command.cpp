#include "substitution/actions/substitution_command.h"

namespace zarvo {

std::u16string Enclosed(std::u16string_view before, std::u16string_view name, std::u16string_view after)
{
    std::u16string text;
    text.reserve(before.size() + name.size() + after.size());
    return text.append(before).append(name).append(after);
}

SubstitutionCommand ReadSubstitutionCommand(std::span<char16_t> buffer)
{
    SubstitutionCommand command{buffer.data(), {}};
    std::size_t next = std::u16string_view(buffer.data()).size() + 1;
    while (next < buffer.size() && command.pairs.size() < kSubstitutionPairLimit) {
        char16_t* const text = buffer.data() + next;
        const std::u16string_view pair(text);
        const std::size_t equals = pair.find(u'=');
        if (pair.empty() || equals == std::u16string_view::npos) break;
        text[equals] = u'\0';
        command.pairs.push_back({pair.substr(0, equals), pair.substr(equals + 1)});
        next += pair.size() + 1;
    }
    return command;
}

}  // namespace zarvo
