#pragma once
// The package's own Prerequisites table, read row by row as the installer formats it.
#include <functional>
#include <string_view>

#include "frame/installer_access.h"

namespace zarvo {

// The package's table, and the columns the walk reads, Order last as the one it sorts by: a
// table that lacks any of them is not read at all.
inline constexpr std::u16string_view kPrerequisitesTable = u"Prerequisites";
inline constexpr std::u16string_view kPrerequisiteColumns[] = {
    u"Type", u"Name", u"Destination", u"ValueName", u"Value", u"Component_", u"Order",
};

// One row of the table: the six formatted texts, all present, owned by the row.
struct PrerequisiteRow {
    OwnedText Type;
    OwnedText Name;
    OwnedText Destination;
    OwnedText ValueName;
    OwnedText Value;
    OwnedText Component_;
};

using PrerequisiteRowHandler =
    std::function<void(InstallerHandle session, const PrerequisiteRow& row)>;

// How a walk over the table ended.
enum class TableWalk {
    // Every row was handed to the handler (an empty table has none).
    Whole,
    // The package has no table of that name: there is nothing of ours to walk.
    NoTable,
    // The table lives only in the running installation: it is not the package's own.
    TemporaryTable,
    // The stored table lacks a column that the query names: nothing of ours either.
    LacksColumn,
    // The installer failed while the table was being read: rows after the failure were
    // never seen, so what they would have said is unknown.
    Failed,
};

// Calls the handler for every row of a stored Prerequisites table, in ascending Order,
// and stops at the first failure. Every handle is closed on return.
TableWalk ForEachPrerequisiteRow(Installer& installer, InstallerHandle session,
                                 const PrerequisiteRowHandler& handler);

}  // namespace zarvo
