#include "prerequisites/change_elements.h"

#include <string_view>

#include "frame/letter_case.h"
#include "frame/result_codes.h"
#include "prerequisites/prerequisite_checks.h"

namespace zarvo {
namespace {

enum class Change { SetPropertyWhenFailed, DisableComponentWhenPassed };

struct ChangeKind {
    std::u16string_view type;
    PrerequisiteCheck check;
    Change change;
};

constexpr ChangeKind kChangeKinds[] = {
    {u"CheckVersionSetProperty", &CheckRegistryVersion, Change::SetPropertyWhenFailed},
    {u"CheckVersionDisableComponent", &CheckRegistryVersion, Change::DisableComponentWhenPassed},
    {u"CheckFileVersionDisableComponent", &CheckFileVersion, Change::DisableComponentWhenPassed},
};

// The installer's answers are not looked at: a Name that is no property or component of
// the package is the package's own affair.
void ApplyChange(Platform& platform, InstallerHandle session, const ChangeKind& kind,
                 const PrerequisiteRow& row)
{
    const bool passed = kind.check(platform, row);
    if (kind.change == Change::SetPropertyWhenFailed && !passed)
        platform.installer.SetProperty(session, row.Name.get(), u"1");
    if (kind.change == Change::DisableComponentWhenPassed && passed)
        platform.installer.SetComponentState(session, row.Name.get(), kInstallStateAbsent);
}

}  // namespace

WinResult ChangeElementsFromPrerequisites(Platform& platform, InstallerHandle session)
{
    ForEachPrerequisiteRow(platform.installer, session,
                           [&](InstallerHandle rowSession, const PrerequisiteRow& row) {
                               for (const ChangeKind& kind : kChangeKinds) {
                                   if (!SameIgnoringLetterCase(row.Type.get(), kind.type)) continue;
                                   ApplyChange(platform, rowSession, kind, row);
                                   return;
                               }
                           });
    return kErrorSuccess;
}

}  // namespace zarvo
