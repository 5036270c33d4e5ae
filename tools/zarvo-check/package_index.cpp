#include "package_index.h"

#include "fields.h"
#include "utf8.h"

namespace zarvo::check {
namespace {

// The custom action type's low six bits: where its code comes from and what kind it is.
constexpr std::uint32_t kBaseTypeMask = 0x3F;
constexpr std::uint32_t kDllInBinary = 1;
constexpr std::uint32_t kSetProperty = 51;
constexpr std::uint32_t kInScript = 0x400;

// A condition that can never hold; any other, the empty one included, may.
bool PlainlyFalse(const Field& condition)
{
    const std::u16string whole = TextOf(condition);
    std::u16string_view text = whole;
    while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
    return text == u"0";
}

void IndexCustomActions(const Package& package, PackageIndex& index)
{
    const Table& table = package.TableNamed(u"CustomAction");
    for (std::size_t row = 0; row < table.rows.size(); ++row) {
        const Field action = table.Get(row, u"Action");
        const std::optional<std::int32_t> type = IntegerOf(table.Get(row, u"Type"));
        if (!action || !type) continue;
        CustomActionRow read{*action, static_cast<std::uint32_t>(*type), TextOf(table.Get(row, u"Source")),
                             TextOf(table.Get(row, u"Target"))};
        read.onLibrary =
            (read.type & kBaseTypeMask) == kDllInBinary && package.libraryBinaries.contains(read.source);
        if (read.onLibrary) read.entry = FindAction(ToUtf8(read.target));
        if (SetsProperty(read) && IsScheduled(index, read.action))
            index.scheduledSetters.emplace(read.source, index.customActions.size());
        index.customActions.push_back(std::move(read));
    }
}

void IndexSteps(const Package& package, PackageIndex& index)
{
    for (const std::u16string_view name : kSequenceTables) {
        const Table& table = package.TableNamed(name);
        for (std::size_t row = 0; row < table.rows.size(); ++row) {
            const Field action = table.Get(row, u"Action");
            if (!action || PlainlyFalse(table.Get(row, u"Condition"))) continue;
            index.stepsByAction.emplace(*action, index.steps.size());
            index.steps.push_back({name, *action, IntegerOf(table.Get(row, u"Sequence"))});
        }
    }
}

// The first column of every row of the table, and the named column beside it.
template <typename Add>
void ForEachKey(const Package& package, std::u16string_view name, std::u16string_view column, Add add)
{
    const Table& table = package.TableNamed(name);
    for (std::size_t row = 0; row < table.rows.size(); ++row) {
        const Field key = table.rows[row].empty() ? std::nullopt : table.rows[row].front();
        if (key) add(*key, table.Get(row, column));
    }
}

void IndexKeys(const Package& package, PackageIndex& index)
{
    ForEachKey(package, u"Property", u"Value", [&](const std::u16string& key, const Field& value) {
        index.properties.emplace(key, TextOf(value));
    });
    ForEachKey(package, u"Directory", u"Directory",
               [&](const std::u16string& key, const Field&) { index.directories.insert(key); });
    ForEachKey(package, u"File", u"File",
               [&](const std::u16string& key, const Field&) { index.files.insert(key); });
    ForEachKey(package, u"Component", u"Attributes", [&](const std::u16string& key, const Field& attributes) {
        index.components.emplace(key, IntegerOf(attributes));
    });
}

}  // namespace

PackageIndex IndexPackage(const Package& package)
{
    PackageIndex index;
    IndexSteps(package, index);
    IndexCustomActions(package, index);
    IndexKeys(package, index);
    return index;
}

bool SetsProperty(const CustomActionRow& row)
{
    return (row.type & kBaseTypeMask) == kSetProperty;
}

bool IsDeferred(const CustomActionRow& row)
{
    return (row.type & kInScript) != 0;
}

std::vector<const Step*> StepsOf(const PackageIndex& index, std::u16string_view action)
{
    std::vector<const Step*> steps;
    const auto [first, last] = index.stepsByAction.equal_range(action);
    for (auto at = first; at != last; ++at) steps.push_back(&index.steps[at->second]);
    return steps;
}

bool IsScheduled(const PackageIndex& index, std::u16string_view action)
{
    return index.stepsByAction.find(action) != index.stepsByAction.end();
}

std::optional<std::int32_t> SequenceIn(const PackageIndex& index, std::u16string_view table,
                                       std::u16string_view action)
{
    for (const Step* step : StepsOf(index, action))
        if (step->table == table) return step->sequence;
    return std::nullopt;
}

std::vector<const CustomActionRow*> CallsTo(const PackageIndex& index, std::string_view exportName)
{
    std::vector<const CustomActionRow*> calls;
    for (const CustomActionRow& row : index.customActions)
        if (row.entry != nullptr && row.entry->name == exportName) calls.push_back(&row);
    return calls;
}

bool RunsExport(const PackageIndex& index, std::string_view exportName)
{
    for (const CustomActionRow* call : CallsTo(index, exportName))
        if (IsScheduled(index, call->action)) return true;
    return false;
}

std::vector<const CustomActionRow*> ScheduledSetters(const PackageIndex& index, std::u16string_view property)
{
    std::vector<const CustomActionRow*> setters;
    const auto [first, last] = index.scheduledSetters.equal_range(property);
    for (auto at = first; at != last; ++at) setters.push_back(&index.customActions[at->second]);
    return setters;
}

}  // namespace zarvo::check
