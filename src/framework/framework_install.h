#pragma once
// Whether the package must run the .NET Framework redistributable it carries.
#include "platform/platform.h"

namespace zarvo {

// Sets NetFrameworkInstallationMode to "1", with NetFrameworkFullPath, when no framework is
// registered or the redistributable is newer than the registered one; to "0" otherwise,
// also when the redistributable's version cannot be read. Always 0. The log tells the
// framework found, the redistributable's version, and the decision with its reason.
WinResult NetFrameworkInstall(Platform& platform, InstallerHandle session);

}  // namespace zarvo
