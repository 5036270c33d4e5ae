// Packages built with msitools and read back through libmsi: tables with their columns, integer
// flags and null fields, the platform, the Binary rows that hold this library, and files that
// are no package, cut short or damaged.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "platform/libmsi/libmsi_package_database.h"
#include "unit/test_packages.h"
#include "zarvo-check/library_recognition.h"
#include "zarvo-check/package_reading.h"

namespace zarvo::test {
namespace {

using check::Field;
using check::Package;
using check::Table;

const std::vector<std::string> kCustomActions{
    "CREATE TABLE `CustomAction` (`Action` CHAR(72) NOT NULL, `Type` SHORT NOT NULL, `Source` CHAR(72), "
    "`Target` CHAR(255), `ExtendedType` LONG PRIMARY KEY `Action`)",
    "INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('Check', 1, 'ZarvoBin', 'CheckPrerequisites')",
    "INSERT INTO `CustomAction` (`Action`, `Type`, `ExtendedType`) VALUES ('Odd', -3, 7)",
};

// The row whose first field is `key`.
const std::vector<Field>* Row(const Table& table, std::u16string_view key)
{
    for (const std::vector<Field>& row : table.rows)
        if (!row.empty() && row.front() == key) return &row;
    return nullptr;
}

std::string Utf16Le(std::string_view ascii)
{
    std::string units;
    for (const char c : ascii) units.append({c, '\0'});
    return units;
}

// The package installer with its calls counted: the one numbered `failAt` answers as a
// failing installer would, and every handle handed out is followed until it is closed.
class FaultingDatabase final : public PackageDatabase {
public:
    FaultingDatabase(PackageDatabase& inner, int failAt) : inner_(inner), failAt_(failAt) {}

    int calls = 0;
    std::set<InstallerHandle> open;

    WinResult OpenDatabase(const char16_t* path, InstallerHandle* database) override
    {
        return Fails() ? kFailed : Opened(inner_.OpenDatabase(path, database), database);
    }
    int IsTablePersistent(InstallerHandle database, const char16_t* table) override
    {
        return Fails() ? kConditionError : inner_.IsTablePersistent(database, table);
    }
    WinResult OpenView(InstallerHandle database, const char16_t* query, InstallerHandle* view) override
    {
        return Fails() ? kFailed : Opened(inner_.OpenView(database, query, view), view);
    }
    WinResult ExecuteView(InstallerHandle view) override
    {
        return Fails() ? kFailed : inner_.ExecuteView(view);
    }
    WinResult FetchRecord(InstallerHandle view, InstallerHandle* record) override
    {
        return Fails() ? kFailed : Opened(inner_.FetchRecord(view, record), record);
    }
    WinResult GetColumnInfo(InstallerHandle view, std::uint32_t kind, InstallerHandle* record) override
    {
        return Fails() ? kFailed : Opened(inner_.GetColumnInfo(view, kind, record), record);
    }
    std::uint32_t GetFieldCount(InstallerHandle record) override
    {
        return Fails() ? kNoFieldCount : inner_.GetFieldCount(record);
    }
    bool IsRecordNull(InstallerHandle record, std::uint32_t field) override
    {
        return Fails() ? !inner_.IsRecordNull(record, field) : inner_.IsRecordNull(record, field);
    }
    WinResult GetRecordString(InstallerHandle record, std::uint32_t field, char16_t* buffer,
                              std::uint32_t* count) override
    {
        return Fails() ? kFailed : inner_.GetRecordString(record, field, buffer, count);
    }
    WinResult ReadRecordStream(InstallerHandle record, std::uint32_t field, char* buffer,
                               std::uint32_t* count) override
    {
        return Fails() ? kFailed : inner_.ReadRecordStream(record, field, buffer, count);
    }
    WinResult GetSummaryString(InstallerHandle database, std::uint32_t property, char16_t* buffer,
                               std::uint32_t* count) override
    {
        return Fails() ? kFailed : inner_.GetSummaryString(database, property, buffer, count);
    }
    WinResult CloseInstallerHandle(InstallerHandle handle) override
    {
        open.erase(handle);
        return inner_.CloseInstallerHandle(handle);
    }

private:
    static constexpr WinResult kFailed = 1627;

