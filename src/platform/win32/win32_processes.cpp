#include "platform/win32/win32_processes.h"

#include <windows.h>

#include <bit>
#include <cstddef>

#include "platform/win32/wide.h"

namespace zarvo::win32 {
namespace {

static_assert(sizeof(StartupInfo) == sizeof(STARTUPINFOW));
static_assert(offsetof(StartupInfo, reserved) == offsetof(STARTUPINFOW, lpReserved));
static_assert(offsetof(StartupInfo, desktop) == offsetof(STARTUPINFOW, lpDesktop));
static_assert(offsetof(StartupInfo, title) == offsetof(STARTUPINFOW, lpTitle));
static_assert(offsetof(StartupInfo, x) == offsetof(STARTUPINFOW, dwX));
static_assert(offsetof(StartupInfo, y) == offsetof(STARTUPINFOW, dwY));
static_assert(offsetof(StartupInfo, xSize) == offsetof(STARTUPINFOW, dwXSize));
static_assert(offsetof(StartupInfo, ySize) == offsetof(STARTUPINFOW, dwYSize));
static_assert(offsetof(StartupInfo, xCountChars) == offsetof(STARTUPINFOW, dwXCountChars));
static_assert(offsetof(StartupInfo, yCountChars) == offsetof(STARTUPINFOW, dwYCountChars));
static_assert(offsetof(StartupInfo, fillAttribute) == offsetof(STARTUPINFOW, dwFillAttribute));
static_assert(offsetof(StartupInfo, flags) == offsetof(STARTUPINFOW, dwFlags));
static_assert(offsetof(StartupInfo, showWindow) == offsetof(STARTUPINFOW, wShowWindow));
static_assert(offsetof(StartupInfo, reserved2Size) == offsetof(STARTUPINFOW, cbReserved2));
static_assert(offsetof(StartupInfo, reserved2) == offsetof(STARTUPINFOW, lpReserved2));
static_assert(offsetof(StartupInfo, stdInput) == offsetof(STARTUPINFOW, hStdInput));
static_assert(offsetof(StartupInfo, stdOutput) == offsetof(STARTUPINFOW, hStdOutput));
static_assert(offsetof(StartupInfo, stdError) == offsetof(STARTUPINFOW, hStdError));

KernelHandle Library(HANDLE handle)
{
    return reinterpret_cast<KernelHandle>(handle);
}

}  // namespace

std::uint32_t Win32Processes::SystemFolder(char16_t* buffer, std::uint32_t capacity)
{
    return GetSystemDirectoryW(Wide(buffer), capacity);
}

void Win32Processes::ReadStartupInfo(StartupInfo* startup)
{
    STARTUPINFOW native{};
    GetStartupInfoW(&native);
    *startup = std::bit_cast<StartupInfo>(native);
}

bool Win32Processes::Create(const char16_t* applicationName, char16_t* commandLine,
                            bool inheritHandles, std::uint32_t creationFlags,
                            const StartupInfo* startup, ProcessInformation* information)
{
    STARTUPINFOW native = std::bit_cast<STARTUPINFOW>(*startup);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(Wide(applicationName), Wide(commandLine), nullptr, nullptr,
                        inheritHandles, creationFlags, nullptr, nullptr, &native, &started))
        return false;
    *information = {Library(started.hProcess), Library(started.hThread), started.dwProcessId,
                    started.dwThreadId};
    return true;
}

std::uint32_t Win32Processes::GetLastError()
{
    return ::GetLastError();
}

std::uint32_t Win32Processes::Wait(KernelHandle handle, std::uint32_t milliseconds)
{
    return WaitForSingleObject(Native(handle), milliseconds);
}

bool Win32Processes::GetExitCodeProcess(KernelHandle process, std::uint32_t* exitCode)
{
    return ::GetExitCodeProcess(Native(process), Count(exitCode)) != FALSE;
}

bool Win32Processes::CloseHandle(KernelHandle handle)
{
    return ::CloseHandle(Native(handle)) != FALSE;
}

void Win32Processes::Sleep(std::uint32_t milliseconds)
{
    ::Sleep(milliseconds);
}

bool Win32Processes::AllowSetForegroundWindow(std::uint32_t processId)
{
    return ::AllowSetForegroundWindow(processId) != FALSE;
}

}  // namespace zarvo::win32
