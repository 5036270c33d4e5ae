#include "processes/run_foreground_program.h"

#include "frame/installer_access.h"
#include "frame/result_codes.h"
#include "processes/started_process.h"

namespace zarvo {

WinResult RunForegroundProgram(Platform& platform, InstallerHandle session)
{
    const OwnedText commandLine =
        ReadPropertyAlloc(platform.installer, session, u"RunForegroundProgram");
    if (!commandLine) return kErrorInstallFailure;
    // Every field zero but the size: the program starts with the system's defaults.
    StartupInfo startup;
    startup.size = sizeof(StartupInfo);
    ProcessInformation information;
    if (!platform.processes.Create(nullptr, commandLine.get(), false, 0, &startup, &information))
        return kErrorSuccess;
    const StartedProcess started(platform.processes, information);
    platform.processes.AllowSetForegroundWindow(information.processId);
    platform.processes.Sleep(kForegroundPauseMilliseconds);
    return kErrorSuccess;
}

}  // namespace zarvo
