#pragma once
// Every call the simulated machine answers, by the name of its platform method, so that a
// test can make one of them fail and a message can say which one it was.
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string_view>

namespace zarvo::sim {

enum class Operation : std::uint8_t {
    // Installer
    GetProperty,
    SetProperty,
    GetActiveDatabase,
    IsTablePersistent,
    OpenView,
    ExecuteView,
    FetchRecord,
    CreateRecord,
    SetRecordString,
    FormatRecord,
    CloseInstallerHandle,
    ProcessMessage,
    SetComponentState,
    GetFileVersion,
    GetProductInfo,
    // Registry
    CallIsWow64Process,
    OpenKey,
    QueryValue,
    QueryInfoKey,
    EnumKey,
    EnumValue,
    DeleteValue,
    CloseKey,
    // Files
    OpenForRead,
    CreateNew,
    Read,
    Write,
    Flush,
    Close,
    Move,
    Delete,
    GetAttributes,
    SetAttributes,
    VersionInfoSize,
    VersionInfo,
    QueryFixedVersion,
    // Processes
    SystemFolder,
    ReadStartupInfo,
    Create,
    GetLastError,
    Wait,
    GetExitCodeProcess,
    CloseHandle,
    Sleep,
    AllowSetForegroundWindow,
    // Desktop
    ShowMessageBox,
    FindTopLevelWindow,
    Send,
    // Clock
    GetLocalTime,
    GetTickCount,
};

inline constexpr std::size_t kOperationCount =
    static_cast<std::size_t>(Operation::GetTickCount) + 1;

// The method's name, as the platform interfaces spell it; empty for a value outside the
// enumeration.
std::string_view OperationName(Operation operation);
// Writes the name, so that a test's failure message shows it rather than a number.
std::ostream& operator<<(std::ostream& out, Operation operation);

}  // namespace zarvo::sim
