#include "processes/run_foreground_program.h"

#include "frame/action_log.h"
#include "frame/installer_access.h"
#include "frame/result_codes.h"
#include "processes/started_process.h"

namespace zarvo {
namespace {

// Lets the started program come to the foreground and gives it time to bring its window up.
void LetToTheForeground(Processes& processes, const ActionLog& log, std::uint32_t processId)
{
    if (processes.AllowSetForegroundWindow(processId))
        log.Write(log.Line() << u"let process " << processId << u" come to the foreground");
    else
        log.Write(log.Line() << u"could not let process " << processId
                             << u" come to the foreground");
    processes.Sleep(kForegroundPauseMilliseconds);
    log.Write(log.Line() << u"paused " << kForegroundPauseMilliseconds
                         << u" ms; the program runs on");
}

}  // namespace

// The command line is never written to the log: it may carry passwords.
WinResult RunForegroundProgram(Platform& platform, InstallerHandle session)
{
    const ActionLog log(platform.installer, session, u"RunForegroundProgram");
    const OwnedText commandLine =
        ReadPropertyAlloc(platform.installer, session, kForegroundProgramProperty.data());
    if (!commandLine) {
        log.Write(log.Line() << u"the property RunForegroundProgram could not be read: fails");
        return kErrorInstallFailure;
    }
    // Every field zero but the size: the program starts with the system's defaults.
    StartupInfo startup;
    startup.size = sizeof(StartupInfo);
    ProcessInformation information;
    if (!platform.processes.Create(nullptr, commandLine.get(), false, 0, &startup, &information)) {
        const std::uint32_t error = platform.processes.GetLastError();
        log.Write(log.Line() << u"could not start the program: Windows error " << error);
        return kErrorSuccess;
    }
    const StartedProcess started(platform.processes, information);
    log.Write(log.Line() << u"started the program as process " << information.processId);
    LetToTheForeground(platform.processes, log, information.processId);
    return kErrorSuccess;
}

}  // namespace zarvo
