#include "platform/win32/win32_installer.h"

#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include "platform/win32/wide.h"

namespace zarvo::win32 {
namespace {

static_assert(sizeof(MSIHANDLE) == sizeof(InstallerHandle));

}  // namespace

WinResult Win32Installer::GetProperty(InstallerHandle session, const char16_t* name,
                                      char16_t* buffer, std::uint32_t* count)
{
    return MsiGetPropertyW(session, Wide(name), Wide(buffer), Count(count));
}

WinResult Win32Installer::SetProperty(InstallerHandle session, const char16_t* name,
                                      const char16_t* value)
{
    return MsiSetPropertyW(session, Wide(name), Wide(value));
}

InstallerHandle Win32Installer::GetActiveDatabase(InstallerHandle session)
{
    return MsiGetActiveDatabase(session);
}

int Win32Installer::IsTablePersistent(InstallerHandle database, const char16_t* table)
{
    return MsiDatabaseIsTablePersistentW(database, Wide(table));
}

WinResult Win32Installer::OpenView(InstallerHandle database, const char16_t* query,
                                   InstallerHandle* view)
{
    return MsiDatabaseOpenViewW(database, Wide(query), reinterpret_cast<MSIHANDLE*>(view));
}

WinResult Win32Installer::ExecuteView(InstallerHandle view, InstallerHandle parameters)
{
    return MsiViewExecute(view, parameters);
}

WinResult Win32Installer::FetchRecord(InstallerHandle view, InstallerHandle* record)
{
    return MsiViewFetch(view, reinterpret_cast<MSIHANDLE*>(record));
}

WinResult Win32Installer::SetRecordString(InstallerHandle record, std::uint32_t field,
                                          const char16_t* text)
{
    return MsiRecordSetStringW(record, field, Wide(text));
}

WinResult Win32Installer::FormatRecord(InstallerHandle session, InstallerHandle record,
                                       char16_t* buffer, std::uint32_t* count)
{
    return MsiFormatRecordW(session, record, Wide(buffer), Count(count));
}

InstallerHandle Win32Installer::CreateRecord(std::uint32_t fields)
{
    return MsiCreateRecord(fields);
}

int Win32Installer::ProcessMessage(InstallerHandle session, int type, InstallerHandle record)
{
    return MsiProcessMessage(session, static_cast<INSTALLMESSAGE>(type), record);
}

WinResult Win32Installer::CloseInstallerHandle(InstallerHandle handle)
{
    return MsiCloseHandle(handle);
}

WinResult Win32Installer::SetComponentState(InstallerHandle session, const char16_t* component,
                                            int state)
{
    return MsiSetComponentStateW(session, Wide(component), static_cast<INSTALLSTATE>(state));
}

WinResult Win32Installer::GetFileVersion(const char16_t* path, char16_t* version,
                                         std::uint32_t* versionCount, char16_t* language,
                                         std::uint32_t* languageCount)
{
    return MsiGetFileVersionW(Wide(path), Wide(version), Count(versionCount), Wide(language),
                              Count(languageCount));
}

WinResult Win32Installer::GetProductInfo(const char16_t* productCode, const char16_t* userSid,
                                         std::uint32_t context, const char16_t* property,
                                         char16_t* buffer, std::uint32_t* count)
{
    return MsiGetProductInfoExW(Wide(productCode), Wide(userSid),
                                static_cast<MSIINSTALLCONTEXT>(context), Wide(property),
                                Wide(buffer), Count(count));
}

}  // namespace zarvo::win32
