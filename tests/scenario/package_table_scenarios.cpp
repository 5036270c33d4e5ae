// The installer's database operations, as the table walk uses them, on a package's own
// tables: the simulated installer must answer as the real one does.
#include <gtest/gtest.h>

#include "frame/installer_access.h"
#include "frame/result_codes.h"
#include "scenario/windows_errors.h"
#include "scenario/machine.h"

namespace zarvo::test {
namespace {

const std::vector<TableColumn> kColumns = {{u"Name"}, {u"Type"}, {u"Order", true}};
constexpr const char16_t* kQuery = u"Select `Name`,`Type`,`Order` FROM `Items` ORDER BY `Order`";

class PackageTable : public ::testing::Test {
protected:
    Installer& installer() { return machine->platform().installer; }

    // Every row the query gives, each as its formatted fields joined with "|".
    std::vector<std::string> Rows(const char16_t* query)
    {
        InstallerHandleGuard database(installer(), installer().GetActiveDatabase(machine->Session()));
        InstallerHandleGuard view(installer());
        std::vector<std::string> rows;
        if (installer().OpenView(database.Get(), query, view.Receive()) != kErrorSuccess)
            return {"<no view>"};
        EXPECT_EQ(installer().ExecuteView(view.Get(), 0), kErrorSuccess);
        InstallerHandleGuard record(installer());
        while (installer().FetchRecord(view.Get(), record.Receive()) == kErrorSuccess) {
            std::string row;
            for (std::uint32_t field = 1; field <= 3; ++field) {
                const OwnedText text =
                    ReadRecordField(installer(), machine->Session(), record.Get(), field);
                if (field > 1) row += '|';
                row += text ? Narrow(text.get()) : "<nothing>";
            }
            rows.push_back(row);
        }
        return rows;
    }

    int Persistence(const char16_t* table)
    {
        InstallerHandleGuard database(installer(), installer().GetActiveDatabase(machine->Session()));
        return installer().IsTablePersistent(database.Get(), table);
    }

    std::unique_ptr<Machine> machine = MakeMachine();
};

TEST_F(PackageTable, GivesRowsInOrderWithEmptyFieldsAsEmptyTexts)
{
    machine->AddTable(u"Items", kColumns,
                      {{u"third", u"[Folder]c", u"30"},
                       {u"first", u"a", u"-5"},
                       {u"empty", std::nullopt, u"7"},
                       {u"second", u"b", u"20"}});
    machine->SetProperty(u"Folder", u"C:\\F\\");
    EXPECT_EQ(Rows(kQuery), (std::vector<std::string>{"first|a|-5", "empty||7", "second|b|20",
                                                      "third|C:\\F\\c|30"}));
}

TEST_F(PackageTable, AnEmptyTableGivesNoRows)
{
    machine->AddTable(u"Items", kColumns, {});
    EXPECT_TRUE(Rows(kQuery).empty());
}

TEST_F(PackageTable, TellsStoredTablesFromTemporaryAndMissingOnes)
{
    machine->AddTable(u"Items", kColumns, {});
    machine->AddTemporaryTable(u"Scratch", kColumns);
    EXPECT_EQ(Persistence(u"Items"), kConditionTrue);
    EXPECT_EQ(Persistence(u"Scratch"), kConditionFalse);
    EXPECT_EQ(Persistence(u"Missing"), kConditionNone);
}

TEST_F(PackageTable, RefusesAQueryOverAMissingTableOrColumn)
{
    machine->AddTable(u"Items", {{u"Name"}, {u"Type"}}, {{u"only", u"x"}});
    EXPECT_EQ(Rows(kQuery), (std::vector<std::string>{"<no view>"}));
    EXPECT_EQ(Rows(u"Select `Name` FROM `Absent`"), (std::vector<std::string>{"<no view>"}));
}

TEST_F(PackageTable, AnswersUnknownProductsAndFilesWithFailure)
{
    char16_t text[25];
    std::uint32_t count = 25;
    EXPECT_EQ(installer().GetProductInfo(u"{00000000-0000-0000-0000-000000000001}", nullptr,
                                         kInstallContextMachine, u"State", text, &count),
              kErrorUnknownProduct);
    count = 25;
    EXPECT_NE(installer().GetFileVersion(u"C:\\no such folder\\none.exe", text, &count, nullptr,
                                         nullptr),
              kErrorSuccess);
}

}  // namespace
}  // namespace zarvo::test
