#pragma once
#include "platform/platform.h"

namespace zarvo {

// Stamps the local date and time into "DateTime" as dd.mm.yyyy;hh:mm:ss. Always 0.
WinResult SetDateTimeProperty(Platform& platform, InstallerHandle session);

}  // namespace zarvo
