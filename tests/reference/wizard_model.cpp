#include "reference/wizard_model.h"

#include <algorithm>

#include "reference/decode.h"
#include "reference/lines.h"

namespace zarvo::reference {
namespace {

constexpr std::size_t kMostDataCharacters = 519;
// The longer of the two names made from the folder, and the characters a name may hold.
constexpr std::u16string_view kTemporaryName = u"ZarvoCSharpPlugin.tmp.vsz";
constexpr std::size_t kMostNameCharacters = 259;

void Apply(std::u16string_view replacement, std::u16string& line)
{
    const std::size_t at = line.find(kWizardPlaceholder);
    if (at == std::u16string::npos) return;
    if (line.size() - kWizardPlaceholder.size() + replacement.size() > kWizardLineCapacity) return;
    line.replace(at, kWizardPlaceholder.size(), replacement);
}

}  // namespace

Rewritten ExpectedWizardRewrite(std::string_view file, std::u16string_view replacement)
{
    // Read as plain text is: a UTF-16 file would be broken at every line end.
    if (file.starts_with("\xFF\xFE") || file.starts_with("\xFE\xFF")) return std::nullopt;
    std::vector<std::u16string> lines = LinesAsRead(SingleByteText(file), kWizardLineCapacity);
    const bool fits = std::ranges::none_of(replacement, [](char16_t c) { return c > 0xFF; });
    if (fits)
        for (std::u16string& line : lines) Apply(replacement, line);
    return WrittenAsSingleByte(lines);
}

std::optional<std::u16string> WizardReplacement(std::u16string_view customActionData)
{
    if (customActionData.size() > kMostDataCharacters) return std::nullopt;
    const std::size_t bar = customActionData.find(u'|');
    if (bar == std::u16string_view::npos || bar + kTemporaryName.size() > kMostNameCharacters) return std::nullopt;
    return std::u16string(customActionData.substr(bar + 1));
}

}  // namespace zarvo::reference
