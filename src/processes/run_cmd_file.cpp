#include "processes/run_cmd_file.h"

#include <string_view>

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

}  // namespace

WinResult RunCmdFile(Platform& platform, InstallerHandle session)
{
    const OwnedText commandLine =
        ReadPropertyAlloc(platform.installer, session, u"CustomActionData");
    if (!commandLine) return kErrorInstallFailure;
    if (NamesNoCommand(commandLine.get())) return kErrorSuccess;
    char16_t interpreter[kPathCapacity];
    if (!InterpreterPath(platform.processes, interpreter)) return kErrorSuccess;
    const StartupInfo startup = InterpreterStartup(platform.processes);
    ProcessInformation information;
    if (!platform.processes.Create(interpreter, commandLine.get(), false, kCreateNoWindow,
                                   &startup, &information))
        return kErrorSuccess;
    const StartedProcess started(platform.processes, information);
    platform.processes.Wait(information.process, kInfinite);
    return kErrorSuccess;
}

}  // namespace zarvo
