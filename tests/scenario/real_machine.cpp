// Windows only: the scenario fixture over the real installer and the built DLL. Each
// machine writes a small package, opens an installation session on it, and calls the
// DLL's exports the way the installer's custom-action host does.
#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"
#include "scenario/machine.h"

namespace zarvo::test {
namespace {

using win32::Wide;

void Check(UINT answer, const char* what)
{
    if (answer != ERROR_SUCCESS)
        throw std::runtime_error(std::string(what) + " answered " + std::to_string(answer));
}

std::wstring TemporaryPackagePath()
{
    wchar_t folder[MAX_PATH];
    wchar_t path[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"zca", 0, path);
    return path;
}

void RunSql(MSIHANDLE database, const std::wstring& sql, MSIHANDLE parameters = 0)
{
    MSIHANDLE view = 0;
    Check(MsiDatabaseOpenViewW(database, sql.c_str(), &view), "MsiDatabaseOpenViewW");
    const UINT executed = MsiViewExecute(view, parameters);
    MsiCloseHandle(view);
    Check(executed, "MsiViewExecute");
}

std::wstring Quoted(const std::u16string& name)
{
    return L"`" + std::wstring(name.begin(), name.end()) + L"`";
}

// CREATE TABLE for the columns, the first one the primary key; every column TEMPORARY and
// the table held for the session when it is to live only in the running installation.
std::wstring CreateTableSql(const std::u16string& name, const std::vector<TableColumn>& columns,
                            bool temporary)
{
    std::wstring sql = L"CREATE TABLE " + Quoted(name) + L" (";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        sql += (i ? L", " : L"") + Quoted(columns[i].name);
        sql += columns[i].integer ? L" INT" : L" CHAR(0)";
        if (i == 0) sql += L" NOT NULL";
        if (temporary) sql += L" TEMPORARY";
    }
    sql += L" PRIMARY KEY " + Quoted(columns[0].name) + L")";
    return temporary ? sql + L" HOLD" : sql;
}

void InsertRow(MSIHANDLE database, const std::u16string& table,
               const std::vector<TableColumn>& columns, const TableRow& row)
{
    std::wstring names, marks;
    const MSIHANDLE values = MsiCreateRecord(static_cast<UINT>(columns.size()));
    for (std::size_t i = 0; i < columns.size(); ++i) {
        names += (i ? L", " : L"") + Quoted(columns[i].name);
        marks += i ? L", ?" : L"?";
        const auto field = static_cast<UINT>(i + 1);
        if (!row[i]) continue;
        if (columns[i].integer)
            MsiRecordSetInteger(values, field, std::stoi(std::wstring(row[i]->begin(), row[i]->end())));
        else
            MsiRecordSetStringW(values, field, Wide(row[i]->c_str()));
    }
    RunSql(database, L"INSERT INTO " + Quoted(table) + L" (" + names + L") VALUES (" + marks + L")",
           values);
    MsiCloseHandle(values);
}

// A text of any length from an msi.dll call that reports its length on a call with no room.
template <typename ReadCall>
std::u16string ReadText(const char* what, ReadCall read)
{
    DWORD count = 0;
    wchar_t empty[1] = {L'\0'};
    read(empty, &count);
    std::wstring value(count + 1, L'\0');
    count += 1;
    Check(read(value.data(), &count), what);
    value.resize(count);
    return std::u16string(value.begin(), value.end());
}

struct PackageTable {
    std::u16string name;
    std::vector<TableColumn> columns;
    std::vector<TableRow> rows;
};

// The installer opens only a package that carries summary information.
void WriteSummary(MSIHANDLE database)
{
    MSIHANDLE summary = 0;
    Check(MsiGetSummaryInformationW(database, nullptr, 5, &summary), "MsiGetSummaryInformationW");
    MsiSummaryInfoSetPropertyW(summary, 7, VT_LPSTR, 0, nullptr, L"Intel;1033");
    MsiSummaryInfoSetPropertyW(summary, 9, VT_LPSTR, 0, nullptr,
                               L"{6C2B3A1E-8E3B-4C55-9A0E-2F1D7C4B9A10}");
    MsiSummaryInfoSetPropertyW(summary, 14, VT_I4, 200, nullptr, nullptr);
    MsiSummaryInfoSetPropertyW(summary, 15, VT_I4, 2, nullptr, nullptr);
    Check(MsiSummaryInfoPersist(summary), "MsiSummaryInfoPersist");
    MsiCloseHandle(summary);
}

void WritePackage(const std::wstring& path, const std::vector<PackageTable>& tables)
{
    MSIHANDLE database = 0;
    Check(MsiOpenDatabaseW(path.c_str(), MSIDBOPEN_CREATE, &database), "MsiOpenDatabaseW");
    RunSql(database,
           L"CREATE TABLE `Property` (`Property` CHAR(72) NOT NULL, `Value` CHAR(0) NOT NULL "
           L"PRIMARY KEY `Property`)");
    RunSql(database, L"INSERT INTO `Property` (`Property`, `Value`) VALUES ('ProductCode', "
                     L"'{1F0E8C2A-5D7B-4E3C-9B1A-6D2C8E4F0A31}')");
    for (const PackageTable& table : tables) {
        RunSql(database, CreateTableSql(table.name, table.columns, false));
        for (const TableRow& row : table.rows) InsertRow(database, table.name, table.columns, row);
    }
    WriteSummary(database);
    Check(MsiDatabaseCommit(database), "MsiDatabaseCommit");
    MsiCloseHandle(database);
}

class RealMachine final : public Machine {
public:
    RealMachine() : library_(LoadLibraryW(L"ZarvoCustomActionDll.dll"))
    {
        if (library_ == nullptr) throw std::runtime_error("ZarvoCustomActionDll.dll did not load");
        MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    }
    ~RealMachine() override
    {
        if (session_ != 0) MsiCloseHandle(session_);
        if (!packagePath_.empty()) DeleteFileW(packagePath_.c_str());
        FreeLibrary(library_);
    }

