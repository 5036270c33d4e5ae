#include "platform/win32/win32_package_database.h"

#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include "platform/text_answer.h"
#include "platform/win32/wide.h"

namespace zarvo::win32 {
namespace {

// The summary information's "no value" and "text" property types.
constexpr UINT kTypeEmpty = 0;   // VT_EMPTY
constexpr UINT kTypeText = 30;   // VT_LPSTR

}  // namespace

WinResult Win32PackageDatabase::OpenDatabase(const char16_t* path, InstallerHandle* database)
{
    return MsiOpenDatabaseW(Wide(path), MSIDBOPEN_READONLY, reinterpret_cast<MSIHANDLE*>(database));
}

int Win32PackageDatabase::IsTablePersistent(InstallerHandle database, const char16_t* table)
{
    return installer_.IsTablePersistent(database, table);
}

WinResult Win32PackageDatabase::OpenView(InstallerHandle database, const char16_t* query,
                                         InstallerHandle* view)
{
    return installer_.OpenView(database, query, view);
}

WinResult Win32PackageDatabase::ExecuteView(InstallerHandle view)
{
    return installer_.ExecuteView(view, 0);
}

WinResult Win32PackageDatabase::FetchRecord(InstallerHandle view, InstallerHandle* record)
{
    return installer_.FetchRecord(view, record);
}

WinResult Win32PackageDatabase::GetColumnInfo(InstallerHandle view, std::uint32_t kind,
                                              InstallerHandle* record)
{
    return MsiViewGetColumnInfo(view, static_cast<MSICOLINFO>(kind),
                                reinterpret_cast<MSIHANDLE*>(record));
}

std::uint32_t Win32PackageDatabase::GetFieldCount(InstallerHandle record)
{
    return MsiRecordGetFieldCount(record);
}

bool Win32PackageDatabase::IsRecordNull(InstallerHandle record, std::uint32_t field)
{
    return MsiRecordIsNull(record, field) != FALSE;
}

WinResult Win32PackageDatabase::GetRecordString(InstallerHandle record, std::uint32_t field,
                                                char16_t* buffer, std::uint32_t* count)
{
    return MsiRecordGetStringW(record, field, Wide(buffer), Count(count));
}

WinResult Win32PackageDatabase::ReadRecordStream(InstallerHandle record, std::uint32_t field,
                                                 char* buffer, std::uint32_t* count)
{
    return MsiRecordReadStream(record, field, buffer, Count(count));
}

WinResult Win32PackageDatabase::GetSummaryString(InstallerHandle database, std::uint32_t property,
                                                 char16_t* buffer, std::uint32_t* count)
{
    MSIHANDLE summary = 0;
    const UINT opened = MsiGetSummaryInformationW(database, nullptr, 0, &summary);
    if (opened != ERROR_SUCCESS) return opened;
    UINT type = kTypeEmpty;
    INT number = 0;
    FILETIME time{};
    const UINT answer = MsiSummaryInfoGetPropertyW(summary, property, &type, &number, &time,
                                                   Wide(buffer), Count(count));
    MsiCloseHandle(summary);
    if (answer != ERROR_SUCCESS && answer != ERROR_MORE_DATA) return answer;
    // msi.dll leaves the buffer as it was for a property the package does not have.
    if (type == kTypeEmpty) return CopyTextOut(u"", buffer, count);
    return type == kTypeText ? answer : ERROR_DATATYPE_MISMATCH;
}

WinResult Win32PackageDatabase::CloseInstallerHandle(InstallerHandle handle)
{
    return installer_.CloseInstallerHandle(handle);
}

}  // namespace zarvo::win32
