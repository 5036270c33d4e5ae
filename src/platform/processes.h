#pragma once
// Starting processes and waiting for them.
#include <cstdint>

namespace zarvo {

using KernelHandle = std::uintptr_t;  // a process or thread handle; 0 means none

inline constexpr std::uint32_t kCreateNoWindow = 0x08000000;
inline constexpr std::uint32_t kInfinite = 0xFFFFFFFF;
inline constexpr std::uint32_t kWaitObject0 = 0;
// The exit code GetExitCodeProcess gives for a process that has not ended.
inline constexpr std::uint32_t kStillActive = 259;

// The fields of STARTUPINFOW, in its order and with its widths.
struct StartupInfo {
    std::uint32_t size = 0;
    char16_t* reserved = nullptr;
    char16_t* desktop = nullptr;
    char16_t* title = nullptr;
    std::uint32_t x = 0, y = 0, xSize = 0, ySize = 0;
    std::uint32_t xCountChars = 0, yCountChars = 0, fillAttribute = 0;
    std::uint32_t flags = 0;
    std::uint16_t showWindow = 0;
    std::uint16_t reserved2Size = 0;
    std::uint8_t* reserved2 = nullptr;
    KernelHandle stdInput = 0, stdOutput = 0, stdError = 0;

    bool operator==(const StartupInfo&) const = default;
};

struct ProcessInformation {
    KernelHandle process = 0;
    KernelHandle thread = 0;
    std::uint32_t processId = 0;
    std::uint32_t threadId = 0;
};

class Processes {
public:
    virtual ~Processes() = default;
    // GetSystemDirectoryW: the length of the system folder's path when it fits the capacity
    // (terminator included), the capacity it needs when it does not, 0 when it fails.
    virtual std::uint32_t SystemFolder(char16_t* buffer, std::uint32_t capacity) = 0;
    virtual void ReadStartupInfo(StartupInfo* startup) = 0;
    // CreateProcessW with no security attributes, the caller's environment and folder.
    virtual bool Create(const char16_t* applicationName, char16_t* commandLine,
                        bool inheritHandles, std::uint32_t creationFlags,
                        const StartupInfo* startup, ProcessInformation* information) = 0;
    // GetLastError: the error of the last call that failed, such as Create.
    virtual std::uint32_t GetLastError() = 0;
    virtual std::uint32_t Wait(KernelHandle handle, std::uint32_t milliseconds) = 0;
    // The exit code of an ended process, kStillActive while it runs; false when it cannot
    // be read.
    virtual bool GetExitCodeProcess(KernelHandle process, std::uint32_t* exitCode) = 0;
    virtual bool CloseHandle(KernelHandle handle) = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    virtual bool AllowSetForegroundWindow(std::uint32_t processId) = 0;
};

}  // namespace zarvo
