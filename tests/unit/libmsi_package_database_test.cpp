// The libmsi installer answers as msi.dll does: its handles, its Windows codes, its texts in
// UTF-16 with the installer's counts, and its streams read in pieces.
#include <gtest/gtest.h>

#include <libmsi.h>

#include <array>
#include <string>

#include "platform/libmsi/libmsi_package_database.h"
#include "platform/libmsi/libmsi_result.h"
#include "platform/libmsi/libmsi_trial_read.h"
#include "unit/test_packages.h"

namespace zarvo::test {
namespace {

using libmsi::LibmsiPackageDatabase;

class LibmsiInstaller : public ::testing::Test {
protected:
    void SetUp() override
    {
        data = "stream bytes, read seven at a time";
        folder.Write("data.bin", data);
        std::filesystem::create_directory(folder.Path("Binary"));
        std::filesystem::copy_file(folder.Path("data.bin"), folder.Path("Binary") / "data.bin");
        folder.Write("Binary.idt", "Name\tData\ns72\tv0\nBinary\tName\nBlob\tdata.bin\n");
        ASSERT_TRUE(folder.Msibuild("small.msi", {
            "CREATE TABLE `Property` (`Property` CHAR(72) NOT NULL, `Value` CHAR(0) PRIMARY KEY `Property`)",
            "INSERT INTO `Property` (`Property`, `Value`) VALUES ('Answer', 'forty-two')"}, "x64;1033"));
        ASSERT_TRUE(folder.Import("small.msi", "Binary.idt"));
        ASSERT_EQ(installer.OpenDatabase(folder.Path("small.msi").u16string().c_str(), &database), 0u);
    }
    void TearDown() override { installer.CloseInstallerHandle(database); }

    // The first row of the query, executed.
    InstallerHandle FirstRow(const char16_t* query)
    {
        InstallerHandle view = 0;
        InstallerHandle record = 0;
        EXPECT_EQ(installer.OpenView(database, query, &view), 0u);
        EXPECT_EQ(installer.ExecuteView(view), 0u);
        EXPECT_EQ(installer.FetchRecord(view, &record), 0u);
        EXPECT_EQ(installer.FetchRecord(view, &record), libmsi::kNoMoreItems);
        installer.CloseInstallerHandle(view);
        return record;
    }

