#pragma once
// Linux only: packages read with libmsi (msitools), which speaks UTF-8 and hands out GLib
// objects; this gives them installer handles, and its texts and errors those of msi.dll.
// The first one made silences, for the whole process, what libmsi and the compound-file
// library under it write to stderr: its answers say the same.
#include <memory>

#include "platform/package_database.h"

namespace zarvo::libmsi {

class LibmsiPackageDatabase final : public PackageDatabase {
public:
    LibmsiPackageDatabase();
    ~LibmsiPackageDatabase() override;
    LibmsiPackageDatabase(const LibmsiPackageDatabase&) = delete;
    LibmsiPackageDatabase& operator=(const LibmsiPackageDatabase&) = delete;

    // Reads the whole package in a child process first (libmsi_trial_read.h): 1620
    // (ERROR_INSTALL_PACKAGE_INVALID) for a file that crashes or hangs libmsi, 110
    // (ERROR_OPEN_FAILED) for one that libmsi does not open as a database.
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
    // 1804 (ERROR_INVALID_DATATYPE) for a stream field.
    WinResult GetRecordString(InstallerHandle record, std::uint32_t field, char16_t* buffer,
                              std::uint32_t* count) override;
    // 1804 for a field that holds a text or an integer.
    WinResult ReadRecordStream(InstallerHandle record, std::uint32_t field, char* buffer,
                               std::uint32_t* count) override;
    WinResult GetSummaryString(InstallerHandle database, std::uint32_t property, char16_t* buffer,
                               std::uint32_t* count) override;
    WinResult CloseInstallerHandle(InstallerHandle handle) override;

private:
    struct Objects;
    std::unique_ptr<Objects> objects_;
};

}  // namespace zarvo::libmsi
