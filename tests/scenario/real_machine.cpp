// Windows only: the scenario fixture over the real installer and the built DLL. Each
// machine writes a small package, opens an installation session on it, and calls the
// DLL's exports the way the installer's custom-action host does.
#include <windows.h>

#include <msi.h>
#include <msiquery.h>
#include <objbase.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"
#include "scenario/machine.h"
#include "scenario/misaligned_call.h"
#include "scenario/real_windows.h"
#include "windows/tested_library.h"

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

// A fresh component code, so that no component of the package is known to the machine.
std::u16string FreshGuid()
{
    GUID guid;
    Check(static_cast<UINT>(CoCreateGuid(&guid)), "CoCreateGuid");
    wchar_t text[39];
    StringFromGUID2(guid, text, 39);
    return std::u16string(text, text + 38);
}

// What costing reads: the root folder, one feature, and the components it installs.
constexpr const wchar_t* kFeatureTables[] = {
    L"CREATE TABLE `Directory` (`Directory` CHAR(72) NOT NULL, `Directory_Parent` CHAR(72), "
    L"`DefaultDir` CHAR(255) NOT NULL PRIMARY KEY `Directory`)",
    L"INSERT INTO `Directory` (`Directory`, `DefaultDir`) VALUES ('TARGETDIR', 'SourceDir')",
    L"CREATE TABLE `Feature` (`Feature` CHAR(38) NOT NULL, `Feature_Parent` CHAR(38), "
    L"`Title` CHAR(64), `Description` CHAR(255), `Display` SHORT, `Level` SHORT NOT NULL, "
    L"`Directory_` CHAR(72), `Attributes` SHORT NOT NULL PRIMARY KEY `Feature`)",
    L"INSERT INTO `Feature` (`Feature`, `Level`, `Attributes`) VALUES ('Main', 1, 0)",
    L"CREATE TABLE `Component` (`Component` CHAR(72) NOT NULL, `ComponentId` CHAR(38), "
    L"`Directory_` CHAR(72) NOT NULL, `Attributes` SHORT NOT NULL, `Condition` CHAR(255), "
    L"`KeyPath` CHAR(72) PRIMARY KEY `Component`)",
    L"CREATE TABLE `FeatureComponents` (`Feature_` CHAR(38) NOT NULL, "
    L"`Component_` CHAR(72) NOT NULL PRIMARY KEY `Feature_`, `Component_`)",
};
const std::vector<TableColumn> kComponentColumns = {
    {u"Component"}, {u"ComponentId"}, {u"Directory_"}, {u"Attributes", true}};
const std::vector<TableColumn> kFeatureComponentsColumns = {{u"Feature_"}, {u"Component_"}};

void WriteFeature(MSIHANDLE database, const std::vector<std::u16string>& components)
{
    for (const wchar_t* sql : kFeatureTables) RunSql(database, sql);
    for (const std::u16string& name : components) {
        InsertRow(database, u"Component", kComponentColumns,
                  {name, FreshGuid(), u"TARGETDIR", u"0"});
        InsertRow(database, u"FeatureComponents", kFeatureComponentsColumns, {u"Main", name});
    }
}

// Costs the installation and chooses its feature, as the installer does before the actions
// that may request components absent.
void Cost(MSIHANDLE session)
{
    for (const wchar_t* action : {L"CostInitialize", L"FileCost", L"CostFinalize"})
        Check(MsiDoActionW(session, action), "MsiDoActionW (costing)");
    Check(MsiSetFeatureStateW(session, L"Main", INSTALLSTATE_LOCAL), "MsiSetFeatureStateW");
}

void WritePackage(const std::wstring& path, const std::vector<PackageTable>& tables,
                  const std::vector<std::u16string>& components)
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
    if (!components.empty()) WriteFeature(database, components);
    WriteSummary(database);
    Check(MsiDatabaseCommit(database), "MsiDatabaseCommit");
    MsiCloseHandle(database);
}

