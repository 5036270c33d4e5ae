#include "prerequisites/change_elements.h"

#include <string_view>

#include "frame/action_log.h"
#include "frame/letter_case.h"
#include "frame/result_codes.h"
#include "prerequisites/prerequisite_checks.h"
#include "prerequisites/prerequisite_log.h"
#include "prerequisites/row_kinds.h"

namespace zarvo {
namespace {

enum class Change { SetPropertyWhenFailed, DisableComponentWhenPassed };

struct ChangeKind {
    std::u16string_view type;
    PrerequisiteCheck check;
    Change change;
};

constexpr ChangeKind kChangeKinds[] = {
    {kCheckVersionSetProperty, &CheckRegistryVersion, Change::SetPropertyWhenFailed},
    {kCheckVersionDisableComponent, &CheckRegistryVersion, Change::DisableComponentWhenPassed},
    {kCheckFileVersionDisableComponent, &CheckFileVersion, Change::DisableComponentWhenPassed},
};

// What the installer took, for the closing line.
struct Changes {
    LogLine properties;  // set to "1"
    LogLine components;  // asked to be left out
};

// The installer's answer to a change: what it took is listed, what it refused is said in
// the row's line.
void NoteAnswer(LogLine& line, LogLine& taken, const char16_t* name, WinResult answer)
{
    if (answer == kErrorSuccess)
        NextInList(taken) << name;
    else
        line << u", refused (error " << answer << u")";
}

// The installer's answers change nothing the action does: a Name that is no property or
// component of the package is the package's own affair, which the log tells.
void ApplyChange(Platform& platform, InstallerHandle session, const ChangeKind& kind,
                 const PrerequisiteRow& row, LogLine& line, Changes& changes)
{
    const CheckResult result = kind.check(platform, row);
    line << result.reading.Text() << u": ";
    const char16_t* const name = row.Name.get();
    if (kind.change == Change::SetPropertyWhenFailed && !result.passed) {
        line << u"sets " << name << u" to 1";
        NoteAnswer(line, changes.properties, name, platform.installer.SetProperty(session, name, u"1"));
    } else if (kind.change == Change::DisableComponentWhenPassed && result.passed) {
        line << u"asks for component " << name << u" to be left out";
        NoteAnswer(line, changes.components, name,
                   platform.installer.SetComponentState(session, name, kInstallStateAbsent));
    } else {
        line << u"changes nothing";
    }
}

// The row's change, when it is of one of the action's kinds, said in its line.
void ChangeRow(Platform& platform, InstallerHandle session, const PrerequisiteRow& row,
               LogLine& line, Changes& changes)
{
    for (const ChangeKind& kind : kChangeKinds) {
        if (!SameIgnoringLetterCase(row.Type.get(), kind.type)) continue;
        ApplyChange(platform, session, kind, row, line, changes);
        return;
    }
    WriteOtherKind(line, row.Type.get(), kChangeTypes, kGateTypes, u"CheckPrerequisites");
    line << u": changes nothing";
}

// The closing line: the properties set and the components asked to be left out.
void WriteSummary(const ActionLog& log, const Changes& changes)
{
    LogLine line = log.Line();
    const std::u16string_view properties = changes.properties.Text();
    const std::u16string_view components = changes.components.Text();
    if (properties.empty() && components.empty()) line << u"changed nothing";
    if (!properties.empty()) line << u"set to 1: " << properties;
    if (!properties.empty() && !components.empty()) line << u"; ";
    if (!components.empty()) line << u"asked to leave out: " << components;
    log.Write(line << u"; answers 0");
}

}  // namespace

WinResult ChangeElementsFromPrerequisites(Platform& platform, InstallerHandle session)
{
    const ActionLog log(platform.installer, session, u"ChangeElementsFromPrerequisites");
    std::uint32_t rows = 0;
    Changes changes;
    const TableWalk walk = ForEachPrerequisiteRow(platform.installer, session,
                           [&](InstallerHandle rowSession, const PrerequisiteRow& row) {
                               LogLine line = RowLine(log, ++rows, row);
                               ChangeRow(platform, rowSession, row, line, changes);
                               log.Write(line);
                           });
    if (walk == TableWalk::Failed)
        log.Write(log.Line() << TableProblem(walk) << u" (rows read: " << rows
                             << u"): the rows not read change nothing");
    if (walk == TableWalk::Whole || walk == TableWalk::Failed)
        WriteSummary(log, changes);
    else
        log.Write(log.Line() << TableProblem(walk) << u": changed nothing; answers 0");
    return kErrorSuccess;
}

}  // namespace zarvo
