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
#include "rules.h"

namespace zarvo::check {
namespace {

// What a Value read as 0 makes of a row of each kind that compares it: as version 0.0.0.0
// (a product's state is compared as one too), or as a DWORD's minimum.
struct ZeroValue {
    std::u16string_view kind;
    std::u16string_view outcome;
};

constexpr ZeroValue kZeroValues[] = {
    {kCheckFileVersion, u"the row passes whenever the file has a version"},
    {kCheckRegistryVersion, u"the row passes whenever the value is there"},
    {kCheckRegistryDWord, u"the row passes whenever the DWORD value is there"},
    {kCheckProductState, u"the row passes whenever the installer knows the product for the machine"},
    {kCheckInstanceProductState, u"the row fails whenever the installer knows the product the value names"},
    {kCheckVersionSetProperty, u"the property is set only when the value is missing"},
    {kCheckVersionDisableComponent, u"the component is left out whenever the value is there"},
    {kCheckFileVersionDisableComponent, u"the component is left out whenever the file has a version"},
};

// What a Destination that names a key makes of a row of each kind when the key never opens.
struct KeyPathKind {
    std::u16string_view kind;
    bool recognise32;  // whether the kind knows the 32-bit view's prefix
    std::u16string_view unopened;
};

constexpr KeyPathKind kKeyPathKinds[] = {
    {kCheckRegistryVersion, true, u"the row always fails, and so does the gate (1603)"},
    {kCheckRegistryDWord, true, u"the row always fails, and so does the gate (1603)"},
    {kCheckInstanceProductState, false, u"the row always passes"},
    {kCheckVersionSetProperty, true, u"the check always fails, so the property is always set to 1"},
    {kCheckVersionDisableComponent, true, u"the check always fails, so the component is never left out"},
};

// The roots a key path may be written with elsewhere; here every key path is below
// HKEY_LOCAL_MACHINE already.
constexpr std::u16string_view kRootNames[] = {
    u"HKEY_LOCAL_MACHINE", u"HKEY_CURRENT_USER", u"HKEY_CLASSES_ROOT", u"HKEY_USERS", u"HKEY_CURRENT_CONFIG",
    u"HKLM",               u"HKCU",              u"HKCR",              u"HKU",        u"HKCC",
};

void ReportRow(const PrerequisiteFields& row, const Rule& rule, std::u16string_view message, Findings& findings)
{
    Report(findings, rule, row.where, message);
}

// A number scanned as decimal stops at the "x" of "0x10", having read 0.
bool IsHexadecimal(const std::u16string& value)
{
    const char16_t* text = value.c_str();
    return ScanNumber(text) == 0u && (*text == u'x' || *text == u'X');
}

// What a Value read as 0 makes of a row of the kind; nothing for a kind that reads no number.
std::optional<std::u16string_view> ZeroOutcome(std::u16string_view kind)
{
    for (const ZeroValue& zero : kZeroValues)
        if (zero.kind == kind) return zero.outcome;
    return std::nullopt;
}

// A Value is read as far as it goes: a version that does not begin with a number, or a number
// written in hexadecimal, reads as 0. A DWORD row without a number is meant to pass whenever
// its value is there.
void CheckNumberText(const PrerequisiteFields& row, Findings& findings)
{
    const std::optional<std::u16string_view> outcome = ZeroOutcome(row.kind);
    if (!outcome || IsFormatted(row.value)) return;
    const bool dword = row.kind == kCheckRegistryDWord;
    const std::u16string zero = (dword ? u"the minimum is 0" : u"it reads as version 0.0.0.0") +
                                std::u16string(u", so ") + std::u16string(*outcome);
    const char16_t* text = row.value.c_str();
    if (IsHexadecimal(row.value))
        ReportRow(row, rules::kHexadecimalValue,
                  u"Value " + Quoted(row.value) + u" is hexadecimal, but the row reads decimal digits only: " + zero,
                  findings);
    else if (!dword && !ScanNumber(text))
        ReportRow(row, rules::kVersionReadsAsZero,
                  u"Value " + Quoted(row.value) + u" does not begin with a number: " + zero, findings);
}

// False, with the finding, when the ValueName is not the keyword the kind asks for.
bool HoldsKeyword(const PrerequisiteFields& row, const Rule& rule, std::u16string_view keyword,
                  std::u16string_view otherwise, Findings& findings)
{
    if (IsFormatted(row.valueName) || SameIgnoringLetterCase(row.valueName, keyword)) return true;
    ReportRow(row, rule,
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
    ReportRow(row, rules::kInstanceIn32BitView,
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
    ReportRow(row, rules::kNoSuchComponent,
              message +
                  u": ChangeElementsFromPrerequisites asks to leave out a component the package does not "
                  u"have, and the installer refuses",
              findings);
}

// The root a key path begins with, as the row writes it, when it names one.
std::optional<std::u16string_view> RootAtStart(std::u16string_view path)
{
    const std::u16string_view written = path.substr(0, path.find(u'['));
    for (const std::u16string_view root : kRootNames) {
        if (written.size() < root.size() || !SameIgnoringLetterCase(written.substr(0, root.size()), root))
            continue;
        if (written.size() > root.size() ? written[root.size()] == u'\\' : written.size() == path.size())
            return path.substr(0, root.size());
    }
    return std::nullopt;
}

// False, with the finding, when the row's key path begins with a root, below which no key of
// that name exists.
bool OpensBelowTheRoot(const PrerequisiteFields& row, Findings& findings)
{
    for (const KeyPathKind& kind : kKeyPathKinds) {
        if (kind.kind != row.kind) continue;
        const char16_t* path = ViewKeyPath(row.destination.c_str(), kind.recognise32).path;
        const std::optional<std::u16string_view> root = RootAtStart(path);
        if (!root) return true;
        ReportRow(row, rules::kKeyPathWithRoot,
                  u"Destination " + Quoted(row.destination) + u" names the root " + std::u16string(*root) +
                      u", but key paths are below HKEY_LOCAL_MACHINE already: the key HKEY_LOCAL_MACHINE\\" +
                      path + u" does not exist, so " + std::u16string(kind.unopened),
                  findings);
        return false;
    }
    return true;
}

// "{6F1C2D3E-4A5B-4C6D-8E7F-90A1B2C3D4E5}": a GUID in braces, as the installer writes product codes.
bool IsProductCode(std::u16string_view text)
{
    constexpr std::u16string_view kShape = u"{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
    if (text.size() != kShape.size()) return false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char16_t c = text[at];
        const bool hex = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
        if (kShape[at] == u'X' ? !hex : c != kShape[at]) return false;
    }
    return true;
}

// False, with the finding, when the row names no product the installer can know.
bool NamesAProduct(const PrerequisiteFields& row, Findings& findings)
{
    if (IsFormatted(row.destination) || IsProductCode(row.destination)) return true;
    ReportRow(row, rules::kNotAProductCode,
              u"Destination " + Quoted(row.destination) +
                  u" is not a product code ({XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}): the installer knows no such "
                  u"product, so the row always fails, and so does the gate (1603)",
              findings);
    return false;
}

}  // namespace

void CheckGateRow(const PrerequisiteFields& row, Findings& findings)
{
    // The gate reads the Value only of a row it checks.
    if (row.kind == kCheckFileVersion &&
        !HoldsKeyword(row, rules::kNotFileVersionKeyword, kFileVersionKeyword,
                      u"CheckPrerequisites passes the row unchecked", findings))
        return;
    if (row.kind == kCheckProductState &&
        (!HoldsKeyword(row, rules::kNotStateKeyword, kStateKeyword,
                       u"the row always fails, and so does the gate (1603)", findings) ||
         !NamesAProduct(row, findings)))
        return;
    if (row.kind == kCheckInstanceProductState && !OpensItsKey(row, findings)) return;
    if (OpensBelowTheRoot(row, findings)) CheckNumberText(row, findings);
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
    if (OpensBelowTheRoot(row, findings)) CheckNumberText(row, findings);
    if (row.kind != kCheckVersionSetProperty) CheckComponentName(index, components, row, findings);
}

}  // namespace zarvo::check
