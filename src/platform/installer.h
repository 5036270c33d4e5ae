#pragma once
// The operations of the Windows Installer that every action goes through.
// Answers follow msi.dll: 0 success, 234 (ERROR_MORE_DATA) for a buffer that is too
// small, anything else a failure. A character count is the buffer's capacity on the way
// in (terminator included) and the text's length on the way out (terminator excluded).
#include <cstdint>

namespace zarvo {

using InstallerHandle = std::uint32_t;  // 0 means no handle
using WinResult = std::uint32_t;

inline constexpr int kConditionFalse = 0;
inline constexpr int kConditionTrue = 1;
inline constexpr int kConditionNone = 2;
inline constexpr int kConditionError = 3;
inline constexpr int kInstallStateAbsent = 2;
inline constexpr std::uint32_t kInstallContextMachine = 4;
inline constexpr int kInstallMessageInfo = 0x04000000;

class Installer {
public:
    virtual ~Installer() = default;
    virtual WinResult GetProperty(InstallerHandle session, const char16_t* name, char16_t* buffer,
                                  std::uint32_t* count) = 0;
    virtual WinResult SetProperty(InstallerHandle session, const char16_t* name,
                                  const char16_t* value) = 0;
    // The running package's database, or 0; the caller closes a non-zero handle.
    virtual InstallerHandle GetActiveDatabase(InstallerHandle session) = 0;
    // kConditionTrue for a stored table, kConditionFalse for a temporary one,
    // kConditionNone for a missing one, kConditionError otherwise.
    virtual int IsTablePersistent(InstallerHandle database, const char16_t* table) = 0;
    virtual WinResult OpenView(InstallerHandle database, const char16_t* query,
                               InstallerHandle* view) = 0;
    virtual WinResult ExecuteView(InstallerHandle view, InstallerHandle parameters) = 0;
    virtual WinResult FetchRecord(InstallerHandle view, InstallerHandle* record) = 0;
    // MsiCreateRecord: a new record of fields 0 to `fields`, or 0; the caller closes it.
    virtual InstallerHandle CreateRecord(std::uint32_t fields) = 0;
    virtual WinResult SetRecordString(InstallerHandle record, std::uint32_t field,
                                      const char16_t* text) = 0;
    virtual WinResult FormatRecord(InstallerHandle session, InstallerHandle record,
                                   char16_t* buffer, std::uint32_t* count) = 0;
    virtual WinResult CloseInstallerHandle(InstallerHandle handle) = 0;
    // MsiProcessMessage: the record, formatted by its field 0, as a message of that type to
    // the installer; the answer is the installer's, -1 for an error.
    virtual int ProcessMessage(InstallerHandle session, int type, InstallerHandle record) = 0;
    virtual WinResult SetComponentState(InstallerHandle session, const char16_t* component,
                                        int state) = 0;
    virtual WinResult GetFileVersion(const char16_t* path, char16_t* version,
                                     std::uint32_t* versionCount, char16_t* language,
                                     std::uint32_t* languageCount) = 0;
    virtual WinResult GetProductInfo(const char16_t* productCode, const char16_t* userSid,
                                     std::uint32_t context, const char16_t* property,
                                     char16_t* buffer, std::uint32_t* count) = 0;
};

}  // namespace zarvo
