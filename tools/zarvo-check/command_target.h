#pragma once
// The file a substitution command rewrites, as the package writes it: it must become a plain
// absolute path at installation, which a folder of the package's gives it.
#include <string_view>

#include "package_index.h"

namespace zarvo::check {

// Whether the target begins with a folder: a reference to a Directory key, a standard folder
// property, an installed file ([#key] or [!key]) or a property the package sets to a folder
// (at installation, or as an absolute path in the Property table), or with an absolute path.
bool BeginsWithFolder(const PackageIndex& index, std::u16string_view target);

}  // namespace zarvo::check
