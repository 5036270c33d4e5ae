#pragma once
// The package's own Prerequisites table, read row by row as the installer formats it.
#include <functional>

#include "frame/installer_access.h"

namespace zarvo {

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

// Calls the handler for every complete row of a stored Prerequisites table, in ascending
// Order. A package without such a table, or a query that does not run, calls it for none;
// a row with a field that cannot be read is skipped. Every handle is closed on return.
void ForEachPrerequisiteRow(Installer& installer, InstallerHandle session,
                            const PrerequisiteRowHandler& handler);

}  // namespace zarvo
