#pragma once
// Processes over the Windows process calls, one call each.
#include "platform/processes.h"

namespace zarvo::win32 {

class Win32Processes final : public Processes {
public:
    std::uint32_t SystemFolder(char16_t* buffer, std::uint32_t capacity) override;
    void ReadStartupInfo(StartupInfo* startup) override;
    bool Create(const char16_t* applicationName, char16_t* commandLine, bool inheritHandles,
                std::uint32_t creationFlags, const StartupInfo* startup,
                ProcessInformation* information) override;
    std::uint32_t GetLastError() override;
    std::uint32_t Wait(KernelHandle handle, std::uint32_t milliseconds) override;
    bool GetExitCodeProcess(KernelHandle process, std::uint32_t* exitCode) override;
    bool CloseHandle(KernelHandle handle) override;
    void Sleep(std::uint32_t milliseconds) override;
    bool AllowSetForegroundWindow(std::uint32_t processId) override;
};

}  // namespace zarvo::win32
