#include "registry_commands.h"

#include "frame/letter_case.h"
#include "substitution/actions/command_store.h"
#include "substitution/actions/substitution_actions.h"

namespace zarvo::check {
namespace {

constexpr std::u16string_view kSeparator = u"[~]";

// SetupSubstFiles opens its key with no view flag, which in the 32-bit library is the 32-bit
// view; SetupSubstXmlFiles asks for the 64-bit view under WOW64.
constexpr CommandFamily kFamilies[] = {
    {kTextCommandPrefix, "SetupSubstFiles", false},
    {kXmlCommandPrefix, "SetupSubstXmlFiles", true},
};

}  // namespace

const CommandFamily* FamilyOf(std::u16string_view valueName)
{
    for (const CommandFamily& family : kFamilies)
        if (valueName.size() >= family.prefix.size() &&
            SameIgnoringLetterCase(valueName.substr(0, family.prefix.size()), family.prefix))
            return &family;
    return nullptr;
}

std::vector<std::u16string> CommandNames()
{
    std::vector<std::u16string> names;
    for (const CommandFamily& family : kFamilies)
        for (int number = 0; number < kSubstitutionCommandCount; ++number) {
            const std::string digits = std::to_string(number);
            names.push_back(std::u16string(family.prefix) + std::u16string(digits.begin(), digits.end()));
        }
    return names;
}

bool IsReadNumber(std::u16string_view number)
{
    if (number.empty() || (number.size() > 1 && number.front() == u'0')) return false;
    std::int32_t value = 0;
    for (const char16_t c : number) {
        if (c < u'0' || c > u'9') return false;
        value = value * 10 + (c - u'0');
        if (value >= kSubstitutionCommandCount) return false;
    }
    return true;
}

std::optional<std::vector<std::u16string>> MultiStrings(std::u16string_view value)
{
    if (value.find(kSeparator) == std::u16string_view::npos) return std::nullopt;
    if (value.starts_with(kSeparator)) value.remove_prefix(kSeparator.size());
    if (value.ends_with(kSeparator)) value.remove_suffix(kSeparator.size());
    std::vector<std::u16string> strings;
    for (;;) {
        const std::size_t end = value.find(kSeparator);
        strings.emplace_back(value.substr(0, end));
        if (end == std::u16string_view::npos) return strings;
        value.remove_prefix(end + kSeparator.size());
    }
}

}  // namespace zarvo::check