    bool Fails() { return ++calls == failAt_; }
    WinResult Opened(WinResult answer, const InstallerHandle* handle)
    {
        if (answer == 0) open.insert(*handle);
        return answer;
    }

    PackageDatabase& inner_;
    const int failAt_;
};

// Whether the data, fed in pieces of `size` bytes, is recognised as this library.
bool RecognisedInPieces(const std::string& data, std::size_t size)
{
    check::LibraryRecognition recognition;
    for (std::size_t at = 0; at < data.size() && !recognition.Settled(); at += size)
        recognition.Feed(std::span<const char>(data).subspan(at, std::min(size, data.size() - at)));
    return recognition.Recognised();
}

TEST(LibraryRecognition, TheNameCountsWhereverThePiecesSplitItAndOnlyInAModule)
{
    const std::string version = Utf16Le("ZarvoCustomActionDll.dll") + std::string(2, '\0');
    const std::string exported("ZarvoCustomActionDll.dll\0", 25);
    for (std::size_t size = 1; size <= 60; ++size) {
        EXPECT_TRUE(RecognisedInPieces("MZ.." + version + "..", size)) << size;
        EXPECT_TRUE(RecognisedInPieces("MZ" + exported, size)) << size;
        EXPECT_FALSE(RecognisedInPieces(".MZ" + version, size)) << size;
        EXPECT_FALSE(RecognisedInPieces("MZ" + exported.substr(0, 24) + ".bak", size)) << size;
    }
    EXPECT_FALSE(RecognisedInPieces("M", 1));
}

class PackageReading : public ::testing::Test {
protected:
    std::optional<Package> Read(const std::filesystem::path& path)
    {
        error.clear();
        return check::ReadPackage(installer, path.u16string().c_str(), error);
    }

