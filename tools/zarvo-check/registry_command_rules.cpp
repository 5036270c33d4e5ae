#include "registry_command_rules.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "command_target.h"
#include "fields.h"
#include "finding_text.h"
#include "frame/letter_case.h"
#include "frame/nearest_name.h"
#include "property_values.h"
#include "registry_commands.h"
#include "rules.h"
#include "substitution/actions/command_store.h"
#include "substitution/actions/substitution_command.h"

namespace zarvo::check {
namespace {

// What the package does with one family of commands, worked out once for all its rows.
struct FamilyRun {
    bool taken = false;  // a scheduled action takes the commands up
    // The keys its CustomActionData can name; nothing when that cannot be told.
    std::optional<std::vector<std::u16string>> keys;
};

// A Registry row that writes a command value.
struct CommandRow {
    const CommandFamily& family;
    const FamilyRun& run;
    std::u16string name;
    std::optional<std::int32_t> root;
    std::u16string key;
    Field value;
    std::u16string component;
    std::u16string where;
};

// The component attribute that sends its registry values to the 64-bit view.
constexpr std::int32_t kComponent64Bit = 256;
// The roots below which the installer writes into HKEY_LOCAL_MACHINE: always, or in a
// per-machine installation.
constexpr std::int32_t kRootLocalMachine = 2;
constexpr std::int32_t kRootByInstallation = -1;

// The value names the actions read, which a name of neither family is compared with for a
// "did you mean": for as many names as a bound on the comparisons allows, so that a table of
// many values costs little, and only for names near them in length.
struct NearNames {
    std::vector<std::u16string> names;
    std::vector<std::u16string_view> known;
    std::size_t shortest = 0;
    std::size_t longest = 0;
    std::size_t comparisonsLeft = 50000;
};

NearNames ListNearNames()
{
    NearNames near;
    near.names = CommandNames();
    near.known.assign(near.names.begin(), near.names.end());
    const auto [shortest, longest] = std::ranges::minmax(near.known, {}, &std::u16string_view::size);
    near.shortest = shortest.size();
    near.longest = longest.size();
    return near;
}

void Tell(const CommandRow& command, const Rule& rule, std::u16string_view message, Findings& findings)
{
    Report(findings, rule, command.where, message);
}

std::u16string ActionName(const CommandRow& command)
{
    return Widened(command.family.exportName);
}

// "HKLM\SOFTWARE\Acme, SetupSubstFileCmd_0, component Commands": the row as its author wrote
// it, the root as WiX names it (HKMU: HKLM in a per-machine installation, else HKCU).
std::u16string RegistryPlace(std::optional<std::int32_t> root, std::u16string_view key, std::u16string_view name,
                             std::u16string_view component)
{
    constexpr std::u16string_view kRoots[] = {u"HKMU", u"HKCR", u"HKCU", u"HKLM", u"HKU"};
    const std::int32_t first = kRootByInstallation;
    std::u16string place = root && *root >= first && *root < first + std::ssize(kRoots)
                               ? std::u16string(kRoots[*root - first])
                               : u"root " + (root ? Decimal(*root) : u"?");
    place += u'\\';
    place += key;
    place += u", ";
    place += name;
    place += u", component ";
    place += component;
    return Place(u"Registry", place);
}

std::u16string RootName(std::int32_t root)
{
    switch (root) {
    case 0: return u"HKEY_CLASSES_ROOT";
    case 1: return u"HKEY_CURRENT_USER";
    case 3: return u"HKEY_USERS";
    default: return u"the root " + Decimal(root);
    }
}

// The action takes up the numbers 0 to 19, below HKEY_LOCAL_MACHINE.
bool IsWhereTheActionLooks(const CommandRow& command, Findings& findings)
{
    const std::u16string prefix(command.family.prefix);
    if (!IsReadNumber(std::u16string_view(command.name).substr(prefix.size()))) {
        Tell(command, rules::kNumberNeverRead,
             command.name + u" is never run: " + ActionName(command) + u" reads only " + prefix + u"0 to " +
                 prefix + Decimal(kSubstitutionCommandCount - 1),
             findings);
        return false;
    }
    if (command.root && *command.root != kRootLocalMachine && *command.root != kRootByInstallation) {
        Tell(command, rules::kOtherRoot,
             u"the command is written below " + RootName(*command.root) + u", but " + ActionName(command) +
                 u" reads HKEY_LOCAL_MACHINE: it is never run",
             findings);
        return false;
    }
    return true;
}

bool IsTakenUp(const CommandRow& command, Findings& findings)
{
    if (command.run.taken) return true;
    Tell(command, rules::kNoActionRunsCommands,
         u"no scheduled action runs " + ActionName(command) +
             u": the command stays in the registry, never run",
         findings);
    return false;
}

// The keys the action's CustomActionData can name: what the scheduled type-51 actions set
// the property of each scheduled call's name to. Nothing when any of it is known only at
// installation, or when nothing sets it (which the checks of the custom actions report).
std::optional<std::vector<std::u16string>> CommandKeys(const PackageIndex& index, std::string_view exportName)
{
    std::vector<std::u16string> keys;
    for (const CustomActionRow* call : CallsTo(index, exportName)) {
        if (!IsScheduled(index, call->action)) continue;
        for (const CustomActionRow* setter : ScheduledSetters(index, call->action)) {
            const std::optional<std::vector<std::u16string>> texts = PossibleTexts(index, setter->target);
            if (!texts) return std::nullopt;
            keys.insert(keys.end(), texts->begin(), texts->end());
        }
    }
    if (keys.empty()) return std::nullopt;
    return keys;
}

// "A" or "A or B"
std::u16string Alternatives(const std::vector<std::u16string>& texts)
{
    std::u16string joined;
    for (const std::u16string& text : texts) joined += (joined.empty() ? u"" : u" or ") + text;
    return joined;
}

bool IsUnderTheKey(const PackageIndex& index, const CommandRow& command, Findings& findings)
{
    const std::optional<std::vector<std::u16string>>& read = command.run.keys;
    const std::optional<std::vector<std::u16string>> written = PossibleTexts(index, command.key);
    if (!read || !written) return true;
    for (const std::u16string& key : *written)
        for (const std::u16string& readKey : *read)
            if (SameIgnoringLetterCase(key, readKey)) return true;
    Tell(command, rules::kKeyNotRead,
         u"key " + Quoted(command.key) + u" is not the key " + ActionName(command) + u" reads, " +
             Alternatives(*read) + u" (its CustomActionData): the command is never run",
         findings);
    return false;
}

// A package for 32-bit Windows writes every value into the 32-bit view, on 64-bit Windows too.
bool IsInThe32BitPackagesView(const CommandRow& command, Findings& findings)
{
    if (!command.family.reads64BitView) return true;
    Tell(command, rules::kXmlCommandIn32BitPackage,
         u"the command is written by a package for 32-bit Windows, into the 32-bit view: on 64-bit Windows " +
             ActionName(command) +
             u" reads the 64-bit view, so it never runs the command, which stays in the registry with its values",
         findings);
    return false;
}

// On 64-bit Windows the keys below SOFTWARE have a view for 32-bit programs and one for
// 64-bit programs; a component writes into one of them, and each action reads one.
bool IsInTheView(const Package& package, const PackageIndex& index, const CommandRow& command,
                 Findings& findings)
{
    const std::u16string_view software = u"SOFTWARE\\";
    if (!SameIgnoringLetterCase(command.key.substr(0, software.size()), software)) return true;
    if (!package.For64BitWindows()) return IsInThe32BitPackagesView(command, findings);
    const auto component = index.components.find(command.component);
    if (component == index.components.end() || !component->second) return true;
    const std::int32_t attributes = *component->second;
    const bool written64 = (attributes & kComponent64Bit) != 0;
    if (written64 == command.family.reads64BitView) return true;
    const std::u16string_view written = written64 ? u"64-bit" : u"32-bit";
    const std::u16string_view read = command.family.reads64BitView ? u"64-bit" : u"32-bit";
    Tell(command, rules::kOtherView,
         u"the command is written by the " + std::u16string(written) + u" component " + command.component +
             u", in a package for 64-bit Windows: " + ActionName(command) + u" reads the " +
             std::u16string(read) + u" view, where it is not, so it is never run",
         findings);
    return false;
}

void CheckTarget(const PackageIndex& index, const CommandRow& command, std::u16string_view target,
                 Findings& findings)
{
    if (BeginsWithFolder(index, target)) return;
    Tell(command, rules::kTargetWithoutFolder,
         u"the file to rewrite, " + Quoted(target) +
             u", does not begin with a folder ([INSTALLDIR] or another Directory key, [#file] or a standard "
             u"folder property): " +
             ActionName(command) + u" opens only plain absolute paths and leaves the file as it is",
         findings);
}

// "1 string", "2 strings"
std::u16string Strings(std::size_t count)
{
    return Decimal(static_cast<std::int64_t>(count)) + (count == 1 ? u" string" : u" strings");
}

// The pairs end at the first string without "=", or after the last the action takes.
void CheckPairs(const CommandRow& command, const std::vector<std::u16string>& strings, Findings& findings)
{
    for (std::size_t at = 1; at < strings.size(); ++at) {
        const std::size_t after = strings.size() - at - 1;
        if (at - 1 == kSubstitutionPairLimit) {
            Tell(command, rules::kTooManyPairs,
                 u"the command holds more than " + Decimal(kSubstitutionPairLimit) + u" pairs: " +
                     ActionName(command) + u" takes the first " + Decimal(kSubstitutionPairLimit) +
                     u" and ignores the " + Strings(after + 1) + u" after them",
                 findings);
            return;
        }
        if (strings[at].find(u'=') != std::u16string::npos) continue;
        const std::u16string what = strings[at].empty()
                                        ? u"an empty string ends the command early"
                                        : Quoted(strings[at]) + u" has no \"=\" and ends the pairs";
        const std::u16string ignored = after == 0 ? u"it" : u"it and the " + Strings(after) + u" after it";
        Tell(command, rules::kPairsEndEarly, what + u": " + ActionName(command) + u" ignores " + ignored, findings);
        return;
    }
}

void CheckCommandText(const PackageIndex& index, const CommandRow& command, Findings& findings)
{
    if (!command.value) return;
    const std::optional<std::vector<std::u16string>> strings = MultiStrings(*command.value);
    if (!strings) {
        Tell(command, rules::kNotAMultiString,
             u"the value is not a multi-string (no [~] between its strings): " + ActionName(command) +
                 u" takes the whole text as the file to rewrite and replaces nothing",
             findings);
        return;
    }
    CheckTarget(index, command, strings->front(), findings);
    CheckPairs(command, *strings, findings);
}

void CheckCommand(const Package& package, const PackageIndex& index, const CommandRow& command,
                  Findings& findings)
{
    if (IsWhereTheActionLooks(command, findings) && IsTakenUp(command, findings) &&
        IsUnderTheKey(index, command, findings) && IsInTheView(package, index, command, findings))
        CheckCommandText(index, command, findings);
}

void CheckNearName(NearNames& near, std::u16string_view name, std::u16string_view where, Findings& findings)
{
    // A likely typo is at most two edits away, and so at most two characters longer or shorter.
    constexpr std::size_t kTypoEdits = 2;
    if (name.size() + kTypoEdits < near.shortest || name.size() > near.longest + kTypoEdits) return;
    if (near.comparisonsLeft < near.known.size()) return;
    near.comparisonsLeft -= near.known.size();
    const std::optional<std::u16string_view> nearest = NearestName(name, near.known);
    if (!nearest) return;
    Report(findings, rules::kNearCommandName, where,
           u"the value name is none that the substitution actions read (did you mean " + std::u16string(*nearest) +
               u"?): the command is never run, and stays in the registry");
}

}  // namespace

void CheckRegistryCommands(const Package& package, const PackageIndex& index, Findings& findings)
{
    // Without the library in the package, its commands are no affair of the library's.
    if (package.libraryBinaries.empty()) return;
    std::map<const CommandFamily*, FamilyRun> runs;
    NearNames near = ListNearNames();
    const Table& table = package.TableNamed(u"Registry");
    for (std::size_t row = 0; row < table.rows.size(); ++row) {
        const std::u16string name = TextOf(table.Get(row, u"Name"));
        // A name the installer formats is known only at installation.
        if (IsFormatted(name)) continue;
        const std::optional<std::int32_t> root = IntegerOf(table.Get(row, u"Root"));
        const std::u16string key = TextOf(table.Get(row, u"Key"));
        const std::u16string component = TextOf(table.Get(row, u"Component_"));
        const std::u16string where = RegistryPlace(root, key, name, component);
        const CommandFamily* family = FamilyOf(name);
        if (family == nullptr) {
            CheckNearName(near, name, where, findings);
            continue;
        }
        if (!runs.contains(family))
            runs[family] = {RunsExport(index, family->exportName), CommandKeys(index, family->exportName)};
        CheckCommand(package, index,
                     {*family, runs[family], name, root, key, table.Get(row, u"Value"), component, where}, findings);
    }
}

}  // namespace zarvo::check
