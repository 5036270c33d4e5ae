#include "sequence_rules.h"

#include "fields.h"
#include "finding_text.h"
#include "frame/letter_case.h"
#include "prerequisites/prerequisite_table.h"
#include "prerequisites/row_kinds.h"
#include "rules.h"

namespace zarvo::check {
namespace {

constexpr std::string_view kChangeAction = "ChangeElementsFromPrerequisites";
constexpr std::string_view kFrameworkAction = "NetFrameworkInstall";

// Whether a row of the Prerequisites table may ask for a component to be left out.
bool AsksToLeaveOut(const Package& package)
{
    const Table& table = package.TableNamed(kPrerequisitesTable);
    for (std::size_t row = 0; row < table.rows.size(); ++row) {
        const std::u16string type = TextOf(table.Get(row, u"Type"));
        if (SameIgnoringLetterCase(type, kCheckVersionDisableComponent) ||
            SameIgnoringLetterCase(type, kCheckFileVersionDisableComponent))
            return true;
    }
    return false;
}

// "runs at 900", the step's place for a finding.
std::u16string RunsAt(const Step& step)
{
    return std::u16string(step.action) + u" runs at " + Decimal(*step.sequence);
}

// The installer takes a request for a component's state only between costing and validation.
void CheckCostingWindow(const PackageIndex& index, const Step& step, Findings& findings)
{
    const std::optional<std::int32_t> costed = SequenceIn(index, step.table, u"CostFinalize");
    const std::optional<std::int32_t> validated = SequenceIn(index, step.table, u"InstallValidate");
    std::u16string problem;
    if (!costed)
        problem =
            u", in a table without CostFinalize: the installer refuses to leave components out before "
            u"costing is done";
    else if (*step.sequence <= *costed)
        problem = u", not after CostFinalize (" + Decimal(*costed) +
                  u"): the installer refuses to leave components out before costing is done";
    else if (validated && *step.sequence >= *validated)
        problem = u", not before InstallValidate (" + Decimal(*validated) +
                  u"): the components it asks to leave out are already validated for installation";
    if (problem.empty()) return;
    Report(findings, rules::kChangesOutsideCosting, Place(step.table, step.action),
           RunsAt(step) + problem + u", so they are installed");
}

// SourceDir, the redistributable's folder, is set by ResolveSource alone.
void CheckSourceResolved(const PackageIndex& index, const Step& step, Findings& findings)
{
    const std::optional<std::int32_t> resolved = SequenceIn(index, step.table, u"ResolveSource");
    if (resolved && *resolved < *step.sequence) return;
    const std::u16string when = resolved ? u", not after ResolveSource (" + Decimal(*resolved) + u")"
                                         : u", and this table has no ResolveSource";
    Report(findings, rules::kFrameworkBeforeSource, Place(step.table, step.action),
           RunsAt(step) + when +
               u": SourceDir is not set, so the redistributable's path is its file name alone, whose version "
               u"cannot be read, and NetFrameworkFullPath names no file the package can run");
}

// A deferred action is written into the installation script, which InstallInitialize begins
// and InstallFinalize runs.
void CheckScriptWindow(const PackageIndex& index, const Step& step, Findings& findings)
{
    const std::optional<std::int32_t> begun = SequenceIn(index, step.table, u"InstallInitialize");
    const std::optional<std::int32_t> run = SequenceIn(index, step.table, u"InstallFinalize");
    const std::u16string_view refused =
        u"the installation script is not begun, so the installer refuses the action (error 2762) and the "
        u"installation fails";
    std::u16string problem;
    if (!begun)
        problem = u", in a table without InstallInitialize: " + std::u16string(refused);
    else if (*step.sequence <= *begun)
        problem = u", not after InstallInitialize (" + Decimal(*begun) + u"): " + std::u16string(refused);
    else if (run && *step.sequence >= *run)
        problem = u", not before InstallFinalize (" + Decimal(*run) +
                  u"): the installation script has run by then, so the action never runs";
    if (problem.empty()) return;
    Report(findings, rules::kDeferredOutsideScript, Place(step.table, step.action),
           u"the deferred action " + RunsAt(step) + problem);
}

void CheckDeferredSteps(const PackageIndex& index, Findings& findings)
{
    for (const CustomActionRow& row : index.customActions) {
        if (!row.onLibrary || !IsDeferred(row)) continue;
        for (const Step* step : StepsOf(index, row.action))
            if (step->sequence) CheckScriptWindow(index, *step, findings);
    }
}

// Each numbered step of the calls to the export, given to the check.
template <typename Check>
void ForEachNumberedStep(const PackageIndex& index, std::string_view exportName, Check check)
{
    for (const CustomActionRow* call : CallsTo(index, exportName))
        for (const Step* step : StepsOf(index, call->action))
            if (step->sequence) check(*step);
}

}  // namespace

void CheckSequences(const Package& package, const PackageIndex& index, Findings& findings)
{
    CheckDeferredSteps(index, findings);
    if (AsksToLeaveOut(package))
        ForEachNumberedStep(index, kChangeAction,
                            [&](const Step& step) { CheckCostingWindow(index, step, findings); });
    ForEachNumberedStep(index, kFrameworkAction,
                        [&](const Step& step) { CheckSourceResolved(index, step, findings); });
}

}  // namespace zarvo::check
