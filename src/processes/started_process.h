#pragma once
// The two handles that a successful CreateProcessW hands back, owned for the rest of the
// action's call.
#include "frame/handle_guard.h"
#include "platform/processes.h"

namespace zarvo {

using KernelHandleGuard = HandleGuard<Processes, KernelHandle, &Processes::CloseHandle>;

// Closes the process handle, then the thread handle, on every way out. The started
// program is not affected: it runs on, or has already ended.
struct StartedProcess {
    StartedProcess(Processes& processes, const ProcessInformation& information)
        : thread(processes, information.thread), process(processes, information.process) {}

    // Members end in the reverse order of their declaration: the process handle first.
    KernelHandleGuard thread;
    KernelHandleGuard process;
};

}  // namespace zarvo
