#include "framework_tests.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string_view>

#include "fields.h"
#include "package_index.h"

namespace zarvo::check {
namespace {

constexpr std::u16string_view kTestAction = u"IsFrameworkInstalled";

// The actions of the sequence that the installer runs in order, in that order.
std::vector<std::u16string> SequencedActions(const Table& table)
{
    std::vector<std::pair<std::int64_t, std::u16string>> sequenced;
    for (std::size_t row = 0; row < table.rows.size(); ++row) {
        const Field name = table.Get(row, u"Action");
        const auto number = IntegerOf(table.Get(row, u"Sequence"));
        if (name && number && *number > 0) sequenced.emplace_back(*number, *name);
    }
    std::ranges::stable_sort(sequenced, {}, &std::pair<std::int64_t, std::u16string>::first);
    std::vector<std::u16string> names;
    for (auto& entry : sequenced) names.push_back(std::move(entry.second));
    return names;
}

}  // namespace

std::vector<FrameworkTestCall> FrameworkTestCalls(const Package& package)
{
    const PackageIndex index = IndexPackage(package);
    std::map<std::u16string_view, const CustomActionRow*> actions;
    for (const CustomActionRow& row : index.customActions) actions.insert_or_assign(row.action, &row);
    std::vector<FrameworkTestCall> calls;
    std::optional<std::u16string> command;
    for (const std::u16string& name : SequencedActions(package.TableNamed(u"InstallExecuteSequence"))) {
        const auto found = actions.find(name);
        if (found == actions.end()) continue;
        const CustomActionRow& action = *found->second;
        if (SetsProperty(action) && action.source == kFrameworkTestCommand) command = action.target;
        if (action.onLibrary && action.target == kTestAction) calls.push_back({name, command});
    }
    return calls;
}

}  // namespace zarvo::check
