// The simulated installer answers as msi.dll does where the actions depend on it.
#include <gtest/gtest.h>

#include "platform/sim/sim_result_codes.h"
#include "platform/sim/sim_platform.h"
#include "platform/sim/sim_query.h"

namespace zarvo::sim {
namespace {

class SimInstallerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimTable table{{{u"Type"}, {u"Name"}, {u"Order", true}}, {}, true};
        table.rows = {{u"t3", u"c", u"10"}, {u"t1", u"a", u"2"}, {u"t0", SimField(), SimField()},
                      {u"t2", u"b", u"2"}};
        database->tables[u"Items"] = table;
        database->tables[u"Scratch"] = SimTable{{{u"A"}}, {}, false};
    }

    std::vector<std::u16string> FetchTypes(const char16_t* query)
    {
        InstallerHandle db = installer().GetActiveDatabase(session);
        InstallerHandle view = 0;
        std::vector<std::u16string> types;
        if (installer().OpenView(db, query, &view) == kErrorSuccess &&
            installer().ExecuteView(view, 0) == kErrorSuccess) {
            InstallerHandle record = 0;
            while (installer().FetchRecord(view, &record) == kErrorSuccess) {
                types.push_back(installer().RecordField(record, 1).value_or(u"<null>"));
                installer().CloseInstallerHandle(record);
            }
            installer().CloseInstallerHandle(view);
        }
        installer().CloseInstallerHandle(db);
        return types;
    }
    SimInstaller& installer() { return sim.installer; }

    SimPlatform sim;
    std::shared_ptr<SimDatabase> database = std::make_shared<SimDatabase>();
    InstallerHandle session = sim.installer.OpenSession(database);
};

TEST_F(SimInstallerTest, SortsByTheOrderColumnNullsFirstAndEqualKeysAsStored)
{
    EXPECT_EQ(FetchTypes(u"Select `Type`,`Name` FROM `Items` ORDER BY `Order`"),
              (std::vector<std::u16string>{u"t0", u"t1", u"t2", u"t3"}));
    EXPECT_EQ(FetchTypes(u"SELECT Type FROM Items"),
              (std::vector<std::u16string>{u"t3", u"t1", u"t0", u"t2"}));
    EXPECT_EQ(sim.ledger.OpenCount(), 0u);
}

TEST_F(SimInstallerTest, RefusesQueriesOverMissingTablesOrColumns)
{
    const InstallerHandle db = installer().GetActiveDatabase(session);
    InstallerHandle view = 0;
    EXPECT_EQ(installer().OpenView(db, u"SELECT `Type` FROM `Missing`", &view), kErrorBadQuerySyntax);
    EXPECT_EQ(installer().OpenView(db, u"SELECT `Value` FROM `Items`", &view), kErrorBadQuerySyntax);
    EXPECT_EQ(installer().OpenView(db, u"SELECT `Type` FROM `Items` ORDER BY `Value`", &view),
              kErrorBadQuerySyntax);
    EXPECT_EQ(installer().OpenView(db, u"SELECT FROM `Items`", &view), kErrorBadQuerySyntax);
    EXPECT_EQ(installer().IsTablePersistent(db, u"Items"), kConditionTrue);
    EXPECT_EQ(installer().IsTablePersistent(db, u"Scratch"), kConditionFalse);
    EXPECT_EQ(installer().IsTablePersistent(db, u"Missing"), kConditionNone);
    installer().CloseInstallerHandle(db);
    EXPECT_EQ(installer().IsTablePersistent(db, u"Items"), kConditionError);
}

TEST_F(SimInstallerTest, ParsesTheQueryFormOnly)
{
    const auto query = ParseQuery(u"select `A`, B ,`C D` from `T` order by `A`");
    ASSERT_TRUE(query);
    EXPECT_EQ(query->columns, (std::vector<std::u16string>{u"A", u"B", u"C D"}));
    EXPECT_EQ(query->table, u"T");
    EXPECT_EQ(query->orderBy, u"A");
    EXPECT_FALSE(ParseQuery(u"SELECT `A` FROM `T` WHERE `A`=1"));
    EXPECT_FALSE(ParseQuery(u"SELECT `A` FROM"));
    EXPECT_FALSE(ParseQuery(u"SELECT `` FROM `T`"));
}

