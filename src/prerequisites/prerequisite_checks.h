#pragma once
// The five tests a Prerequisites row can ask for. Each answers true for passed; none sets a
// property or reports anything, and each has its own answer for an object it cannot read.
#include "platform/platform.h"
#include "prerequisites/prerequisite_table.h"

namespace zarvo {

using PrerequisiteCheck = bool (*)(Platform& platform, const PrerequisiteRow& row);

// The file Destination carries a version at least Value; failed without a readable version.
bool CheckFileVersion(Platform& platform, const PrerequisiteRow& row);
// The text value ValueName under the key Destination holds a version at least Value;
// failed when the key or value cannot be read.
bool CheckRegistryVersion(Platform& platform, const PrerequisiteRow& row);
// The REG_DWORD value ValueName under the key Destination is at least the number Value;
// failed when it cannot be read or is of another type.
bool CheckRegistryDWord(Platform& platform, const PrerequisiteRow& row);
// ValueName is "ValueGreaterThanOrEqualTo" and the product Destination, installed for the
// machine, has a state at least Value; failed otherwise.
bool CheckProductState(Platform& platform, const PrerequisiteRow& row);
// The product whose code the value ValueName under the key Destination holds has a state
// below Value; passed whenever that product cannot be found.
bool CheckInstanceProductState(Platform& platform, const PrerequisiteRow& row);

}  // namespace zarvo
