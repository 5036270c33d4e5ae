#include "prerequisites/check_prerequisites.h"

#include <string_view>

#include "frame/action_log.h"
#include "frame/bounded_format.h"
#include "frame/letter_case.h"
#include "frame/result_codes.h"
#include "prerequisites/prerequisite_checks.h"
#include "prerequisites/prerequisite_log.h"
#include "prerequisites/row_kinds.h"

namespace zarvo {
namespace {

// The property name holds 24 characters: its fixed part and a number up to 999999.
constexpr std::size_t kFailurePropertyCapacity = 25;
constexpr std::uint64_t kLastFailureNumber = 999999;
constexpr std::u16string_view kFailurePrefix = u"FALSEPREREQUISITY_";

struct GateKind {
    std::u16string_view type;
    PrerequisiteCheck check;
};

// The first kind whose Type matches decides.
constexpr GateKind kGateKinds[] = {
    {kCheckFileVersion, &CheckFileVersion},
    {kCheckRegistryVersion, &CheckRegistryVersion},
    {kCheckRegistryDWord, &CheckRegistryDWord},
    {kCheckProductState, &CheckProductState},
    {kCheckInstanceProductState, &CheckInstanceProductState},
};

// Checks the row, and says in its line what was read and how the row ended; false when it
// failed. A row of an unknown Type, or a file version row whose ValueName is not
// "FileVersion", passes unchecked.
bool CheckRow(Platform& platform, const PrerequisiteRow& row, LogLine& line)
{
    for (const GateKind& kind : kGateKinds) {
        if (!SameIgnoringLetterCase(row.Type.get(), kind.type)) continue;
        if (kind.check == &CheckFileVersion &&
            !SameIgnoringLetterCase(row.ValueName.get(), kFileVersionKeyword)) {
            WriteNotKeyword(line, row.ValueName.get(), kFileVersionKeyword);
            line << u": passes unchecked";
            return true;
        }
        const CheckResult result = kind.check(platform, row);
        line << result.reading.Text() << (result.passed ? u": passes" : u": fails");
        return result.passed;
    }
    WriteOtherKind(line, row.Type.get(), kGateTypes, kChangeTypes, u"ChangeElementsFromPrerequisites");
    line << u": passes unchecked";
    return true;
}

// The closing line: how many rows failed, the properties that name them, and the answer.
void WriteSummary(const ActionLog& log, std::uint32_t failures, const LogLine& named, WinResult answer)
{
    LogLine line = log.Line();
    if (failures == 0)
        line << u"no row failed";
    else
        line << failures << (failures == 1 ? u" row failed: " : u" rows failed: ");
    if (failures != 0 && named.Text().empty()) line << u"no property set";
    if (!named.Text().empty()) line << named.Text() << u" set";
    log.Write(line << u"; answers " << answer);
}

}  // namespace

bool RecordFailedRow(Installer& installer, InstallerHandle session, std::uint64_t failureNumber,
                     const char16_t* rowName)
{
    if (failureNumber > kLastFailureNumber) return false;
    char16_t property[kFailurePropertyCapacity];
    if (!FormatBounded(property, kFailurePropertyCapacity, u"%s%d",
                       {kFailurePrefix, static_cast<std::int32_t>(failureNumber)}))
        return false;
    return installer.SetProperty(session, property, rowName) == kErrorSuccess;
}

WinResult CheckPrerequisites(Platform& platform, InstallerHandle session)
{
    const ActionLog log(platform.installer, session, u"CheckPrerequisites");
    std::uint32_t rows = 0;
    std::uint32_t failures = 0;
    LogLine named;  // the failure properties set, by name
    const TableWalk walk = ForEachPrerequisiteRow(platform.installer, session,
                           [&](InstallerHandle rowSession, const PrerequisiteRow& row) {
                               LogLine line = RowLine(log, ++rows, row);
                               const bool passed = CheckRow(platform, row, line);
                               log.Write(line);
                               if (passed) return;
                               if (RecordFailedRow(platform.installer, rowSession, failures, row.Name.get()))
                                   NextInList(named) << kFailurePrefix << failures;
                               ++failures;
                           });
    // A table that could not be read whole may hold a failing row: the gate fails closed.
    const WinResult answer =
        failures > 0 || walk == TableWalk::Failed ? kErrorInstallFailure : kErrorSuccess;
    if (walk == TableWalk::Failed)
        log.Write(log.Line() << TableProblem(walk) << u" (rows read: " << rows
                             << u"): the gate fails closed");
    if (walk == TableWalk::Whole || walk == TableWalk::Failed)
        WriteSummary(log, failures, named, answer);
    else
        log.Write(log.Line() << TableProblem(walk) << u": nothing checked; answers " << answer);
    return answer;
}

}  // namespace zarvo
