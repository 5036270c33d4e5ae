#include "platform/sim/sim_operation.h"

#include <algorithm>
#include <iterator>
#include <ostream>

namespace zarvo::sim {
namespace {

struct NamedOperation {
    Operation operation;
    std::string_view name;
};

// The one place where an operation gets the name that messages show.
constexpr NamedOperation kNames[] = {
    {Operation::GetProperty, "GetProperty"},
    {Operation::SetProperty, "SetProperty"},
    {Operation::GetActiveDatabase, "GetActiveDatabase"},
    {Operation::IsTablePersistent, "IsTablePersistent"},
    {Operation::OpenView, "OpenView"},
    {Operation::ExecuteView, "ExecuteView"},
    {Operation::FetchRecord, "FetchRecord"},
    {Operation::CreateRecord, "CreateRecord"},
    {Operation::SetRecordString, "SetRecordString"},
    {Operation::FormatRecord, "FormatRecord"},
    {Operation::CloseInstallerHandle, "CloseInstallerHandle"},
    {Operation::ProcessMessage, "ProcessMessage"},
    {Operation::SetComponentState, "SetComponentState"},
    {Operation::GetFileVersion, "GetFileVersion"},
    {Operation::GetProductInfo, "GetProductInfo"},
    {Operation::CallIsWow64Process, "CallIsWow64Process"},
    {Operation::OpenKey, "OpenKey"},
    {Operation::QueryValue, "QueryValue"},
    {Operation::QueryInfoKey, "QueryInfoKey"},
    {Operation::EnumKey, "EnumKey"},
    {Operation::EnumValue, "EnumValue"},
    {Operation::DeleteValue, "DeleteValue"},
    {Operation::CloseKey, "CloseKey"},
    {Operation::OpenForRead, "OpenForRead"},
    {Operation::CreateNew, "CreateNew"},
    {Operation::Read, "Read"},
    {Operation::Write, "Write"},
    {Operation::Flush, "Flush"},
    {Operation::Close, "Close"},
    {Operation::Move, "Move"},
    {Operation::Delete, "Delete"},
    {Operation::GetAttributes, "GetAttributes"},
    {Operation::SetAttributes, "SetAttributes"},
    {Operation::VersionInfoSize, "VersionInfoSize"},
    {Operation::VersionInfo, "VersionInfo"},
    {Operation::QueryFixedVersion, "QueryFixedVersion"},
    {Operation::SystemFolder, "SystemFolder"},
    {Operation::ReadStartupInfo, "ReadStartupInfo"},
    {Operation::Create, "Create"},
    {Operation::GetLastError, "GetLastError"},
    {Operation::Wait, "Wait"},
    {Operation::GetExitCodeProcess, "GetExitCodeProcess"},
    {Operation::CloseHandle, "CloseHandle"},
    {Operation::Sleep, "Sleep"},
    {Operation::AllowSetForegroundWindow, "AllowSetForegroundWindow"},
    {Operation::ShowMessageBox, "ShowMessageBox"},
    {Operation::FindTopLevelWindow, "FindTopLevelWindow"},
    {Operation::Send, "Send"},
    {Operation::GetLocalTime, "GetLocalTime"},
    {Operation::GetTickCount, "GetTickCount"},
};
static_assert(std::size(kNames) == kOperationCount, "every operation needs one name here");

}  // namespace

std::string_view OperationName(Operation operation)
{
    const auto named = [operation](const auto& row) { return row.operation == operation; };
    const auto found = std::find_if(std::begin(kNames), std::end(kNames), named);
    return found == std::end(kNames) ? std::string_view() : found->name;
}

std::ostream& operator<<(std::ostream& out, Operation operation)
{
    return out << OperationName(operation);
}

}  // namespace zarvo::sim
