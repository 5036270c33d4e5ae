#include "prerequisites/prerequisite_table.h"

#include <optional>

#include "frame/result_codes.h"

namespace zarvo {
namespace {

// The one query the table is ever read through; a table that lacks a column fails it.
constexpr const char16_t* kPrerequisitesQuery =
    u"Select `Type`,`Name`,`Destination`,`ValueName`,`Value`,`Component_`,`Order` "
    u"FROM `Prerequisites` ORDER BY `Order`";

// The query names the table and every column of kPrerequisiteColumns, in their order.
constexpr bool QueryReadsTheColumns(std::u16string_view query)
{
    std::size_t at = query.find(kPrerequisitesTable);
    if (at == std::u16string_view::npos) return false;
    at = 0;
    for (const std::u16string_view column : kPrerequisiteColumns) {
        at = query.find(column, at);
        if (at == std::u16string_view::npos) return false;
        at += column.size();
    }
    return true;
}
static_assert(QueryReadsTheColumns(kPrerequisitesQuery));

// Fields 1 to 6 of the fetched record, or nothing when any one of them cannot be read.
std::optional<PrerequisiteRow> ReadPrerequisiteRow(Installer& installer, InstallerHandle session,
                                                   InstallerHandle record)
{
    OwnedText fields[6];
    bool complete = true;
    for (std::uint32_t field = 1; field <= 6; ++field) {
        fields[field - 1] = ReadRecordField(installer, session, record, field);
        complete = complete && fields[field - 1] != nullptr;
    }
    if (!complete) return std::nullopt;
    return PrerequisiteRow{std::move(fields[0]), std::move(fields[1]), std::move(fields[2]),
                           std::move(fields[3]), std::move(fields[4]), std::move(fields[5])};
}

}  // namespace

TableWalk ForEachPrerequisiteRow(Installer& installer, InstallerHandle session,
                                 const PrerequisiteRowHandler& handler)
{
    // Declared in opening order, so that they close record, view, database.
    InstallerHandleGuard database(installer, installer.GetActiveDatabase(session));
    if (database.Get() == 0) return TableWalk::Failed;
    // A temporary table of the running installation is not the package's own.
    const int persistent = installer.IsTablePersistent(database.Get(), kPrerequisitesTable.data());
    if (persistent == kConditionError) return TableWalk::Failed;
    if (persistent == kConditionFalse) return TableWalk::TemporaryTable;
    if (persistent != kConditionTrue) return TableWalk::NoTable;
    InstallerHandleGuard view(installer);
    const WinResult opened = installer.OpenView(database.Get(), kPrerequisitesQuery, view.Receive());
    // The installer refuses the query as bad syntax when the table lacks one of its columns.
    if (opened == kErrorBadQuerySyntax) return TableWalk::LacksColumn;
    if (opened != kErrorSuccess) return TableWalk::Failed;
    if (installer.ExecuteView(view.Get(), 0) != kErrorSuccess) return TableWalk::Failed;
    InstallerHandleGuard record(installer);
    for (;;) {
        const WinResult fetched = installer.FetchRecord(view.Get(), record.Receive());
        if (fetched == kErrorNoMoreItems) return TableWalk::Whole;
        if (fetched != kErrorSuccess) return TableWalk::Failed;
        const std::optional<PrerequisiteRow> row = ReadPrerequisiteRow(installer, session, record.Get());
        if (!row) return TableWalk::Failed;
        handler(session, *row);
    }
}

}  // namespace zarvo
