#include "prerequisites/prerequisite_table.h"

#include <optional>

#include "frame/result_codes.h"

namespace zarvo {
namespace {

// The one query the table is ever read through; a table that lacks a column fails it.
constexpr const char16_t* kPrerequisitesQuery =
    u"Select `Type`,`Name`,`Destination`,`ValueName`,`Value`,`Component_`,`Order` "
    u"FROM `Prerequisites` ORDER BY `Order`";

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

void ForEachPrerequisiteRow(Installer& installer, InstallerHandle session,
                            const PrerequisiteRowHandler& handler)
{
    // Declared in opening order, so that they close record, view, database.
    InstallerHandleGuard database(installer, installer.GetActiveDatabase(session));
    if (database.Get() == 0) return;
    // A temporary table of the running installation is not the package's own.
    if (installer.IsTablePersistent(database.Get(), u"Prerequisites") != kConditionTrue) return;
    InstallerHandleGuard view(installer);
    if (installer.OpenView(database.Get(), kPrerequisitesQuery, view.Receive()) != kErrorSuccess)
        return;
    if (installer.ExecuteView(view.Get(), 0) != kErrorSuccess) return;
    InstallerHandleGuard record(installer);
    // A failed fetch ends the rows as the end of the table does; the two are not told apart.
    while (installer.FetchRecord(view.Get(), record.Receive()) == kErrorSuccess) {
        const std::optional<PrerequisiteRow> row = ReadPrerequisiteRow(installer, session, record.Get());
        if (row) handler(session, *row);
    }
}

}  // namespace zarvo