    PackageFolder folder;
    libmsi::LibmsiPackageDatabase installer;
    std::string error;
};

TEST_F(PackageReading, TablesComeBackWithTheirColumnsIntegersAndNullFields)
{
    // A value longer than the reader's first buffer, read again in one of its size.
    const std::string longValue(300, 'v');
    std::vector<std::string> statements = kCustomActions;
    statements.push_back("CREATE TABLE `Property` (`Property` CHAR(72) NOT NULL, `Value` CHAR(0) PRIMARY KEY `Property`)");
    statements.push_back("INSERT INTO `Property` (`Property`, `Value`) VALUES ('Long', '" + longValue + "')");
    for (std::string& statement : SqlStatements(ZARVO_SOURCE_DIR "/tests/package/prerequisites.sql"))
        statements.push_back(statement);
    ASSERT_TRUE(folder.Msibuild("tables.msi", statements));

    const std::optional<Package> package = Read(folder.Path("tables.msi"));
    ASSERT_TRUE(package) << error;
    EXPECT_EQ(package->path, folder.Path("tables.msi").u16string());
    EXPECT_EQ(package->platform, u"Intel");
    const Table& actions = package->TableNamed(u"CustomAction");
    ASSERT_TRUE(actions.present);
    EXPECT_EQ(actions.columns, (std::vector<std::u16string>{u"Action", u"Type", u"Source", u"Target", u"ExtendedType"}));
    EXPECT_EQ(actions.integer, (std::vector<bool>{false, true, false, false, true}));
    ASSERT_EQ(actions.rows.size(), 2u);
    EXPECT_EQ(*Row(actions, u"Check"),
              (std::vector<Field>{u"Check", u"1", u"ZarvoBin", u"CheckPrerequisites", std::nullopt}));
    EXPECT_EQ(*Row(actions, u"Odd"), (std::vector<Field>{u"Odd", u"-3", std::nullopt, std::nullopt, u"7"}));

    EXPECT_EQ(*Row(package->TableNamed(u"Property"), u"Long"),
              (std::vector<Field>{u"Long", std::u16string(longValue.begin(), longValue.end())}));

    // The README's Prerequisites table, with its column named Order.
    const Table& prerequisites = package->TableNamed(u"Prerequisites");
    ASSERT_TRUE(prerequisites.present);
    EXPECT_EQ(prerequisites.rows.size(), 9u);
    const std::size_t order = prerequisites.Column(u"Order").value_or(99);
    ASSERT_LT(order, prerequisites.integer.size());
    EXPECT_TRUE(prerequisites.integer[order]);
    EXPECT_FALSE(prerequisites.integer[*prerequisites.Column(u"Value")]);
    const std::vector<Field>* windows = Row(prerequisites, u"CheckRegistryVersion");
    ASSERT_NE(windows, nullptr);
    EXPECT_EQ((*windows)[order], u"10");
    EXPECT_EQ((*windows)[*prerequisites.Column(u"Component_")], std::nullopt);

    // Every table the checks read has its entry; those the package lacks are not present.
    EXPECT_EQ(package->tables.size(), 12u);
    EXPECT_FALSE(package->TableNamed(u"Registry").present);
    EXPECT_FALSE(package->TableNamed(u"Binary").present);
    EXPECT_TRUE(package->libraryBinaries.empty());
}

TEST_F(PackageReading, AWixlPackageNamesItsPlatformAndTheBinaryRowsThatHoldThisLibrary)
{
    // The names straddle the reader's 64 KiB pieces; data that only mentions the name is no
    // module, and a module of another name is another library.
    const std::string filler(65530, 'x');
    folder.Write("version.dll", "MZ" + filler + Utf16Le("ZarvoCustomActionDll.dll") + std::string(2, '\0'));
    folder.Write("exported.dll", "MZ" + filler + std::string("ZarvoCustomActionDll.dll\0", 25));
    folder.Write("other.dll", "MZ" + filler + std::string("OtherCustomActions.dll\0", 23));
    folder.Write("notes.txt", Utf16Le("ZarvoCustomActionDll.dll") + std::string(2, '\0'));
    folder.Write("readme.txt", "read me");
    ASSERT_TRUE(folder.Wixl("tiny.msi", R"(<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="{3E5F7A21-6B4C-4D8E-9F10-2A3B4C5D6E71}" Name="Tiny" Language="1033" Version="1.0.0"
           Manufacturer="Zarvo" UpgradeCode="{8A1B2C3D-4E5F-4061-8273-94A5B6C7D8E1}">
    <Package InstallerVersion="200" Compressed="yes" InstallScope="perMachine"/>
    <Media Id="1" Cabinet="tiny.cab" EmbedCab="yes"/>
    <Binary Id="ZarvoLib" SourceFile="version.dll"/>
    <Binary Id="Renamed" SourceFile="exported.dll"/>
    <Binary Id="Other" SourceFile="other.dll"/>
    <Binary Id="Notes" SourceFile="notes.txt"/>
    <Property Id="GREETING" Value="Grüße €"/>
    <CustomAction Id="Check" BinaryKey="ZarvoLib" DllEntry="CheckPrerequisites" Execute="immediate" Return="check"/>
    <InstallExecuteSequence>
      <Custom Action="Check" Sequence="1001">NOT Installed</Custom>
    </InstallExecuteSequence>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProgramFiles64Folder">
        <Directory Id="INSTALLDIR" Name="Tiny">
          <Component Id="Readme" Guid="{5C6D7E8F-9A0B-4C1D-8E2F-3A4B5C6D7E82}" Win64="yes">
            <File Id="ReadmeFile" Name="readme.txt" Source="readme.txt" KeyPath="yes"/>
          </Component>
        </Directory>
      </Directory>
    </Directory>
    <Feature Id="Main" Level="1"><ComponentRef Id="Readme"/></Feature>
  </Product>
</Wix>
)", "x64"));

    const std::optional<Package> package = Read(folder.Path("tiny.msi"));
    ASSERT_TRUE(package) << error;
    EXPECT_EQ(package->platform, u"x64");
    EXPECT_TRUE(package->For64BitWindows());
    EXPECT_EQ(package->libraryBinaries, (std::set<std::u16string>{u"ZarvoLib", u"Renamed"}));
    const Table& binary = package->TableNamed(u"Binary");
    EXPECT_EQ(binary.columns, (std::vector<std::u16string>{u"Name", u"Data"}));
    ASSERT_EQ(binary.rows.size(), 4u);
    EXPECT_EQ(*Row(binary, u"Other"), (std::vector<Field>{u"Other", u""}));

    const Table& sequence = package->TableNamed(u"InstallExecuteSequence");
    ASSERT_TRUE(sequence.present);
    EXPECT_EQ(sequence.integer, (std::vector<bool>{false, false, true}));
    EXPECT_EQ(*Row(sequence, u"Check"), (std::vector<Field>{u"Check", u"NOT Installed", u"1001"}));
    EXPECT_EQ(*Row(sequence, u"CostInitialize"), (std::vector<Field>{u"CostInitialize", std::nullopt, u"800"}));
    EXPECT_EQ(*Row(package->TableNamed(u"Property"), u"GREETING"), (std::vector<Field>{u"GREETING", u"Grüße €"}));
    for (const char16_t* name : {u"InstallUISequence", u"AdminExecuteSequence", u"AdvtExecuteSequence",
                                 u"Component", u"Directory", u"File"})
        EXPECT_TRUE(package->TableNamed(name).present) << std::string(name, name + std::char_traits<char16_t>::length(name));
    EXPECT_FALSE(package->TableNamed(u"Prerequisites").present);
}

TEST_F(PackageReading, TheReleaseLibraryIsRecognisedUnderAnyRowName)
{
    const std::filesystem::path library = ZARVO_RELEASE_DLL;
    if (!std::filesystem::exists(library)) GTEST_SKIP() << library << " is not built: scripts/build.sh release";
    ASSERT_TRUE(folder.Msibuild("release.msi", {}));
    folder.Write("Binary.idt", "Name\tData\ns72\tv0\nBinary\tName\nCA\tcustom.dll\n");
    std::filesystem::create_directory(folder.Path("Binary"));
    std::filesystem::copy_file(library, folder.Path("Binary") / "custom.dll");
    ASSERT_TRUE(folder.Import("release.msi", "Binary.idt"));

    const std::optional<Package> package = Read(folder.Path("release.msi"));
    ASSERT_TRUE(package) << error;
    EXPECT_EQ(package->libraryBinaries, std::set<std::u16string>{u"CA"});
}

TEST_F(PackageReading, OddTablesAreReadAsTheyAre)
{
    // A CustomAction table without its Target column, a Binary table whose Data is a text,
    // and one whose Data may be null.
    ASSERT_TRUE(folder.Msibuild("odd.msi", {
        "CREATE TABLE `CustomAction` (`Action` CHAR(72) NOT NULL, `Type` SHORT NOT NULL PRIMARY KEY `Action`)",
        "INSERT INTO `CustomAction` (`Action`, `Type`) VALUES ('Check', 1)",
        "CREATE TABLE `Binary` (`Name` CHAR(72) NOT NULL, `Data` CHAR(72) PRIMARY KEY `Name`)",
        "INSERT INTO `Binary` (`Name`, `Data`) VALUES ('Lib', 'ZarvoCustomActionDll.dll')"}));
    std::optional<Package> package = Read(folder.Path("odd.msi"));
    ASSERT_TRUE(package) << error;
    EXPECT_EQ(package->TableNamed(u"CustomAction").columns, (std::vector<std::u16string>{u"Action", u"Type"}));
    EXPECT_EQ(*Row(package->TableNamed(u"Binary"), u"Lib"), (std::vector<Field>{u"Lib", u"ZarvoCustomActionDll.dll"}));
    EXPECT_TRUE(package->libraryBinaries.empty());

    ASSERT_TRUE(folder.Msibuild("null-data.msi", {
        "CREATE TABLE `Binary` (`Name` CHAR(72) NOT NULL, `Data` OBJECT PRIMARY KEY `Name`)",
        "INSERT INTO `Binary` (`Name`) VALUES ('Empty')"}, ";1033"));
    package = Read(folder.Path("null-data.msi"));
    ASSERT_TRUE(package) << error;
    EXPECT_EQ(package->platform, u"");
    EXPECT_EQ(*Row(package->TableNamed(u"Binary"), u"Empty"), (std::vector<Field>{u"Empty", std::nullopt}));
    EXPECT_TRUE(package->libraryBinaries.empty());
}

TEST_F(PackageReading, AFileThatIsNoPackageIsRefusedWithItsReason)
{
    ASSERT_TRUE(folder.Msibuild("whole.msi", kCustomActions));
    const std::string whole = FileBytes(folder.Path("whole.msi"));
    for (const std::filesystem::path& path : {
             folder.Write("empty.msi", ""),
             folder.Write("text.msi", "CREATE TABLE `CustomAction`\n"),
             folder.Write("cut.msi", whole.substr(0, whole.size() / 2)),
             folder.Write("header.msi", whole.substr(0, 512))}) {
        EXPECT_FALSE(Read(path)) << path;
        EXPECT_EQ(error, "cannot be opened as a Windows Installer package (error 110)") << path;
    }
    // The installer answers the same for these two; the reasons differ.
    EXPECT_FALSE(Read(folder.Path("missing.msi")));
    EXPECT_EQ(error, "no such file");
    std::filesystem::create_directory(folder.Path("folder.msi"));
    EXPECT_FALSE(Read(folder.Path("folder.msi")));
    EXPECT_EQ(error, "is a folder, not a package");
}

TEST_F(PackageReading, APackageThatWouldCrashLibmsiIsRefusedAsDamaged)
{
    // A stream longer in its directory entry than in its sectors: libmsi dereferences a
    // null stream while it opens the database.
    ASSERT_TRUE(folder.Msibuild("whole.msi", kCustomActions));
    std::string bytes = FileBytes(folder.Path("whole.msi"));
    const std::size_t entry = bytes.find(Utf16Le("\5SummaryInformation"));
    ASSERT_NE(entry, std::string::npos);
    bytes.replace(entry + 120, 4, std::string("\xE8\x03\0\0", 4));

    EXPECT_FALSE(Read(folder.Write("damaged.msi", bytes)));
    EXPECT_EQ(error, "cannot be opened as a Windows Installer package (error 1620)");
}

TEST_F(PackageReading, EachInstallerCallFailingInTurnLeavesNoHandleOpen)
{
    folder.Write("version.dll", "MZ" + Utf16Le("ZarvoCustomActionDll.dll") + std::string(2, '\0'));
    ASSERT_TRUE(folder.Msibuild("small.msi", kCustomActions));
    folder.Write("Binary.idt", "Name\tData\ns72\tv0\nBinary\tName\nLib\tversion.dll\n");
    std::filesystem::create_directory(folder.Path("Binary"));
    std::filesystem::copy_file(folder.Path("version.dll"), folder.Path("Binary") / "version.dll");
    ASSERT_TRUE(folder.Import("small.msi", "Binary.idt"));
    const std::u16string path = folder.Path("small.msi").u16string();

    FaultingDatabase clean(installer, 0);
    const std::optional<Package> whole = check::ReadPackage(clean, path.c_str(), error);
    ASSERT_TRUE(whole) << error;
    EXPECT_EQ(whole->libraryBinaries, std::set<std::u16string>{u"Lib"});
    EXPECT_TRUE(clean.open.empty());
    for (int failAt = 1; failAt <= clean.calls; ++failAt) {
        FaultingDatabase faulting(installer, failAt);
        error.clear();
        const std::optional<Package> package = check::ReadPackage(faulting, path.c_str(), error);
        EXPECT_TRUE(faulting.open.empty()) << "call " << failAt;
        EXPECT_NE(package.has_value(), !error.empty()) << "call " << failAt;
    }
}

}  // namespace
}  // namespace zarvo::test
