#pragma once
// A Windows Installer in memory: sessions with properties, package databases with stored
// and temporary tables, views over the one query form the library uses, records and
// their formatting, component requests and the products installed on the machine.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/installer.h"
#include "platform/sim/sim_ledger.h"

namespace zarvo::sim {

using SimField = std::optional<std::u16string>;  // nullopt: a null field

struct SimColumn {
    std::u16string name;
    bool integer = false;  // sorts as a number rather than as text
};

struct SimTable {
    std::vector<SimColumn> columns;
    std::vector<std::vector<SimField>> rows;
    bool persistent = true;
};

struct SimDatabase {
    std::map<std::u16string, SimTable> tables;
};

class SimInstaller final : public Installer {
public:
    // Where GetFileVersion finds a file's version as text: nullopt for a missing file,
    // an empty text for a file without a version resource.
    using FileVersionSource = std::function<std::optional<std::u16string>(const char16_t* path)>;

    SimInstaller(SimLedger& ledger, FileVersionSource fileVersions);

    // What a test sets up; none of these counts as a platform call.
    InstallerHandle OpenSession(std::shared_ptr<SimDatabase> database);
    void SetPropertyValue(InstallerHandle session, const std::u16string& name,
                          const std::u16string& value);
    std::u16string PropertyValue(InstallerHandle session, const std::u16string& name) const;
    // Every property the session holds, by name.
    const std::map<std::u16string, std::u16string>& Properties(InstallerHandle session) const;
    const std::map<std::u16string, int>& ComponentRequests(InstallerHandle session) const;
    // The information messages the session was sent, formatted, in order.
    const std::vector<std::u16string>& Messages(InstallerHandle session) const;
    void AddComponent(const std::u16string& name);
    void InstallProduct(const std::u16string& productCode, const std::u16string& state);
    // A record of the test's own, with fields 0 to `fields`: not counted as open.
    InstallerHandle CreateOwnRecord(std::uint32_t fields);
    void SetRecordField(InstallerHandle record, std::uint32_t field, SimField value);
    SimField RecordField(InstallerHandle record, std::uint32_t field) const;
    // Makes GetProperty and FormatRecord answer a sizing call (capacity 0) with 0.
    bool answerSizingCallsWithSuccess = false;
    // Makes GetProperty and FormatRecord answer a sizing call with 234 and this length.
    std::optional<std::uint32_t> claimedLength;
    // Makes SetProperty refuse every value (the property stays as it was).
    bool refuseProperties = false;

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

private:
    struct Session {
        std::map<std::u16string, std::u16string> properties;
        std::shared_ptr<SimDatabase> database;
        std::map<std::u16string, int> componentRequests;
        std::vector<std::u16string> messages;
    };
    struct DatabaseObject {
        std::shared_ptr<SimDatabase> database;
    };
    struct ViewObject {
        std::shared_ptr<SimDatabase> database;
        std::u16string table;
        std::vector<std::size_t> columns;  // indexes into the table's columns
        std::optional<std::size_t> orderBy;
        std::vector<std::vector<SimField>> rows;  // filled by ExecuteView
        std::optional<std::size_t> next;           // set once executed
    };
    struct RecordObject {
        std::vector<SimField> fields;  // field 0 is the template
    };
    using Object = std::variant<DatabaseObject, ViewObject, RecordObject>;

    template <typename T>
    T* Find(InstallerHandle handle);
    Session* FindSession(InstallerHandle session);
    InstallerHandle AddObject(Object object);
    std::optional<WinResult> SizingAnswer(std::uint32_t* count) const;
    // Formats source; record is null where field numbers are not expanded.
    std::u16string Format(const Session* session, const RecordObject* record,
                          const std::u16string& source) const;
    std::u16string FormatBracket(const Session* session, const RecordObject* record,
                                 std::u16string_view inside) const;
    void Execute(ViewObject& view);

    SimLedger& ledger_;
    FileVersionSource fileVersions_;
    std::map<InstallerHandle, Session> sessions_;
    std::map<InstallerHandle, Object> objects_;
    std::vector<std::u16string> components_;
    std::map<std::u16string, std::u16string> products_;
};

}  // namespace zarvo::sim