bool BelowTestKey(const std::u16string& path)
{
    const std::u16string root = kTestKeyRoot;
    return path == root || path.starts_with(root + u"\\");
}

// Removes the test key with everything below it from both views. On 32-bit Windows both
// flags reach the one key, which the second pass finds gone. Below the test key nothing is
// redirected, so the tree can be emptied through the key's own handle.
void RemoveTestKeys()
{
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(kTestKeyRoot), 0, KEY_ALL_ACCESS | view,
                          &key) != ERROR_SUCCESS)
            continue;
        RegDeleteTreeW(key, nullptr);
        RegCloseKey(key);
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, Wide(kTestKeyRoot), view, 0);
    }
}

HKEY OpenMachineKey(const std::u16string& path, REGSAM view)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(path.c_str()), 0, KEY_ALL_ACCESS | view, &key) !=
        ERROR_SUCCESS)
        return nullptr;
    return key;
}

// A key of the machine's own that a scenario empties and writes: what it held is copied
// aside first and put back at the end; keys that were not there are removed again.
class TakenKey {
public:
    TakenKey(const std::u16string& path, REGSAM view, int number)
        : path_(path), view_(view),
          saved_(u"SOFTWARE\\ZarvoSaved\\" + std::u16string(1, static_cast<char16_t>(u'0' + number)))
    {
        // The first key on the way down that is missing is the one to remove at the end.
        for (std::size_t end = path.find(u'\\'); firstCreated_.empty(); end = path.find(u'\\', end + 1)) {
            const std::u16string ancestor = path.substr(0, end);
            const HKEY key = OpenMachineKey(ancestor, view);
            if (key == nullptr) firstCreated_ = ancestor;
            else RegCloseKey(key);
            if (end == std::u16string::npos) break;
        }
        if (firstCreated_.empty()) MoveTree(path_, saved_);
    }
    ~TakenKey()
    {
        if (!firstCreated_.empty()) {
            const std::size_t slash = firstCreated_.rfind(u'\\');
            const HKEY parent = OpenMachineKey(firstCreated_.substr(0, slash), view_);
            RegDeleteTreeW(parent, Wide(firstCreated_.substr(slash + 1).c_str()));
            RegCloseKey(parent);
        } else {
            MoveTree(saved_, path_);
        }
    }
    TakenKey(const TakenKey&) = delete;
    TakenKey& operator=(const TakenKey&) = delete;

private:
    // Replaces what `to` holds with what `from` holds, and empties `from`.
    void MoveTree(const std::u16string& from, const std::u16string& to)
    {
        HKEY source = OpenMachineKey(from, view_);
        HKEY target = nullptr;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, Wide(to.c_str()), 0, nullptr, 0, KEY_ALL_ACCESS | view_,
                        nullptr, &target, nullptr);
        RegDeleteTreeW(target, nullptr);
        RegCopyTreeW(source, nullptr, target);
        RegDeleteTreeW(source, nullptr);
        RegCloseKey(target);
        RegCloseKey(source);
    }

    std::u16string path_;
    REGSAM view_;
    std::u16string saved_;
    std::u16string firstCreated_;
};

