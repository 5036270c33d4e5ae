#include "framework_tests.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string_view>

#include "fields.h"

namespace zarvo::check {
namespace {

constexpr std::uint32_t kTypeBase = 0x3F;  // the action's kind and where its code comes from
constexpr std::uint32_t kDllInBinary = 1;
constexpr std::uint32_t kSetProperty = 51;
constexpr std::u16string_view kTestAction = u"IsFrameworkInstalled";

struct CustomAction {
    std::uint32_t type = 0;
    std::u16string source;
    Field target;
};

std::map<std::u16string, CustomAction> CustomActions(const Table& table)
{
    std::map<std::u16string, CustomAction> actions;
    for (std::size_t row = 0; row < table.rows.size(); ++row) {
        const Field name = table.Get(row, u"Action");
        const auto type = IntegerOf(table.Get(row, u"Type"));
        if (!name || !type) continue;
        actions[*name] = {static_cast<std::uint32_t>(*type), table.Get(row, u"Source").value_or(u""),
                          table.Get(row, u"Target")};
    }
    return actions;
}

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
    const auto actions = CustomActions(package.TableNamed(u"CustomAction"));
    std::vector<FrameworkTestCall> calls;
    std::optional<std::u16string> command;
    for (const std::u16string& name : SequencedActions(package.TableNamed(u"InstallExecuteSequence"))) {
        const auto found = actions.find(name);
        if (found == actions.end()) continue;
        const CustomAction& action = found->second;
        const std::uint32_t base = action.type & kTypeBase;
        if (base == kSetProperty && action.source == kFrameworkTestCommand) command = action.target.value_or(u"");
        if (base == kDllInBinary && package.libraryBinaries.contains(action.source) &&
            action.target == kTestAction)
            calls.push_back({name, command});
    }
    return calls;
}

}  // namespace zarvo::check
