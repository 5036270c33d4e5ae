#pragma once
// Windows only: the installer operations forwarded to msi.dll.
#include "platform/installer.h"

namespace zarvo::win32 {

class Win32Installer final : public Installer {
public:
    WinResult GetProperty(InstallerHandle session, const char16_t* name, char16_t* buffer,
                          std::uint32_t* count) override;
    WinResult SetProperty(InstallerHandle session, const char16_t* name,
                          const char16_t* value) override;
    InstallerHandle GetActiveDatabase(InstallerHandle session) override;
    int IsTablePersistent(InstallerHandle database, const char16_t* table) override;
    WinResult OpenView(InstallerHandle database, const char16_t* query,
                       InstallerHandle* view) override;
    WinResult ExecuteView(InstallerHandle view, InstallerHandle parameters) override;
    WinResult FetchRecord(InstallerHandle view, InstallerHandle* record) override;
    InstallerHandle CreateRecord(std::uint32_t fields) override;
    WinResult SetRecordString(InstallerHandle record, std::uint32_t field,
                              const char16_t* text) override;
    WinResult FormatRecord(InstallerHandle session, InstallerHandle record, char16_t* buffer,
                           std::uint32_t* count) override;
    WinResult CloseInstallerHandle(InstallerHandle handle) override;
    int ProcessMessage(InstallerHandle session, int type, InstallerHandle record) override;
    WinResult SetComponentState(InstallerHandle session, const char16_t* component,
                                int state) override;
    WinResult GetFileVersion(const char16_t* path, char16_t* version, std::uint32_t* versionCount,
                             char16_t* language, std::uint32_t* languageCount) override;
    WinResult GetProductInfo(const char16_t* productCode, const char16_t* userSid,
                             std::uint32_t context, const char16_t* property, char16_t* buffer,
                             std::uint32_t* count) override;
};

}  // namespace zarvo::win32
