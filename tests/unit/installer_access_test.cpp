// The reading helpers against installer answers that only the simulated installer gives.
#include <gtest/gtest.h>

#include "frame/installer_access.h"
#include "frame/result_codes.h"
#include "platform/sim/sim_platform.h"

namespace zarvo {
namespace {

class InstallerAccess : public ::testing::Test {
protected:
    sim::SimPlatform sim;
    std::shared_ptr<sim::SimDatabase> database = std::make_shared<sim::SimDatabase>();
    InstallerHandle session = sim.installer.OpenSession(database);
};

TEST_F(InstallerAccess, ASizingAnswerOfSuccessTellsNoLengthAndTheReadFails)
{
    sim.installer.SetPropertyValue(session, u"Data", u"text");
    sim.installer.answerSizingCallsWithSuccess = true;
    EXPECT_FALSE(ReadPropertyAlloc(sim.installer, session, u"Data"));
    const InstallerHandle record = sim.installer.CreateRecord(1);
    sim.installer.SetRecordField(record, 1, u"text");
    EXPECT_FALSE(ReadRecordField(sim.installer, session, record, 1));
}

TEST_F(InstallerAccess, ALengthWhoseBufferWouldNotFitThirtyTwoBitsFailsWithoutAllocating)
{
    for (const std::uint32_t length : {0x7FFFFFFFu, 0xFFFFFFFFu}) {
        sim.installer.claimedLength = length;
        EXPECT_FALSE(ReadPropertyAlloc(sim.installer, session, u"Data"));
        const InstallerHandle record = sim.installer.CreateRecord(1);
        EXPECT_FALSE(ReadRecordField(sim.installer, session, record, 1));
    }
}

TEST_F(InstallerAccess, AFailedReadAfterASuccessfulSizingGivesNothing)
{
    sim.installer.SetPropertyValue(session, u"Data", u"text");
    sim.ledger.FailCall(sim::Operation::GetProperty, 2);
    EXPECT_FALSE(ReadPropertyAlloc(sim.installer, session, u"Data"));
}

class Guard : public InstallerAccess {
protected:
    void SetUp() override
    {
        database->tables[u"Rows"] = sim::SimTable{{{u"Name"}}, {{u"a"}, {u"b"}, {u"c"}}, true};
    }
};

TEST_F(Guard, ClosesWhatItOwnsBeforeReceivingAndAtItsEnd)
{
    {
        InstallerHandleGuard none(sim.installer);
        EXPECT_EQ(none.Get(), 0u);
    }
    // An empty guard closes nothing.
    EXPECT_EQ(sim.ledger.CallCount(sim::Operation::CloseInstallerHandle), 0u);

    InstallerHandleGuard db(sim.installer, sim.installer.GetActiveDatabase(session));
    InstallerHandleGuard view(sim.installer);
    ASSERT_EQ(sim.installer.OpenView(db.Get(), u"SELECT `Name` FROM `Rows`", view.Receive()),
              kErrorSuccess);
    ASSERT_EQ(sim.installer.ExecuteView(view.Get(), 0), kErrorSuccess);
    {
        InstallerHandleGuard record(sim.installer);
        int fetched = 0;
        while (sim.installer.FetchRecord(view.Get(), record.Receive()) == kErrorSuccess) {
            ++fetched;
            EXPECT_EQ(sim.ledger.OpenCount(), 3u);  // one record at a time
        }
        EXPECT_EQ(fetched, 3);
    }
    EXPECT_EQ(sim.ledger.OpenCount(), 2u);
}

TEST_F(Guard, CountsAHandleReleasedWhenItsCloseFails)
{
    {
        InstallerHandleGuard db(sim.installer, sim.installer.GetActiveDatabase(session));
        sim.ledger.FailCall(sim::Operation::CloseInstallerHandle, 1);
    }
    EXPECT_EQ(sim.ledger.OpenCount(), 0u);
}

}  // namespace
}  // namespace zarvo
