#pragma once
// The Visual Studio .NET 2003 wizard launch file that the package installs, pointed at the
// templates' folder.
#include "platform/platform.h"

namespace zarvo {

// CustomActionData is the wizard file's folder, "|", and the text that takes the place of
// "[Zv.Dir.APITemplatesVS71]" in "ZarvoCSharpPlugin.vsz" there, once per line. Always 0.
// The log names the wizard file and the number of placeholders replaced, or why nothing was
// done; never the text put in.
WinResult UpdateVS71VszFile(Platform& platform, InstallerHandle session);

}  // namespace zarvo
