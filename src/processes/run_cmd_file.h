#pragma once
#include "platform/platform.h"

namespace zarvo {

// Runs "Cmd.exe" with CustomActionData as its command line, without a window, and waits
// until the interpreter has ended. 1603 when the data cannot be read, else 0: a failed start
// and the command's own exit code are not reported. Data that is empty or only blanks
// starts nothing.
WinResult RunCmdFile(Platform& platform, InstallerHandle session);

}  // namespace zarvo
