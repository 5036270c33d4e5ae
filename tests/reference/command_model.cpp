#include "reference/command_model.h"

namespace zarvo::reference {
namespace {

constexpr std::size_t kMostPairs = 20;

// The strings up to the empty one that ends the multi-string.
std::vector<std::u16string_view> StringsOf(std::u16string_view characters)
{
    std::vector<std::u16string_view> strings;
    std::size_t at = 0;
    while (at < characters.size()) {
        const std::size_t end = characters.find(u'\0', at);
        const std::u16string_view string = characters.substr(at, end - at);
        if (string.empty() || end == std::u16string_view::npos) break;
        strings.push_back(string);
        at = end + 1;
    }
    return strings;
}

}  // namespace

std::u16string CommandCharacters(const std::vector<std::uint8_t>& data)
{
    std::u16string characters;
    for (std::size_t at = 0; at < data.size(); at += 2)
        characters += static_cast<char16_t>(data[at] | (at + 1 < data.size() ? data[at + 1] << 8 : 0));
    return characters + u'\0' + u'\0';
}

Command CommandOf(std::u16string_view characters)
{
    const std::vector<std::u16string_view> strings = StringsOf(characters);
    Command command;
    if (strings.empty()) return command;
    command.target = strings.front();
    for (std::size_t i = 1; i < strings.size() && command.pairs.size() < kMostPairs; ++i) {
        const std::size_t equals = strings[i].find(u'=');
        if (equals == std::u16string_view::npos) break;
        command.pairs.push_back({std::u16string(strings[i].substr(0, equals)),
                                 std::u16string(strings[i].substr(equals + 1))});
    }
    return command;
}

std::vector<std::u16string> CommandStrings(const std::u16string& target, const Pairs& pairs)
{
    std::vector<std::u16string> strings{target};
    for (const Pair& pair : pairs) strings.push_back(pair.name + u"=" + pair.value);
    return strings;
}

}  // namespace zarvo::reference