// Removes the scenario's file folder with every file in it, read-only ones included.
void RemoveFolder(const std::u16string& folder)
{
    if (folder.empty()) return;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(Wide((folder + u"*").c_str()), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
        const std::u16string path = folder + reinterpret_cast<const char16_t*>(found.cFileName);
        SetFileAttributesW(Wide(path.c_str()), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(Wide(path.c_str()));
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    RemoveDirectoryW(Wide(folder.c_str()));
}

// The folder of the running program, with its final backslash.
std::u16string ProgramFolder()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::u16string program(path, path + length);
    return program.substr(0, program.rfind(u'\\') + 1);
}

// The installer hands every information message of the process to this handler, which
// keeps the actions' lines for the machine that is collecting them; the installer's own
// lines ("=== Logging started ...", "Action start ...") are not the actions'.
std::vector<std::u16string>* collectedLogLines = nullptr;

INT CALLBACK KeepInformationMessage(LPVOID, UINT type, LPCWSTR message)
{
    if ((type & 0xFF000000) != INSTALLMESSAGE_INFO || message == nullptr || collectedLogLines == nullptr)
        return 0;
    const std::u16string text = reinterpret_cast<const char16_t*>(message);
    if (!text.starts_with(u"=== ") && !text.starts_with(u"Action ")) collectedLogLines->push_back(text);
    return 0;
}

// The stack offset of a call whose machine was given none: 4, 8, 12 and 0 in turn over the
// whole run, so that the scenarios' calls meet every alignment a caller may leave.
unsigned NextStackOffset()
{
    static unsigned calls = 0;
    return 4 * (++calls % 4);
}

class RealMachine final : public Machine {
public:
    RealMachine() : library_(LoadLibraryW(TestedLibraryPath().c_str()))
    {
        if (library_ == nullptr) throw std::runtime_error("the DLL named by ZARVO_DLL did not load");
        MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
        // A machine made to replace another takes the collection over before the other ends.
        collectedLogLines = &logLines_;
        MsiSetExternalUIW(KeepInformationMessage, INSTALLLOGMODE_INFO, nullptr);
        // A run that crashed earlier may have left its values behind.
        RemoveTestKeys();
    }
    ~RealMachine() override
    {
        boxWatcher_.reset();
        for (const HANDLE file : held_) CloseHandle(file);
        if (!previousFolder_.empty()) SetCurrentDirectoryW(previousFolder_.c_str());
        RemoveFolder(folder_);
        RemoveFolder(smallFolder_);
        while (!taken_.empty()) taken_.pop_back();
        RemoveTestKeys();
        if (session_ != 0) MsiCloseHandle(session_);
        if (!packagePath_.empty()) DeleteFileW(packagePath_.c_str());
        if (collectedLogLines == &logLines_) collectedLogLines = nullptr;
        FreeLibrary(library_);
    }

    Platform& platform() override { return real_.platform(); }

    InstallerHandle Session() override
    {
        if (session_ != 0) return session_;
        packagePath_ = TemporaryPackagePath();
        WritePackage(packagePath_, tables_, components_);
        Check(MsiOpenPackageW(packagePath_.c_str(), &session_), "MsiOpenPackageW");
        if (!components_.empty()) Cost(session_);
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
    WinResult RunAction(const char* name) override { return Call(name, Session()); }
    WinResult RunActionWithoutSession(const char* name) override { return Call(name, 0); }
    void SetStackOffset(unsigned bytes) override { stackOffset_ = bytes; }

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

    void WriteRegistryValue(const std::u16string& path, const std::u16string& name,
                            std::uint32_t type, const std::vector<std::uint8_t>& data,
                            std::uint32_t view) override
    {
        const HKEY key = CreateKey(path, view);
        const LONG written = RegSetValueExW(key, Wide(name.c_str()), 0, type, data.data(),
                                            static_cast<DWORD>(data.size()));
        RegCloseKey(key);
        Check(written, "RegSetValueExW");
    }
    void CreateRegistryKey(const std::u16string& path, std::uint32_t view) override
    {
        RegCloseKey(CreateKey(path, view));
    }
    void TakeOverKey(const std::u16string& path, std::uint32_t view) override
    {
        taken_.push_back(std::make_unique<TakenKey>(path, view, static_cast<int>(taken_.size())));
        takenPaths_.push_back(path);
    }

    std::u16string FileFolder() override
    {
        if (!folder_.empty()) return folder_;
        static int machines = 0;
        wchar_t temporary[MAX_PATH];
        GetTempPathW(MAX_PATH, temporary);
        const std::wstring folder = std::wstring(temporary) + L"ZarvoFiles" +
                                    std::to_wstring(GetCurrentProcessId()) + L"-" +
                                    std::to_wstring(++machines);
        if (!CreateDirectoryW(folder.c_str(), nullptr)) throw std::runtime_error("no file folder");
        folder_.assign(folder.begin(), folder.end());
        folder_ += u'\\';
        return folder_;
    }
    // The small disk is a file system of its own that the test run mounts, named to the
    // program by ZARVO_SMALL_DISK.
    std::u16string SmallDiskFolder() override
    {
        if (!smallFolder_.empty()) return smallFolder_;
        const char* disk = std::getenv("ZARVO_SMALL_DISK");
        if (disk == nullptr) throw std::runtime_error("ZARVO_SMALL_DISK names no small disk");
        const std::string folder = std::string(disk) + "\\ZarvoFiles" + std::to_string(GetCurrentProcessId());
        smallFolder_.assign(folder.begin(), folder.end());
        if (!CreateDirectoryW(Wide(smallFolder_.c_str()), nullptr)) throw std::runtime_error("no folder " + folder);
        smallFolder_ += u'\\';
        return smallFolder_;
    }
    void FillSmallDisk(std::uint64_t bytes) override
    {
        ULARGE_INTEGER free{};
        if (!GetDiskFreeSpaceExW(Wide(SmallDiskFolder().c_str()), &free, nullptr, nullptr) || free.QuadPart < bytes)
            throw std::runtime_error("the small disk has not that much room");
        const std::string filler(static_cast<std::size_t>(free.QuadPart - bytes), '\0');
        PutFileBytes(SmallDiskFolder() + u"filler.bin", filler);
    }
    void PutFileBytes(const std::u16string& path, const std::string& bytes) override
    {
        const HANDLE file = CreateFileW(Wide(path.c_str()), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + Narrow(path));
        DWORD written = 0;
        const BOOL done = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        if (!done || written != bytes.size()) throw std::runtime_error("cannot write " + Narrow(path));
    }
    std::optional<std::string> FileBytes(const std::u16string& path) override
    {
        const HANDLE file = CreateFileW(Wide(path.c_str()), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return std::nullopt;
        std::string bytes;
        char chunk[4096];
        DWORD read = 0;
        while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
        CloseHandle(file);
        return bytes;
    }
    std::uint32_t AttributesOf(const std::u16string& path) override
    {
        return GetFileAttributesW(Wide(path.c_str()));
    }
    void SetAttributesOf(const std::u16string& path, std::uint32_t attributes) override
    {
        SetFileAttributesW(Wide(path.c_str()), attributes);
    }
    void PutHardLink(const std::u16string& link, const std::u16string& existing) override
    {
        if (!CreateHardLinkW(Wide(link.c_str()), Wide(existing.c_str()), nullptr))
            throw std::runtime_error("cannot link " + Narrow(link));
    }
    void HoldFile(const std::u16string& path) override
    {
        const HANDLE file = CreateFileW(Wide(path.c_str()), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot hold " + Narrow(path));
        held_.push_back(file);
    }

    std::u16string FileWithVersion(const std::u16string& version) override
    {
        if (std::ranges::find(kFixtureVersions, version) == std::end(kFixtureVersions))
            throw std::invalid_argument("no fixture file carries the version " + Narrow(version));
        return ProgramFolder() + u"fixtures\\version-" + (version.empty() ? u"none" : version) +
               u".dll";
    }
    void AddComponent(const std::u16string& name) override
    {
        if (session_ != 0) throw std::logic_error("components are added before the session opens");
        components_.push_back(name);
    }
    bool ComponentRequestedAbsent(const std::u16string& name) override
    {
        INSTALLSTATE installed = INSTALLSTATE_UNKNOWN;
        INSTALLSTATE action = INSTALLSTATE_UNKNOWN;
        Check(MsiGetComponentStateW(Session(), Wide(name.c_str()), &installed, &action),
              "MsiGetComponentStateW");
        return action == INSTALLSTATE_ABSENT;
    }

    // The scenario's own folder becomes the current folder, so that nothing of the
    // machine's is overwritten; the old one comes back when the machine ends.
    std::vector<std::u16string> LogLines() override { return logLines_; }

    void PlantProgramInCurrentFolder(const std::u16string& name) override
    {
        wchar_t folder[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, folder);
        previousFolder_ = folder;
        SetCurrentDirectoryW(Wide(FileFolder().c_str()));
        const std::u16string planted = ProgramFolder() + u"zarvo_planted.exe";
        if (!CopyFileW(Wide(planted.c_str()), Wide((FileFolder() + name).c_str()), FALSE))
            throw std::runtime_error("cannot plant " + Narrow(name));
    }
    bool PlantedProgramRan() override
    {
        return GetFileAttributesW(Wide((FileFolder() + u"planted-program-ran.txt").c_str())) !=
               INVALID_FILE_ATTRIBUTES;
    }

    std::u16string HelperProgram() override { return ProgramFolder() + u"zarvo_helper.exe"; }
    std::uint64_t Milliseconds() override { return GetTickCount64(); }
    WindowHandle OpenWindow(const std::u16string& title) override
    {
        return helperWindows_.Open(HelperProgram(), title);
    }
    WindowHandle WaitForWindow(const std::u16string& title) override
    {
        return WaitForTopLevelWindow(title);
    }
    bool IsWindowOpen(WindowHandle window) override
    {
        return IsWindow(reinterpret_cast<HWND>(window)) != FALSE;
    }
    void CloseWindow(WindowHandle window) override { CloseTopLevelWindow(window); }
    void WatchMessageBoxes(const std::u16string& caption, WindowHandle window) override
    {
        boxWatcher_ = std::make_unique<MessageBoxWatcher>(caption, window);
    }
    std::vector<MessageBoxSeen> MessageBoxesSeen() override
    {
        if (!boxWatcher_) return {};
        std::vector<MessageBoxSeen> seen = boxWatcher_->Stop();
        boxWatcher_.reset();
        return seen;
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
    ExportedAction Export(const char* name)
    {
        const auto action = reinterpret_cast<ExportedAction>(
            reinterpret_cast<void*>(GetProcAddress(library_, name)));
        if (action == nullptr) throw std::runtime_error(std::string("no export ") + name);
        return action;
    }
    // Windows' installer may call an action with the stack aligned to 4 bytes only; Wine's
    // keeps 16, so every call here is put off it.
    UINT Call(const char* name, MSIHANDLE session)
    {
        return CallWithStackOffset(Export(name), session, stackOffset_ ? *stackOffset_ : NextStackOffset());
    }

    // Only the test key and keys taken over are put right again; nothing else of the
    // machine may change.
    HKEY CreateKey(const std::u16string& path, std::uint32_t view)
    {
        const bool taken = std::ranges::any_of(takenPaths_, [&](const std::u16string& root) {
            return path == root || path.starts_with(root + u"\\");
        });
        if (!taken && !BelowTestKey(path))
            throw std::invalid_argument("neither below the test key nor taken over: " + Narrow(path));
        HKEY key = nullptr;
        Check(RegCreateKeyExW(HKEY_LOCAL_MACHINE, Wide(path.c_str()), 0, nullptr, 0,
                              KEY_ALL_ACCESS | view, nullptr, &key, nullptr),
              "RegCreateKeyExW");
        return key;
    }

    HMODULE library_;
    win32::Win32Platform real_;
    std::vector<PackageTable> tables_;
    std::vector<std::u16string> components_;
    std::vector<std::unique_ptr<TakenKey>> taken_;
    std::vector<std::u16string> takenPaths_;
    std::u16string folder_;
    std::u16string smallFolder_;
    std::vector<HANDLE> held_;
    std::vector<std::u16string> logLines_;
    std::wstring previousFolder_;
    std::wstring packagePath_;
    MSIHANDLE session_ = 0;
    std::optional<unsigned> stackOffset_;
    HelperWindows helperWindows_;
    std::unique_ptr<MessageBoxWatcher> boxWatcher_;
};

}  // namespace

std::unique_ptr<Machine> MakeMachine()
{
    return std::make_unique<RealMachine>();
}

}  // namespace zarvo::test
