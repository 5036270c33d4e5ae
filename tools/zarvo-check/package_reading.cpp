#include "package_reading.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "frame/handle_guard.h"
#include "frame/result_codes.h"
#include "library_recognition.h"

namespace zarvo::check {
namespace {

using PackageHandle = HandleGuard<PackageDatabase, InstallerHandle, &PackageDatabase::CloseInstallerHandle>;

// The tables the checks read.
constexpr std::array<std::string_view, 12> kCheckedTables{
    "CustomAction", "InstallExecuteSequence", "InstallUISequence", "AdminExecuteSequence",
    "AdvtExecuteSequence", "Binary", "Prerequisites", "Component", "Registry", "Property",
    "Directory", "File"};

constexpr WinResult kErrorInvalidHandle = 6;
constexpr WinResult kErrorInvalidDatatype = 1804;  // a field that holds no stream
constexpr std::uint32_t kFirstCapacity = 256;      // characters: most fields fit at once
constexpr std::size_t kStreamPiece = 65536;        // bytes of a stream read at a time

// Why the package cannot be read; nothing while it can.
using Failure = std::optional<std::string>;

Failure Unreadable(const std::string& part, WinResult code)
{
    return part + " cannot be read (error " + std::to_string(code) + ")";
}

std::u16string Widened(std::string_view ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

// The whole of a text handed out the msi.dll way: one try in a buffer that fits most, a
// second one in a buffer of the size the first answer asked for.
template <typename Read>
WinResult ReadText(Read read, std::u16string& text)
{
    std::vector<char16_t> buffer(kFirstCapacity);
    auto count = static_cast<std::uint32_t>(buffer.size());
    WinResult answer = read(buffer.data(), &count);
    if (answer == kErrorMoreData) {
        buffer.resize(std::size_t{count} + 1);
        count = static_cast<std::uint32_t>(buffer.size());
        answer = read(buffer.data(), &count);
    }
    if (answer == kErrorSuccess) text.assign(buffer.data(), std::min<std::size_t>(count, buffer.size()));
    return answer;
}

WinResult ReadField(PackageDatabase& installer, InstallerHandle record, std::uint32_t field,
                    std::u16string& text)
{
    return ReadText([&](char16_t* buffer, std::uint32_t* count) {
        return installer.GetRecordString(record, field, buffer, count);
    }, text);
}

// The view's column names or types, one text per column.
WinResult ReadColumnInfo(PackageDatabase& installer, InstallerHandle view, std::uint32_t kind,
                         std::vector<std::u16string>& texts)
{
    PackageHandle record(installer);
    WinResult answer = installer.GetColumnInfo(view, kind, record.Receive());
    if (answer != kErrorSuccess) return answer;
    const std::uint32_t count = installer.GetFieldCount(record.Get());
    if (count == kNoFieldCount) return kErrorInvalidHandle;
    for (std::uint32_t field = 1; field <= count && answer == kErrorSuccess; ++field)
        answer = ReadField(installer, record.Get(), field, texts.emplace_back());
    return answer;
}

// The table's columns, with their integer flags, and which of them hold streams.
WinResult ReadColumns(PackageDatabase& installer, InstallerHandle view, Table& table,
                      std::vector<bool>& streams)
{
    std::vector<std::u16string> types;
    WinResult answer = ReadColumnInfo(installer, view, kColumnNames, table.columns);
    if (answer == kErrorSuccess) answer = ReadColumnInfo(installer, view, kColumnTypes, types);
    types.resize(table.columns.size());
    for (const std::u16string& type : types) {
        const char16_t kind = type.empty() ? u'\0' : type.front();
        table.integer.push_back(kind == u'i' || kind == u'I');
        streams.push_back(kind == u'v' || kind == u'V');
    }
    return answer;
}

WinResult ReadRow(PackageDatabase& installer, InstallerHandle record, const std::vector<bool>& streams,
                  std::vector<Field>& row)
{
    for (std::uint32_t column = 0; column < streams.size(); ++column) {
        Field& value = row.emplace_back();
        if (installer.IsRecordNull(record, column + 1)) continue;
        value.emplace();
        if (streams[column]) continue;
        if (const WinResult answer = ReadField(installer, record, column + 1, *value); answer != kErrorSuccess)
            return answer;
    }
    return kErrorSuccess;
}

WinResult ReadRows(PackageDatabase& installer, InstallerHandle view, const std::vector<bool>& streams,
                   Table& table)
{
    for (;;) {
        PackageHandle record(installer);
        const WinResult fetched = installer.FetchRecord(view, record.Receive());
        if (fetched == kErrorNoMoreItems) return kErrorSuccess;
        if (fetched != kErrorSuccess) return fetched;
        if (const WinResult answer = ReadRow(installer, record.Get(), streams, table.rows.emplace_back());
            answer != kErrorSuccess)
            return answer;
    }
}

// A table the package lacks stays not present; so does a temporary one, which no package
// file holds.
Failure ReadTable(PackageDatabase& installer, InstallerHandle database, std::string_view name, Table& table)
{
    const std::string part = "its " + std::string(name) + " table";
    const int persistent = installer.IsTablePersistent(database, Widened(name).c_str());
    if (persistent == kConditionFalse || persistent == kConditionNone) return std::nullopt;
    if (persistent != kConditionTrue) return "cannot tell whether " + part + " is there";
    const std::u16string query = u"SELECT * FROM `" + Widened(name) + u"`";
    PackageHandle view(installer);
    std::vector<bool> streams;
    WinResult answer = installer.OpenView(database, query.c_str(), view.Receive());
    if (answer == kErrorSuccess) answer = ReadColumns(installer, view.Get(), table, streams);
    if (answer == kErrorSuccess) answer = installer.ExecuteView(view.Get());
    if (answer == kErrorSuccess) answer = ReadRows(installer, view.Get(), streams, table);
    if (answer != kErrorSuccess) return Unreadable(part, answer);
    table.present = true;
    return std::nullopt;
}

// Whether field 2 of the record holds this library, read in bounded pieces until the answer
// is settled. A field that holds no stream does not.
WinResult HoldsLibrary(PackageDatabase& installer, InstallerHandle record, bool& holds)
{
    LibraryRecognition recognition;
    std::vector<char> piece(kStreamPiece);
    for (;;) {
        auto count = static_cast<std::uint32_t>(piece.size());
        const WinResult answer = installer.ReadRecordStream(record, 2, piece.data(), &count);
        if (answer == kErrorInvalidDatatype) break;
        if (answer != kErrorSuccess) return answer;
        if (count == 0) break;
        recognition.Feed(std::span<const char>(piece).first(std::min<std::size_t>(count, piece.size())));
        if (recognition.Settled()) break;
    }
    holds = recognition.Recognised();
    return kErrorSuccess;
}

Failure FindLibraryBinaries(PackageDatabase& installer, InstallerHandle database, Package& package)
{
    const Table& binary = package.TableNamed(u"Binary");
    if (!binary.present || !binary.Column(u"Name") || !binary.Column(u"Data")) return std::nullopt;
    PackageHandle view(installer);
    WinResult answer = installer.OpenView(database, u"SELECT `Name`, `Data` FROM `Binary`", view.Receive());
    if (answer == kErrorSuccess) answer = installer.ExecuteView(view.Get());
    while (answer == kErrorSuccess) {
        PackageHandle record(installer);
        answer = installer.FetchRecord(view.Get(), record.Receive());
        bool holds = false;
        if (answer == kErrorSuccess) answer = HoldsLibrary(installer, record.Get(), holds);
        std::u16string name;
        if (answer == kErrorSuccess && holds) answer = ReadField(installer, record.Get(), 1, name);
        if (answer == kErrorSuccess && holds) package.libraryBinaries.insert(name);
    }
    return answer == kErrorNoMoreItems ? std::nullopt : Unreadable("the data of its Binary table", answer);
}

// The summary's Template names the platform before its ';' ("x64;1033").
Failure ReadPlatform(PackageDatabase& installer, InstallerHandle database, std::u16string& platform)
{
    std::u16string text;
    const WinResult answer = ReadText([&](char16_t* buffer, std::uint32_t* count) {
        return installer.GetSummaryString(database, kSummaryTemplate, buffer, count);
    }, text);
    if (answer != kErrorSuccess) return Unreadable("its summary information", answer);
    platform = text.substr(0, text.find(u';'));
    return std::nullopt;
}

// The installer answers a missing file, a folder and a file that is no package alike (error
// 110): the first two are told by the file system first.
Failure NoFileAt(const char16_t* path)
{
    std::error_code failed;
    const std::filesystem::file_type type = std::filesystem::status(std::u16string_view(path), failed).type();
    if (type == std::filesystem::file_type::not_found) return "no such file";
    if (type == std::filesystem::file_type::directory) return "is a folder, not a package";
    return std::nullopt;
}

}  // namespace

std::optional<Package> ReadPackage(PackageDatabase& installer, const char16_t* path, std::string& error)
{
    if (const Failure missing = NoFileAt(path)) {
        error = *missing;
        return std::nullopt;
    }
    PackageHandle database(installer);
    if (const WinResult opened = installer.OpenDatabase(path, database.Receive()); opened != kErrorSuccess) {
        error = "cannot be opened as a Windows Installer package (error " + std::to_string(opened) + ")";
        return std::nullopt;
    }
    Package package;
    package.path = path;
    Failure failure = ReadPlatform(installer, database.Get(), package.platform);
    for (const std::string_view name : kCheckedTables)
        if (!failure) failure = ReadTable(installer, database.Get(), name, package.tables[Widened(name)]);
    if (!failure) failure = FindLibraryBinaries(installer, database.Get(), package);
    if (!failure) return package;
    error = *failure;
    return std::nullopt;
}

}  // namespace zarvo::check