    Platform& platform() override { return real_.platform(); }

    InstallerHandle Session() override
    {
        if (session_ != 0) return session_;
        packagePath_ = TemporaryPackagePath();
        WritePackage(packagePath_, tables_);
        Check(MsiOpenPackageW(packagePath_.c_str(), &session_), "MsiOpenPackageW");
        return session_;
    }
    void SetProperty(const std::u16string& name, const std::u16string& value) override
    {
        Check(MsiSetPropertyW(Session(), Wide(name.c_str()), Wide(value.c_str())),
              "MsiSetPropertyW");
    }
    std::u16string Property(const std::u16string& name) override
    {
        return ReadText("MsiGetPropertyW", [&](wchar_t* buffer, DWORD* count) {
            return MsiGetPropertyW(Session(), Wide(name.c_str()), buffer, count);
        });
    }
    void AddTable(const std::u16string& name, const std::vector<TableColumn>& columns,
                  const std::vector<TableRow>& rows) override
    {
        if (session_ != 0) throw std::logic_error("tables are added before the session opens");
        tables_.push_back({name, columns, rows});
    }
    void AddTemporaryTable(const std::u16string& name,
                           const std::vector<TableColumn>& columns) override
    {
        const MSIHANDLE database = MsiGetActiveDatabase(Session());
        RunSql(database, CreateTableSql(name, columns, true));
        MsiCloseHandle(database);
    }
    WinResult RunAction(const char* name) override
    {
        using Export = UINT(WINAPI*)(MSIHANDLE);
        const auto action = reinterpret_cast<Export>(
            reinterpret_cast<void*>(GetProcAddress(library_, name)));
        if (action == nullptr) throw std::runtime_error(std::string("no export ") + name);
        return action(Session());
    }

    InstallerHandle CreateRecord(std::uint32_t fields) override { return MsiCreateRecord(fields); }
    void SetRecordField(InstallerHandle record, std::uint32_t field,
                        const std::u16string& text) override
    {
        Check(MsiRecordSetStringW(record, field, Wide(text.c_str())), "MsiRecordSetStringW");
    }
    std::optional<std::u16string> RecordField(InstallerHandle record, std::uint32_t field) override
    {
        if (MsiRecordIsNull(record, field)) return std::nullopt;
        return ReadText("MsiRecordGetStringW", [&](wchar_t* buffer, DWORD* count) {
            return MsiRecordGetStringW(record, field, buffer, count);
        });
    }
    void CloseRecord(InstallerHandle record) override { MsiCloseHandle(record); }

    void WriteRegistryValue(const std::u16string&, const std::u16string&, std::uint32_t,
                            const std::vector<std::uint8_t>&, std::uint32_t) override
    {
        throw std::logic_error("registry writes are not built yet");
    }
    std::u16string FileWithVersion(const std::u16string&) override
    {
        throw std::logic_error("fixture files are not built yet");
    }
    void AddComponent(const std::u16string&) override
    {
        throw std::logic_error("components are not built yet");
    }
    bool ComponentRequestedAbsent(const std::u16string&) override
    {
        throw std::logic_error("components are not built yet");
    }

    SystemTime LocalTime() override
    {
        SystemTime now;
        real_.platform().clock.GetLocalTime(&now);
        return now;
    }
    bool SetLocalTime(const SystemTime&) override { return false; }
    bool IsWindows64() override
    {
        // The test run names the prefix it made: 64-bit ("win64") or 32-bit ("win32").
        const char* arch = std::getenv("ZARVO_WINEARCH");
        return arch == nullptr || std::string(arch) != "win32";
    }
    bool SetWindows64(bool) override { return false; }

private:
    HMODULE library_;
    win32::Win32Platform real_;
    std::vector<PackageTable> tables_;
    std::wstring packagePath_;
    MSIHANDLE session_ = 0;
};

}  // namespace

std::unique_ptr<Machine> MakeMachine()
{
    return std::make_unique<RealMachine>();
}

}  // namespace zarvo::test
