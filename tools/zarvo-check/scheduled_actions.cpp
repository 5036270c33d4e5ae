#include "scheduled_actions.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string_view>

#include "package_index.h"

namespace zarvo::check {
namespace {

constexpr std::u16string_view kSequence = u"InstallExecuteSequence";
// msidbCustomActionTypeContinue: the installer goes on whatever the action answers.
constexpr std::uint32_t kAnswerIgnored = 0x40;

// The library's actions that read only the session and the machine, which the dry run can
// run as the installer would: the gate, the changes it makes and the framework test.
bool RunsDry(const ActionEntry& entry)
{
    return entry.name == "CheckPrerequisites" || entry.name == "ChangeElementsFromPrerequisites" ||
           entry.name == "IsFrameworkInstalled";
}

// The actions the sequence schedules, in the order the installer runs them.
std::vector<std::u16string_view> SequencedActions(const PackageIndex& index)
{
    std::vector<const Step*> steps;
    for (const Step& step : index.steps)
        if (step.table == kSequence && step.sequence && *step.sequence > 0) steps.push_back(&step);
    std::ranges::stable_sort(steps, {}, [](const Step* step) { return *step->sequence; });
    std::vector<std::u16string_view> names;
    for (const Step* step : steps) names.push_back(step->action);
    return names;
}

}  // namespace

std::vector<ScheduledCall> ScheduledCalls(const Package& package)
{
    const PackageIndex index = IndexPackage(package);
    std::map<std::u16string_view, const CustomActionRow*> actions;
    for (const CustomActionRow& row : index.customActions) actions.insert_or_assign(row.action, &row);
    std::vector<ScheduledCall> calls;
    std::optional<std::u16string> command;
    for (const std::u16string_view name : SequencedActions(index)) {
        const auto found = actions.find(name);
        if (found == actions.end()) continue;
        const CustomActionRow& action = *found->second;
        if (SetsProperty(action) && action.source == kFrameworkTestCommand) command = action.target;
        if (action.entry != nullptr && RunsDry(*action.entry))
            calls.push_back({action.action, action.entry, (action.type & kAnswerIgnored) != 0, command});
    }
    return calls;
}

}  // namespace zarvo::check
