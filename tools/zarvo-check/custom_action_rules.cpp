#include "custom_action_rules.h"

#include <optional>
#include <vector>

#include "finding_text.h"
#include "frame/letter_case.h"
#include "frame/nearest_name.h"
#include "processes/close_window_by_guid.h"
#include "processes/run_foreground_program.h"
#include "property_values.h"
#include "rules.h"

namespace zarvo::check {
namespace {

// The actions that read a property of their own, and what becomes of them without it.
struct NamedInput {
    std::string_view exportName;
    std::u16string_view property;
    std::u16string_view consequence;
};

constexpr NamedInput kNamedInputs[] = {
    {"RunForegroundProgram", kForegroundProgramProperty, u"the action starts no program"},
    {"CloseWindowByGUID", kWindowTitleProperty, u"the title is empty, so the action closes no window"},
};

std::u16string CustomActionPlace(const CustomActionRow& row)
{
    return Place(u"CustomAction", row.action);
}

// The export a DllEntry that is none was meant to be: one that differs in letter case only,
// else a likely typo of one.
std::optional<std::u16string> MeantExport(std::u16string_view entry)
{
    std::vector<std::u16string> names;
    for (const ActionEntry& action : ActionTable()) names.push_back(Widened(action.name));
    for (const std::u16string& name : names)
        if (SameIgnoringLetterCase(name, entry)) return name;
    const std::vector<std::u16string_view> known(names.begin(), names.end());
    const std::optional<std::u16string_view> nearest = NearestName(entry, known);
    if (!nearest) return std::nullopt;
    return std::u16string(*nearest);
}

void CheckEntry(const CustomActionRow& row, Findings& findings)
{
    if (!row.onLibrary || row.entry != nullptr) return;
    std::u16string message = u"DllEntry " + Quoted(row.target) + u" is not an action of this library";
    if (const std::optional<std::u16string> meant = MeantExport(row.target))
        message += u" (did you mean " + *meant + u"?)";
    Report(findings, rules::kUnknownExport, CustomActionPlace(row),
           message + u": the installer finds no such export and cannot run the action (error 1723)");
}

// The type-51 actions of the table that set the property of the action's name, before the
// step or at any place.
std::vector<const CustomActionRow*> FeedersIn(const PackageIndex& index, const Step& step, bool onlyBefore)
{
    std::vector<const CustomActionRow*> feeders;
    for (const CustomActionRow* setter : ScheduledSetters(index, step.action)) {
        const std::optional<std::int32_t> at = SequenceIn(index, step.table, setter->action);
        if (at && (!onlyBefore || *at < *step.sequence)) feeders.push_back(setter);
    }
    return feeders;
}

// A deferred action reads the CustomActionData the installer gives it from the property of
// its own name, as the table's steps before it have set it.
void CheckFedStep(const PackageIndex& index, const CustomActionRow& row, const Step& step, Findings& findings)
{
    if (!step.sequence || !FeedersIn(index, step, true).empty()) return;
    const std::vector<const CustomActionRow*> later = FeedersIn(index, step, false);
    const std::u16string what =
        later.empty() ? u"no type-51 action sets the property " + row.action + u" before it in this table"
                      : u"the type-51 action " + later.front()->action + u" sets the property " + row.action +
                            u", but not before it";
    Report(findings, rules::kUnfedDataReader, Place(step.table, row.action),
           what + u": its CustomActionData is empty, so " + Widened(row.entry->name) + u" does nothing");
}

void CheckCustomActionData(const PackageIndex& index, const CustomActionRow& row, Findings& findings)
{
    if (row.entry == nullptr || !row.entry->readsCustomActionData) return;
    const std::vector<const Step*> steps = StepsOf(index, row.action);
    if (steps.empty()) return;
    if (!IsDeferred(row)) {
        Report(findings, rules::kImmediateDataReader, CustomActionPlace(row),
               Widened(row.entry->name) + u" runs immediate (Type " + Decimal(row.type) +
                   u"): its only input, CustomActionData, is given to deferred actions alone, so it "
                   u"finds it empty and does nothing");
        return;
    }
    for (const Step* step : steps) CheckFedStep(index, row, *step, findings);
}

void CheckNamedInput(const PackageIndex& index, const CustomActionRow& row, Findings& findings)
{
    for (const NamedInput& input : kNamedInputs) {
        if (row.entry == nullptr || row.entry->name != input.exportName) continue;
        if (!IsScheduled(index, row.action) || IsSetByPackage(index, input.property)) return;
        Report(findings, rules::kPropertyNotSet, CustomActionPlace(row),
               u"nothing sets the property " + std::u16string(input.property) +
                   u" (no Property row, no scheduled type-51 action): " + std::u16string(input.consequence));
    }
}

}  // namespace

void CheckCustomActions(const PackageIndex& index, Findings& findings)
{
    for (const CustomActionRow& row : index.customActions) {
        CheckEntry(row, findings);
        CheckCustomActionData(index, row, findings);
        CheckNamedInput(index, row, findings);
    }
}

}  // namespace zarvo::check
