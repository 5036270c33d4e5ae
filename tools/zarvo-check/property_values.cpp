#include "property_values.h"

#include <algorithm>

#include "finding_text.h"

namespace zarvo::check {
namespace {

using Texts = std::optional<std::vector<std::u16string>>;

// Bounds that keep a package's cycles, cross-products and sheer number of references from
// running away: past them, the text is one only the installation can tell.
constexpr std::size_t kMostTexts = 16;
constexpr int kDeepest = 4;
constexpr std::size_t kMostReferences = 256;

bool IsNameStart(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
}

bool IsPropertyName(std::u16string_view name)
{
    if (name.empty() || !IsNameStart(name.front())) return false;
    return std::ranges::all_of(
        name, [](char16_t c) { return IsNameStart(c) || (c >= u'0' && c <= u'9') || c == u'.'; });
}

// One text's resolution, with the references it may still follow.
struct Resolution {
    const PackageIndex& index;
    std::size_t referencesLeft = kMostReferences;
};

Texts TextsOf(Resolution& resolution, std::u16string_view text, int depth);

// Every value the package gives the property: the Property table's, as it stands (the
// installer formats none of them), and each scheduled type-51 action's, formatted.
Texts ValuesOf(Resolution& resolution, std::u16string_view property, int depth)
{
    const PackageIndex& index = resolution.index;
    std::vector<std::u16string> values;
    const auto row = index.properties.find(property);
    if (row != index.properties.end()) values.push_back(row->second);
    // Each setter followed counts as a reference of its own.
    const auto [first, last] = index.scheduledSetters.equal_range(property);
    for (auto setter = first; setter != last; ++setter) {
        if (resolution.referencesLeft == 0) return std::nullopt;
        --resolution.referencesLeft;
        const Texts set = TextsOf(resolution, index.customActions[setter->second].target, depth + 1);
        if (!set) return std::nullopt;
        values.insert(values.end(), set->begin(), set->end());
    }
    if (values.empty() || values.size() > kMostTexts) return std::nullopt;
    return values;
}

// Each text followed by each value.
std::vector<std::u16string> Joined(const std::vector<std::u16string>& texts,
                                   const std::vector<std::u16string>& values)
{
    std::vector<std::u16string> joined;
    for (const std::u16string& text : texts)
        for (const std::u16string& value : values) joined.push_back(text + value);
    return joined;
}

Texts TextsOf(Resolution& resolution, std::u16string_view text, int depth)
{
    // Braces around a reference drop what they hold when it is empty: too much to follow.
    if (depth > kDeepest || (IsFormatted(text) && text.find(u'{') != std::u16string_view::npos))
        return std::nullopt;
    std::vector<std::u16string> texts{u""};
    while (!text.empty()) {
        const std::size_t open = text.find(u'[');
        for (std::u16string& sofar : texts) sofar.append(text.substr(0, open));
        if (open == std::u16string_view::npos) break;
        const std::size_t close = text.find(u']', open);
        if (close == std::u16string_view::npos) return std::nullopt;
        const std::u16string_view name = text.substr(open + 1, close - open - 1);
        if (!IsPropertyName(name)) return std::nullopt;
        const Texts values = ValuesOf(resolution, name, depth);
        if (!values || texts.size() * values->size() > kMostTexts) return std::nullopt;
        texts = Joined(texts, *values);
        text.remove_prefix(close + 1);
    }
    return texts;
}

}  // namespace

bool IsFormatted(std::u16string_view text)
{
    return text.find(u'[') != std::u16string_view::npos;
}

std::vector<GivenText> TextsGiven(const PackageIndex& index, std::u16string_view property)
{
    std::vector<GivenText> given;
    // The installer formats no value of the Property table.
    if (const auto row = index.properties.find(property); row != index.properties.end())
        given.push_back({row->second, Place(u"Property", property), false});
    for (const CustomActionRow* setter : ScheduledSetters(index, property))
        given.push_back({setter->target, Place(u"CustomAction", setter->action), IsFormatted(setter->target)});
    return given;
}

bool IsSetByPackage(const PackageIndex& index, std::u16string_view property)
{
    return index.properties.contains(property) || !ScheduledSetters(index, property).empty();
}

Texts PossibleTexts(const PackageIndex& index, std::u16string_view text)
{
    Resolution resolution{index};
    return TextsOf(resolution, text, 0);
}

}  // namespace zarvo::check
