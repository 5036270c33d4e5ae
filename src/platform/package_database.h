#pragma once
// A built package read from outside an installation: its database opened by path, its tables
// through views, its records' fields and streams, and its summary information. Apart from
// Installer because the shipped library links every Installer operation, and each one is an
// import of msi.dll; only the package checker reads packages this way.
// Answers and character counts follow installer.h; handles are installer handles, closed by
// CloseInstallerHandle.
#include <cstdint>

#include "installer.h"

namespace zarvo {

// MsiViewGetColumnInfo's kinds: each column's name, or its type ("s72", "I2", "v0", ...).
inline constexpr std::uint32_t kColumnNames = 0;
inline constexpr std::uint32_t kColumnTypes = 1;
// The summary information's Template: the platform, a ';', the languages ("x64;1033").
inline constexpr std::uint32_t kSummaryTemplate = 7;
// MsiRecordGetFieldCount's answer for a handle that is not a record.
inline constexpr std::uint32_t kNoFieldCount = 0xFFFFFFFF;

class PackageDatabase {
public:
    virtual ~PackageDatabase() = default;
    // MsiOpenDatabaseW with MSIDBOPEN_READONLY; the caller closes the database.
    virtual WinResult OpenDatabase(const char16_t* path, InstallerHandle* database) = 0;
    // As Installer::IsTablePersistent.
    virtual int IsTablePersistent(InstallerHandle database, const char16_t* table) = 0;
    virtual WinResult OpenView(InstallerHandle database, const char16_t* query,
                               InstallerHandle* view) = 0;
    // MsiViewExecute without parameters.
    virtual WinResult ExecuteView(InstallerHandle view) = 0;
    // The next row, or 259 (ERROR_NO_MORE_ITEMS) once every row was fetched.
    virtual WinResult FetchRecord(InstallerHandle view, InstallerHandle* record) = 0;
    // MsiViewGetColumnInfo: a record of a field per column, of the kind asked for.
    virtual WinResult GetColumnInfo(InstallerHandle view, std::uint32_t kind,
                                    InstallerHandle* record) = 0;
    // MsiRecordGetFieldCount: the number of fields after field 0, or kNoFieldCount.
    virtual std::uint32_t GetFieldCount(InstallerHandle record) = 0;
    // MsiRecordIsNull: true for a null field and for a field past the record's end.
    virtual bool IsRecordNull(InstallerHandle record, std::uint32_t field) = 0;
    // MsiRecordGetStringW: an integer field comes as its decimal text.
    virtual WinResult GetRecordString(InstallerHandle record, std::uint32_t field,
                                      char16_t* buffer, std::uint32_t* count) = 0;
    // MsiRecordReadStream into a buffer of *count bytes (never null): the stream's next
    // bytes, *count set to how many were read, 0 once the stream is read to its end (at
    // once for a null field).
    virtual WinResult ReadRecordStream(InstallerHandle record, std::uint32_t field, char* buffer,
                                       std::uint32_t* count) = 0;
    // MsiGetSummaryInformationW and MsiSummaryInfoGetPropertyW for a text property: an
    // empty text when the package does not have it, 1629 (ERROR_DATATYPE_MISMATCH) when it
    // is not a text.
    virtual WinResult GetSummaryString(InstallerHandle database, std::uint32_t property,
                                       char16_t* buffer, std::uint32_t* count) = 0;
    virtual WinResult CloseInstallerHandle(InstallerHandle handle) = 0;
};

}  // namespace zarvo
