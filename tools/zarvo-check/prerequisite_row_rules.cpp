#include "prerequisite_row_rules.h"

#include <optional>
#include <vector>

#include "finding_text.h"
#include "frame/letter_case.h"
#include "frame/nearest_name.h"
#include "frame/text_scan.h"
#include "platform/registry.h"
#include "prerequisites/key_path.h"
#include "prerequisites/row_kinds.h"
#include "property_values.h"

namespace zarvo::check {
namespace {

// What a Value read as version 0.0.0.0 makes of a row of each kind that compares versions
// (a product's state is compared as one too).
struct ZeroVersion {
    std::u16string_view kind;
    std::u16string_view outcome;
};

constexpr ZeroVersion kZeroVersions[] = {
    {kCheckFileVersion, u"the row passes whenever the file has a version"},
    {kCheckRegistryVersion, u"the row passes whenever the value is there"},
    {kCheckProductState, u"the row passes whenever the installer knows the product for the machine"},
    {kCheckInstanceProductState, u"the row fails whenever the installer knows the product the value names"},
    {kCheckVersionSetProperty, u"the property is set only when the value is missing"},
    {kCheckVersionDisableComponent, u"the component is left out whenever the value is there"},
    {kCheckFileVersionDisableComponent, u"the component is left out whenever the file has a version"},
};

void Warn(const PrerequisiteFields& row, std::u16string_view message, Findings& findings)
{
    Report(findings, Severity::Warning, row.where, message);
}

// A version text is read as far as it goes; one that does not begin with a number is 0.0.0.0.
void CheckVersionText(const PrerequisiteFields& row, Findings& findings)
{
    if (IsFormatted(row.value)) return;
    const char16_t* text = row.value.c_str();
    if (ScanNumber(text)) return;
    for (const ZeroVersion& zero : kZeroVersions) {
        if (zero.kind != row.kind) continue;
        Warn(row,
             u"Value " + Quoted(row.value) +
                 u" does not begin with a number: it reads as version 0.0.0.0, so " +
                 std::u16string(zero.outcome),
             findings);
    }
}

// False, with the finding, when the ValueName is not the keyword the kind asks for.
bool HoldsKeyword(const PrerequisiteFields& row, std::u16string_view keyword, std::u16string_view otherwise,
                  Findings& findings)
{
    if (IsFormatted(row.valueName) || SameIgnoringLetterCase(row.valueName, keyword)) return true;
    Warn(row,
         u"ValueName " + Quoted(row.valueName) + u" is not " + std::u16string(keyword) + u": " +
             std::u16string(otherwise),
         findings);
    return false;
}

// The 32-bit view's prefix, as the row writes it, when its Destination begins with it.
std::optional<std::u16string> Prefix32(const std::u16string& destination)
{
    const ViewedKeyPath viewed = ViewKeyPath(destination.c_str(), true);
    if ((viewed.access & kKeyWow64_32Key) == 0) return std::nullopt;
    return destination.substr(0, static_cast<std::size_t>(viewed.path - destination.c_str()));
}

// False, with the finding, when the row's Destination can never open for this kind.
bool OpensItsKey(const PrerequisiteFields& row, Findings& findings)
{
    const std::optional<std::u16string> prefix = Prefix32(row.destination);
    if (!prefix) return true;
    Warn(row,
         u"Destination begins with " + Quoted(*prefix) +
             u", which CheckInstanceProductState does not know: it opens a key of that literal name, "
             u"which does not exist, so the row always passes",
         findings);
    return false;
}

// The component a row asks to leave out must be one the package has.
void CheckComponentName(const PackageIndex& index, KnownComponents& components, const PrerequisiteFields& row,
                        Findings& findings)
{
    if (IsFormatted(row.name) || index.components.contains(row.name)) return;
    std::u16string message = u"Name " + Quoted(row.name) + u" is no component of the Component table";
    if (components.suggestionsLeft > 0) {
        --components.suggestionsLeft;
        if (const std::optional<std::u16string_view> nearest = NearestName(row.name, components.names))
            message += u" (did you mean " + std::u16string(*nearest) + u"?)";
    }
    Warn(row,
         message +
             u": ChangeElementsFromPrerequisites asks to leave out a component the package does not "
             u"have, and the installer refuses",
         findings);
}

}  // namespace

void CheckGateRow(const PrerequisiteFields& row, Findings& findings)
{
    // The gate reads the Value only of a row it checks.
    if (row.kind == kCheckFileVersion &&
        !HoldsKeyword(row, kFileVersionKeyword, u"CheckPrerequisites passes the row unchecked", findings))
        return;
    if (row.kind == kCheckProductState &&
        !HoldsKeyword(row, kStateKeyword, u"the row always fails, and so does the gate (1603)", findings))
        return;
    if (row.kind == kCheckInstanceProductState && !OpensItsKey(row, findings)) return;
    CheckVersionText(row, findings);
}

KnownComponents ListComponents(const PackageIndex& index)
{
    constexpr std::size_t kMostComparisons = 50000;
    KnownComponents components;
    for (const auto& [name, attributes] : index.components) components.names.push_back(name);
    components.suggestionsLeft = kMostComparisons / (components.names.size() + 1);
    return components;
}

void CheckChangeRow(const PackageIndex& index, KnownComponents& components, const PrerequisiteFields& row,
                    Findings& findings)
{
    CheckVersionText(row, findings);
    if (row.kind != kCheckVersionSetProperty) CheckComponentName(index, components, row, findings);
}

}  // namespace zarvo::check
