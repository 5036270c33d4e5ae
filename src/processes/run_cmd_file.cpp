#include "processes/run_cmd_file.h"

#include <string_view>

#include "frame/action_log.h"
#include "frame/bounded_format.h"
#include "frame/capacities.h"
#include "frame/installer_access.h"
#include "frame/result_codes.h"
#include "processes/started_process.h"

namespace zarvo {
namespace {

// An interpreter given no command does not end: it waits for input that never comes, and
// the installation waits for it.
bool NamesNoCommand(const char16_t* commandLine)
{
    return std::u16string_view(commandLine).find_first_not_of(u" \t") == std::u16string_view::npos;
}

// The installer's own start-up information, without the parts that would give the
// interpreter a desktop, a console title, a window state or handles of its own.
StartupInfo InterpreterStartup(Processes& processes)
{
    StartupInfo startup;
    processes.ReadStartupInfo(&startup);
    startup.desktop = nullptr;
    startup.title = nullptr;
    startup.flags = 0;
    return startup;
}

// The command interpreter of the system folder, named by its full path: a bare name would be
// completed from the current folder, where anyone who can write there could put a program
// of that name to run with the installer's rights. False when the path cannot be had whole.
bool InterpreterPath(Processes& processes, char16_t (&path)[kPathCapacity])
{
    char16_t folder[kPathCapacity];
    const std::uint32_t length = processes.SystemFolder(folder, kPathCapacity);
    if (length == 0 || length >= kPathCapacity) return false;
    return FormatBounded(path, kPathCapacity, u"%s\\cmd.exe", {std::u16string_view(folder, length)});
}

// Waits until the interpreter has ended, and says with which exit code and how long after
// its start.
void WaitForInterpreter(Platform& platform, const ActionLog& log, KernelHandle process)
{
    const std::uint32_t start = platform.clock.GetTickCount();
    const bool ended = platform.processes.Wait(process, kInfinite) == kWaitObject0;
    // The difference of two tick counts holds across the count's wrap to zero.
    const std::uint32_t took = platform.clock.GetTickCount() - start;
    std::uint32_t exitCode = 0;
    if (!ended)
        log.Write(log.Line() << u"waiting for the interpreter failed after " << took << u" ms");
    else if (!platform.processes.GetExitCodeProcess(process, &exitCode))
        log.Write(log.Line() << u"the interpreter ended after " << took
                             << u" ms; its exit code could not be read");
    else
        log.Write(log.Line() << u"the interpreter ended with exit code " << exitCode << u" after "
                             << took << u" ms");
}

// Starts the interpreter and waits for it. The command line is never written to the log:
// CustomActionData may carry passwords.
void RunInterpreter(Platform& platform, const ActionLog& log, const char16_t* interpreter,
                    char16_t* commandLine)
{
    const StartupInfo startup = InterpreterStartup(platform.processes);
    ProcessInformation information;
    if (!platform.processes.Create(interpreter, commandLine, false, kCreateNoWindow, &startup,
                                   &information)) {
        const std::uint32_t error = platform.processes.GetLastError();
        log.Write(log.Line() << u"could not start the interpreter " << interpreter
                             << u": Windows error " << error);
        return;
    }
    const StartedProcess started(platform.processes, information);
    log.Write(log.Line() << u"started the interpreter " << interpreter << u" as process "
                         << information.processId);
    WaitForInterpreter(platform, log, information.process);
}

}  // namespace

WinResult RunCmdFile(Platform& platform, InstallerHandle session)
{
    const ActionLog log(platform.installer, session, u"RunCmdFile");
    const OwnedText commandLine =
        ReadPropertyAlloc(platform.installer, session, u"CustomActionData");
    if (!commandLine) {
        log.Write(log.Line() << u"CustomActionData could not be read: fails");
        return kErrorInstallFailure;
    }
    if (NamesNoCommand(commandLine.get())) {
        log.Write(log.Line() << u"CustomActionData names no command: nothing started");
        return kErrorSuccess;
    }
    char16_t interpreter[kPathCapacity];
    if (InterpreterPath(platform.processes, interpreter))
        RunInterpreter(platform, log, interpreter, commandLine.get());
    else
        log.Write(log.Line() << u"the system folder could not be read: nothing started");
    return kErrorSuccess;
}

}  // namespace zarvo
