#pragma once
// Windows only: packages read with msi.dll. Kept out of Win32Installer, whose every operation
// the shipped library imports: only the package checker links this one.
#include "platform/package_database.h"
#include "platform/win32/win32_installer.h"

namespace zarvo::win32 {

class Win32PackageDatabase final : public PackageDatabase {
public:
    WinResult OpenDatabase(const char16_t* path, InstallerHandle* database) override;
    int IsTablePersistent(InstallerHandle database, const char16_t* table) override;
    WinResult OpenView(InstallerHandle database, const char16_t* query,
                       InstallerHandle* view) override;
    WinResult ExecuteView(InstallerHandle view) override;
    WinResult FetchRecord(InstallerHandle view, InstallerHandle* record) override;
    WinResult GetColumnInfo(InstallerHandle view, std::uint32_t kind,
                            InstallerHandle* record) override;
    std::uint32_t GetFieldCount(InstallerHandle record) override;
    bool IsRecordNull(InstallerHandle record, std::uint32_t field) override;
    WinResult GetRecordString(InstallerHandle record, std::uint32_t field, char16_t* buffer,
                              std::uint32_t* count) override;
    WinResult ReadRecordStream(InstallerHandle record, std::uint32_t field, char* buffer,
                               std::uint32_t* count) override;
    WinResult GetSummaryString(InstallerHandle database, std::uint32_t property, char16_t* buffer,
                               std::uint32_t* count) override;
    WinResult CloseInstallerHandle(InstallerHandle handle) override;

private:
    // The operations a package shares with a running installation's database.
    Win32Installer installer_;
};

}  // namespace zarvo::win32
