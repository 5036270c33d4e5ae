#pragma once
// The machine a scenario runs on: the simulated one natively, or under Wine the real
// installer with the real DLL. A scenario is written once against this fixture.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace zarvo::test {

struct TableColumn {
    std::u16string name;
    bool integer = false;
};
using TableRow = std::vector<std::optional<std::u16string>>;  // nullopt: a null field

class Machine {
public:
    virtual ~Machine() = default;

    // The platform that the library's own helpers are run over in this process.
    virtual Platform& platform() = 0;
    // The session of an installation of a small package, opened on first use.
    virtual InstallerHandle Session() = 0;
    virtual void SetProperty(const std::u16string& name, const std::u16string& value) = 0;
    virtual std::u16string Property(const std::u16string& name) = 0;
    // Adds a table to the package, before its session is opened. The first column is the
    // primary key, so the rows must differ in it.
    virtual void AddTable(const std::u16string& name, const std::vector<TableColumn>& columns,
                          const std::vector<TableRow>& rows) = 0;
    // Adds an empty table that lives only in the running installation.
    virtual void AddTemporaryTable(const std::u16string& name,
                                   const std::vector<TableColumn>& columns) = 0;
    // Calls the exported action of that name with the session.
    virtual WinResult RunAction(const char* name) = 0;

    // A record of the test's own, with fields 0 to fields.
    virtual InstallerHandle CreateRecord(std::uint32_t fields) = 0;
    virtual void SetRecordField(InstallerHandle record, std::uint32_t field,
                                const std::u16string& text) = 0;
    // nullopt for a null field.
    virtual std::optional<std::u16string> RecordField(InstallerHandle record,
                                                      std::uint32_t field) = 0;
    virtual void CloseRecord(InstallerHandle record) = 0;

    // The machine's local time, read as the actions read it.
    virtual SystemTime LocalTime() = 0;
    // Sets the clock; false where the clock cannot be set (the real machine).
    virtual bool SetLocalTime(const SystemTime& time) = 0;
    // Whether Windows itself is 64-bit (so the 32-bit library runs under WOW64).
    virtual bool IsWindows64() = 0;
    // Makes Windows 64-bit or 32-bit; false where that cannot be chosen (the real machine).
    virtual bool SetWindows64(bool windows64) = 0;
};

std::unique_ptr<Machine> MakeMachine();

// ASCII text for test messages and comparisons.
std::string Narrow(const std::u16string& text);

}  // namespace zarvo::test
