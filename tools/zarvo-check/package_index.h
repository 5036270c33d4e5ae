#pragma once
// The package as the checks ask about it, indexed once: its custom actions and the places its
// sequences schedule them, and the keys of the tables that name folders, files, components
// and properties. Each question then costs little, however large the package.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "dll/action_table.h"
#include "package.h"

namespace zarvo::check {

// The sequence tables, in the order the checks go through them.
inline constexpr std::u16string_view kSequenceTables[] = {
    u"InstallExecuteSequence",
    u"InstallUISequence",
    u"AdminExecuteSequence",
    u"AdvtExecuteSequence",
};

// A row of the CustomAction table whose Action and Type can be read.
struct CustomActionRow {
    std::u16string action;
    std::uint32_t type = 0;
    std::u16string source;
    std::u16string target;
    // A DLL call into a Binary row that holds this library; then Target is its DllEntry.
    bool onLibrary = false;
    // The export Target names, when it calls this library and names one.
    const ActionEntry* entry = nullptr;
};

// A sequence row that schedules an action: one whose condition is not plainly false.
struct Step {
    std::u16string_view table;
    std::u16string action;
    std::optional<std::int32_t> sequence;  // nothing when the field holds no number
};

struct PackageIndex {
    std::vector<CustomActionRow> customActions;
    std::vector<Step> steps;
    std::multimap<std::u16string, std::size_t, std::less<>> stepsByAction;  // into steps
    std::multimap<std::u16string, std::size_t, std::less<>>
        scheduledSetters;                                              // by property, into customActions
    std::map<std::u16string, std::u16string, std::less<>> properties;  // the Property table
    std::set<std::u16string, std::less<>> directories;                 // Directory keys
    std::set<std::u16string, std::less<>> files;                       // File keys
    std::map<std::u16string, std::optional<std::int32_t>, std::less<>> components;  // with their Attributes
};

PackageIndex IndexPackage(const Package& package);

// The custom action sets the property its Source names to its Target, formatted (type 51).
bool SetsProperty(const CustomActionRow& row);

// The custom action runs in the installation script (deferred, rollback or commit), where
// CustomActionData is its only input.
bool IsDeferred(const CustomActionRow& row);

// Every step that schedules the action.
std::vector<const Step*> StepsOf(const PackageIndex& index, std::u16string_view action);
bool IsScheduled(const PackageIndex& index, std::u16string_view action);
// The sequence number at which the table schedules the action; nothing when it does not.
std::optional<std::int32_t> SequenceIn(const PackageIndex& index, std::u16string_view table,
                                       std::u16string_view action);

// The custom actions that call the export, scheduled or not.
std::vector<const CustomActionRow*> CallsTo(const PackageIndex& index, std::string_view exportName);
// Whether a custom action that calls the export is scheduled.
bool RunsExport(const PackageIndex& index, std::string_view exportName);
// The scheduled type-51 actions that set the property.
std::vector<const CustomActionRow*> ScheduledSetters(const PackageIndex& index, std::u16string_view property);

}  // namespace zarvo::check