TEST_F(SimInstallerTest, FormatsFieldsAndPropertiesAndLeavesUnclosedBrackets)
{
    installer().SetPropertyValue(session, u"Folder", u"C:\\X\\");
    const InstallerHandle record = installer().CreateRecord(3);
    installer().SetRecordField(record, 1, u"one");
    installer().SetRecordField(record, 0, u"[1]|[2]|[Folder]|[Unset]|[4]|[1");
    char16_t buffer[64];
    std::uint32_t count = 64;
    ASSERT_EQ(installer().FormatRecord(session, record, buffer, &count), kErrorSuccess);
    EXPECT_EQ(std::u16string(buffer), u"one||C:\\X\\|||[1");
    EXPECT_EQ(count, 15u);
    count = 15;
    EXPECT_EQ(installer().FormatRecord(session, record, buffer, &count), kErrorMoreData);
    EXPECT_EQ(count, 15u);
}

TEST_F(SimInstallerTest, AnswersPropertyReadsWithTheInstallersCounts)
{
    installer().SetPropertyValue(session, u"P", u"abc");
    char16_t buffer[4];
    std::uint32_t count = 0;
    EXPECT_EQ(installer().GetProperty(session, u"P", buffer, &count), kErrorMoreData);
    EXPECT_EQ(count, 3u);
    count = 3;
    EXPECT_EQ(installer().GetProperty(session, u"P", buffer, &count), kErrorMoreData);
    EXPECT_EQ(std::u16string(buffer), u"ab");
    count = 4;
    EXPECT_EQ(installer().GetProperty(session, u"P", buffer, &count), kErrorSuccess);
    EXPECT_EQ(std::u16string(buffer), u"abc");
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(installer().SetProperty(session, u"P", u""), kErrorSuccess);
    EXPECT_EQ(installer().PropertyValue(session, u"P"), u"");
}

TEST_F(SimInstallerTest, KnowsComponentsProductsAndFileVersions)
{
    installer().AddComponent(u"Core");
    EXPECT_EQ(installer().SetComponentState(session, u"Core", kInstallStateAbsent), kErrorSuccess);
    EXPECT_EQ(installer().SetComponentState(session, u"Other", kInstallStateAbsent),
              kErrorUnknownComponent);
    EXPECT_EQ(installer().ComponentRequests(session).at(u"Core"), kInstallStateAbsent);

    const std::u16string code = u"{00000000-1111-2222-3333-444444444444}";
    installer().InstallProduct(code, u"5");
    char16_t state[25];
    std::uint32_t count = 25;
    EXPECT_EQ(installer().GetProductInfo(code.c_str(), nullptr, kInstallContextMachine, u"State",
                                         state, &count),
              kErrorSuccess);
    EXPECT_EQ(std::u16string(state), u"5");
    count = 25;
    EXPECT_EQ(installer().GetProductInfo(u"{00000000-1111-2222-3333-555555555555}", nullptr,
                                         kInstallContextMachine, u"State", state, &count),
              kErrorUnknownProduct);

    sim.files.PutFile(u"C:\\app.exe", {});
    sim.files.SetVersion(u"C:\\app.exe", FixedFileVersion{0x00040005, 0x00060007});
    char16_t version[25];
    count = 25;
    EXPECT_EQ(installer().GetFileVersion(u"C:\\app.exe", version, &count, nullptr, nullptr),
              kErrorSuccess);
    EXPECT_EQ(std::u16string(version), u"4.5.6.7");
    count = 25;
    EXPECT_EQ(installer().GetFileVersion(u"C:\\none.exe", version, &count, nullptr, nullptr),
              kErrorFileNotFound);
}

}  // namespace
}  // namespace zarvo::sim
