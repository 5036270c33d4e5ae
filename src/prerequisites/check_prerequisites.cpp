#include "prerequisites/check_prerequisites.h"

#include <string_view>

#include "frame/bounded_format.h"
#include "frame/letter_case.h"
#include "frame/result_codes.h"
#include "prerequisites/prerequisite_checks.h"

namespace zarvo {
namespace {

// The property name holds 24 characters: its fixed part and a number up to 999999.
constexpr std::size_t kFailurePropertyCapacity = 25;
constexpr std::uint64_t kLastFailureNumber = 999999;

struct GateKind {
    std::u16string_view type;
    PrerequisiteCheck check;
};

// The first kind whose Type matches decides.
constexpr GateKind kGateKinds[] = {
    {u"CheckFileVersion", &CheckFileVersion},
    {u"CheckRegistryVersion", &CheckRegistryVersion},
    {u"CheckRegistryDWord", &CheckRegistryDWord},
    {u"CheckProductState", &CheckProductState},
    {u"CheckInstanceProductState", &CheckInstanceProductState},
};

// The check the row's Type names, or null for a row that passes unchecked: an unknown Type,
// or a file version row whose ValueName is not "FileVersion".
PrerequisiteCheck GateCheckFor(const PrerequisiteRow& row)
{
    for (const GateKind& kind : kGateKinds) {
        if (!SameIgnoringLetterCase(row.Type.get(), kind.type)) continue;
        if (kind.check == &CheckFileVersion &&
            !SameIgnoringLetterCase(row.ValueName.get(), u"FileVersion"))
            return nullptr;
        return kind.check;
    }
    return nullptr;
}

}  // namespace

bool RecordFailedRow(Installer& installer, InstallerHandle session, std::uint64_t failureNumber,
                     const char16_t* rowName)
{
    if (failureNumber > kLastFailureNumber) return false;
    char16_t property[kFailurePropertyCapacity];
    if (!FormatBounded(property, kFailurePropertyCapacity, u"FALSEPREREQUISITY_%d",
                       {static_cast<std::int32_t>(failureNumber)}))
        return false;
    installer.SetProperty(session, property, rowName);
    return true;
}

WinResult CheckPrerequisites(Platform& platform, InstallerHandle session)
{
    std::uint64_t failures = 0;
    const TableWalk walk = ForEachPrerequisiteRow(platform.installer, session,
                           [&](InstallerHandle rowSession, const PrerequisiteRow& row) {
                               const PrerequisiteCheck check = GateCheckFor(row);
                               if (check == nullptr || check(platform, row)) return;
                               RecordFailedRow(platform.installer, rowSession, failures, row.Name.get());
                               ++failures;
                           });
    // A table that could not be read whole may hold a failing row: the gate fails closed.
    return failures > 0 || walk == TableWalk::Failed ? kErrorInstallFailure : kErrorSuccess;
}

}  // namespace zarvo