    PackageFolder folder;
    LibmsiPackageDatabase installer;
    InstallerHandle database = 0;
    std::string data;
};

TEST_F(LibmsiInstaller, QueriesAndTablesAnswerWithTheInstallersCodes)
{
    InstallerHandle view = 0;
    EXPECT_EQ(installer.OpenView(database, u"SELECT * FROM `Nowhere`", &view), libmsi::kBadQuerySyntax);
    EXPECT_EQ(installer.OpenView(database, u"SELECT FROM", &view), libmsi::kBadQuerySyntax);
    EXPECT_EQ(installer.IsTablePersistent(database, u"Property"), kConditionTrue);
    EXPECT_EQ(installer.IsTablePersistent(database, u"Nowhere"), kConditionNone);

    ASSERT_EQ(installer.OpenView(database, u"SELECT * FROM `Property`", &view), 0u);
    InstallerHandle types = 0;
    EXPECT_EQ(installer.GetColumnInfo(view, 5, &types), libmsi::kInvalidParameter);
    ASSERT_EQ(installer.GetColumnInfo(view, kColumnTypes, &types), 0u);
    std::array<char16_t, 8> text{};
    std::uint32_t count = text.size();
    EXPECT_EQ(installer.GetRecordString(types, 2, text.data(), &count), 0u);
    EXPECT_EQ(std::u16string(text.data(), count), u"S0");
    EXPECT_EQ(installer.CloseInstallerHandle(types), 0u);
    EXPECT_EQ(installer.CloseInstallerHandle(types), libmsi::kInvalidHandle);
    EXPECT_EQ(installer.CloseInstallerHandle(view), 0u);
}

TEST_F(LibmsiInstaller, FieldsAreTextsInUtf16WithTheInstallersCounts)
{
    const InstallerHandle record = FirstRow(u"SELECT `Value`, `Property` FROM `Property`");
    EXPECT_EQ(installer.GetFieldCount(record), 2u);
    EXPECT_FALSE(installer.IsRecordNull(record, 1));
    EXPECT_TRUE(installer.IsRecordNull(record, 0));
    EXPECT_TRUE(installer.IsRecordNull(record, 3));
    std::array<char16_t, 6> small{};
    std::uint32_t count = small.size();
    EXPECT_EQ(installer.GetRecordString(record, 1, small.data(), &count), 234u);
    EXPECT_EQ(count, 9u);
    EXPECT_EQ(std::u16string(small.data()), u"forty");
    std::array<char16_t, 10> fits{};
    count = fits.size();
    EXPECT_EQ(installer.GetRecordString(record, 1, fits.data(), &count), 0u);
    EXPECT_EQ(std::u16string(fits.data(), count), u"forty-two");
    // The installer's sizing call, and a buffer without its count.
    EXPECT_EQ(installer.GetRecordString(record, 1, nullptr, &count), 0u);
    EXPECT_EQ(count, 9u);
    EXPECT_EQ(installer.GetRecordString(record, 1, fits.data(), nullptr), libmsi::kInvalidParameter);
    // A text field is no stream.
    std::array<char, 4> bytes{};
    count = bytes.size();
    EXPECT_EQ(installer.ReadRecordStream(record, 1, bytes.data(), &count), libmsi::kInvalidDatatype);
    installer.CloseInstallerHandle(record);

    // Handles that are not records, or no handles at all.
    EXPECT_EQ(installer.GetFieldCount(database), kNoFieldCount);
    EXPECT_FALSE(installer.IsRecordNull(record, 1));
    EXPECT_EQ(installer.GetRecordString(record, 1, fits.data(), &count), libmsi::kInvalidHandle);
    EXPECT_EQ(installer.ExecuteView(database), libmsi::kInvalidHandle);
}

TEST_F(LibmsiInstaller, AStreamIsReadInPiecesToItsEnd)
{
    const InstallerHandle record = FirstRow(u"SELECT `Name`, `Data` FROM `Binary`");
    std::array<char16_t, 8> text{};
    std::uint32_t count = text.size();
    EXPECT_EQ(installer.GetRecordString(record, 2, text.data(), &count), libmsi::kInvalidDatatype);
    std::string read;
    std::array<char, 7> piece{};
    do {
        count = piece.size();
        ASSERT_EQ(installer.ReadRecordStream(record, 2, piece.data(), &count), 0u);
        read.append(piece.data(), count);
    } while (count != 0);
    EXPECT_EQ(read, data);
    count = piece.size();
    EXPECT_EQ(installer.ReadRecordStream(record, 3, piece.data(), &count), libmsi::kInvalidParameter);
    EXPECT_EQ(installer.ReadRecordStream(record, 0, piece.data(), &count), 0u);
    EXPECT_EQ(count, 0u);
    installer.CloseInstallerHandle(record);
}

TEST_F(LibmsiInstaller, TheSummaryTemplateAndItsOtherProperties)
{
    std::array<char16_t, 16> text{};
    std::uint32_t count = text.size();
    EXPECT_EQ(installer.GetSummaryString(database, kSummaryTemplate, text.data(), &count), 0u);
    EXPECT_EQ(std::u16string(text.data(), count), u"x64;1033");
    count = text.size();
    EXPECT_EQ(installer.GetSummaryString(database, 14, text.data(), &count), libmsi::kDatatypeMismatch);
    count = text.size();
    EXPECT_EQ(installer.GetSummaryString(database, 17, text.data(), &count), 0u);  // no thumbnail
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(installer.GetSummaryString(database, 99, text.data(), &count), libmsi::kUnknownProperty);
}

TEST(LibmsiPaths, APathThatIsNoUtf16IsRefused)
{
    LibmsiPackageDatabase installer;
    InstallerHandle database = 0;
    const char16_t lone[] = {u'a', char16_t(0xD800), u'\0'};
    EXPECT_EQ(installer.OpenDatabase(lone, &database), libmsi::kInvalidParameter);
    EXPECT_EQ(installer.OpenDatabase(nullptr, &database), libmsi::kInvalidParameter);
    EXPECT_EQ(installer.IsTablePersistent(database, lone), kConditionError);
}

TEST(LibmsiResults, LibmsisOwnErrorsBecomeTheirWindowsCodes)
{
    const auto code = [](GQuark domain, int number) {
        GError* error = g_error_new_literal(domain, number, "test");
        const WinResult result = libmsi::ResultOf(error, 1);
        g_error_free(error);
        return result;
    };
    EXPECT_EQ(code(LIBMSI_RESULT_ERROR, LIBMSI_RESULT_BAD_QUERY_SYNTAX), 1615u);
    EXPECT_EQ(code(LIBMSI_RESULT_ERROR, LIBMSI_RESULT_INVALID_TABLE), 1628u);
    EXPECT_EQ(code(LIBMSI_RESULT_ERROR, LIBMSI_RESULT_INVALID_DATATYPE), 1804u);
    EXPECT_EQ(code(LIBMSI_RESULT_ERROR, LIBMSI_RESULT_SUCCESS), 1u);
    EXPECT_EQ(code(LIBMSI_RESULT_ERROR, 19), 1u);
    EXPECT_EQ(code(LIBMSI_DB_ERROR, LIBMSI_DB_ERROR_BADPATH), 1u);
    EXPECT_EQ(libmsi::ResultOf(nullptr, 1), 1u);
}

TEST_F(LibmsiInstaller, MissingPlacesForAnswersAreRefused)
{
    EXPECT_EQ(installer.OpenDatabase(folder.Path("small.msi").u16string().c_str(), nullptr), libmsi::kInvalidParameter);
    EXPECT_EQ(installer.OpenView(database, nullptr, nullptr), libmsi::kInvalidParameter);
    InstallerHandle view = 0;
    ASSERT_EQ(installer.OpenView(database, u"SELECT * FROM `Property`", &view), 0u);
    EXPECT_EQ(installer.FetchRecord(view, nullptr), libmsi::kInvalidParameter);
    EXPECT_EQ(installer.GetColumnInfo(view, kColumnNames, nullptr), libmsi::kInvalidParameter);
    installer.CloseInstallerHandle(view);
    const InstallerHandle record = FirstRow(u"SELECT `Name`, `Data` FROM `Binary`");
    std::uint32_t count = 1;
    EXPECT_EQ(installer.ReadRecordStream(record, 2, nullptr, &count), libmsi::kInvalidParameter);
    installer.CloseInstallerHandle(record);
}

TEST_F(LibmsiInstaller, TheTrialReadsAPackageWholeAndOpensOnlyPackages)
{
    EXPECT_TRUE(libmsi::ReadWholePackage(folder.Path("small.msi").c_str()));
    EXPECT_EQ(libmsi::TrialRead(folder.Path("small.msi").c_str()), libmsi::TrialOutcome::ReadThrough);
    EXPECT_FALSE(libmsi::ReadWholePackage(folder.Write("text.msi", "no package").c_str()));
    EXPECT_EQ(libmsi::TrialRead(folder.Path("text.msi").c_str()), libmsi::TrialOutcome::NotOpened);
}

}  // namespace
}  // namespace zarvo::test
