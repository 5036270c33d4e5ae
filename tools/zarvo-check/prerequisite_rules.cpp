#include "prerequisite_rules.h"

#include <map>
#include <optional>
#include <span>
#include <vector>

#include "fields.h"
#include "finding_text.h"
#include "frame/letter_case.h"
#include "frame/nearest_name.h"
#include "prerequisite_row_rules.h"
#include "prerequisites/prerequisite_table.h"
#include "prerequisites/row_kinds.h"
#include "property_values.h"
#include "rules.h"

namespace zarvo::check {
namespace {

constexpr std::string_view kGateAction = "CheckPrerequisites";
constexpr std::string_view kChangeAction = "ChangeElementsFromPrerequisites";

// Which of the two actions that read the table the package runs.
struct Readers {
    bool gate = false;
    bool change = false;
};

// "CheckPrerequisites reads: it does", or both names and "read: they do".
std::u16string ReadersDoNothing(const Readers& readers)
{
    if (readers.gate && readers.change)
        return Widened(kGateAction) + u" and " + Widened(kChangeAction) +
               u" read: they do nothing and answer 0";
    return Widened(readers.gate ? kGateAction : kChangeAction) + u" reads: it does nothing and answers 0";
}

// "the column Order", "the columns Component_ and Order", "the columns Value, Component_ and Order"
std::u16string ColumnList(const std::vector<std::u16string_view>& columns)
{
    std::u16string list = columns.size() == 1 ? u"the column " : u"the columns ";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0) list += i + 1 == columns.size() ? u" and " : u", ";
        list += columns[i];
    }
    return list;
}

// False, with the finding, when the actions will not read the table's rows at all.
bool CheckTableReadable(const Table& table, const Readers& readers, Findings& findings)
{
    const std::u16string where(kPrerequisitesTable);
    if (!table.present) {
        Report(findings, rules::kNoPrerequisiteTable, where,
               u"the package has no Prerequisites table, which " + ReadersDoNothing(readers));
        return false;
    }
    std::vector<std::u16string_view> missing;
    for (const std::u16string_view column : kPrerequisiteColumns)
        if (!table.Column(column)) missing.push_back(column);
    if (missing.empty()) return true;
    Report(findings, rules::kLackingColumns, where,
           u"the table lacks " + ColumnList(missing) + u", which " + ReadersDoNothing(readers));
    return false;
}

// The kind as the README writes it, when the Type is one in any letter case.
std::optional<std::u16string_view> KindIn(std::span<const std::u16string_view> kinds,
                                          std::u16string_view type)
{
    for (const std::u16string_view kind : kinds)
        if (SameIgnoringLetterCase(kind, type)) return kind;
    return std::nullopt;
}

void ReportUnknownType(std::u16string_view type, std::u16string_view where, Findings& findings)
{
    std::vector<std::u16string_view> kinds(std::begin(kGateTypes), std::end(kGateTypes));
    kinds.insert(kinds.end(), std::begin(kChangeTypes), std::end(kChangeTypes));
    const std::optional<std::u16string_view> nearest = NearestName(type, kinds);
    std::u16string message = u"unknown Type " + Quoted(type);
    // Each action passes over a row of no kind of its own: what it was likely meant for is lost.
    std::u16string_view lost = u"the row passes unchecked and changes nothing";
    if (nearest) {
        message += u" (did you mean " + std::u16string(*nearest) + u"?)";
        lost = KindIn(kGateTypes, *nearest) ? u"the row passes unchecked" : u"the row changes nothing";
    }
    Report(findings, rules::kUnknownType, where, message + u": " + std::u16string(lost));
}

// "Prerequisites[Order 3, Windows XP or later]": the row's Order, or its place when it has
// none, and its Name, which the failure property holds.
std::u16string RowPlace(const Table& table, std::size_t row)
{
    const Field order = table.Get(row, u"Order");
    std::u16string key = order ? u"Order " + *order : u"row " + Decimal(static_cast<std::int64_t>(row) + 1);
    if (const Field name = table.Get(row, u"Name"); name && !name->empty()) key += u", " + *name;
    return Place(kPrerequisitesTable, key);
}

// The Names of the rows read so far, by their Order.
using NamesByOrder = std::map<std::u16string, std::u16string>;

// The order of the rows decides the numbers of the failure properties and which change comes
// first; rows of equal Order leave it to the installer.
void CheckOrderUnique(const Table& table, std::size_t row, NamesByOrder& seen, Findings& findings)
{
    const Field order = table.Get(row, u"Order");
    if (!order) return;
    const auto [first, added] = seen.emplace(*order, TextOf(table.Get(row, u"Name")));
    if (added) return;
    Report(findings, rules::kSameOrder, RowPlace(table, row),
           u"Order " + *order + u" is also the Order of the row " + Quoted(first->second) +
               u": the two are read in whichever order the installer delivers them, which the package does "
               u"not decide");
}

void CheckRow(const PackageIndex& index, KnownComponents& components, const Table& table, std::size_t row,
              const Readers& readers, Findings& findings)
{
    const std::u16string type = TextOf(table.Get(row, u"Type"));
    // A Type the installer formats is known only at installation.
    if (IsFormatted(type)) return;
    const std::optional<std::u16string_view> gateKind = KindIn(kGateTypes, type);
    const std::optional<std::u16string_view> changeKind = KindIn(kChangeTypes, type);
    const PrerequisiteFields fields{gateKind.value_or(changeKind.value_or(u"")),
                                    TextOf(table.Get(row, u"Name")),
                                    TextOf(table.Get(row, u"Destination")),
                                    TextOf(table.Get(row, u"ValueName")),
                                    TextOf(table.Get(row, u"Value")),
                                    RowPlace(table, row)};
    if (gateKind && readers.gate) CheckGateRow(fields, findings);
    if (changeKind && readers.change) CheckChangeRow(index, components, fields, findings);
    if (!gateKind && !changeKind) ReportUnknownType(type, fields.where, findings);
}

}  // namespace

void CheckPrerequisiteTable(const Package& package, const PackageIndex& index, Findings& findings)
{
    const Readers readers{RunsExport(index, kGateAction), RunsExport(index, kChangeAction)};
    if (!readers.gate && !readers.change) return;
    const Table& table = package.TableNamed(kPrerequisitesTable);
    if (!CheckTableReadable(table, readers, findings)) return;
    KnownComponents components = ListComponents(index);
    NamesByOrder seen;
    for (std::size_t row = 0; row < table.rows.size(); ++row) {
        CheckRow(index, components, table, row, readers, findings);
        CheckOrderUnique(table, row, seen, findings);
    }
}

}  // namespace zarvo::check
