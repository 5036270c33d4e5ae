#pragma once
// A package opened on the simulated installer as a real installation opens it: its tables
// the session's database, its Property table and the standard folders the session's
// properties, its components known to the installer.
#include <span>
#include <string_view>

#include "package.h"
#include "platform/sim/sim_installer.h"

namespace zarvo::check {

struct StandardProperty {
    std::u16string_view name;
    std::u16string_view value;
};

// The folders the installer sets for a 32-bit package on 64-bit Windows installed on C:,
// which a formatted field may name ([SystemFolder]msi.dll). A package that sets one of them
// in its Property table is taken at its word.
std::span<const StandardProperty> StandardFolders();

// Every table the package holds, stored (not temporary), each row as many fields as the
// table has columns.
std::shared_ptr<sim::SimDatabase> PackageDatabase(const Package& package);

// A session on the package's database with the standard folders and then the Property
// table's values; every row of the Component table becomes a component of the installer.
InstallerHandle OpenPackageSession(const Package& package, sim::SimInstaller& installer);

}  // namespace zarvo::check
