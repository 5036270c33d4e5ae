#pragma once
// Conditional changes from the Prerequisites table: a property set to "1" when a registry
// version is missing or too low, a component left uninstalled when a registry or file
// version is already there.
#include "platform/platform.h"

namespace zarvo {

// Always 0; rows of other kinds, and rows that cannot be read, change nothing. The log tells
// each row, what it read and what it changed, then all that changed.
WinResult ChangeElementsFromPrerequisites(Platform& platform, InstallerHandle session);

}  // namespace zarvo
