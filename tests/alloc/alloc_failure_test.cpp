// Memory that cannot be had: the library's own reads give their failure answer, and no
// action lets the failure escape as anything but its documented answer.
#include <gtest/gtest.h>

#include "alloc/failing_new.h"
#include "frame/action_table.h"
#include "frame/installer_access.h"
#include "platform/sim/sim_platform.h"

namespace zarvo::test {
namespace {

class AllocationFailure : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim.installer.SetPropertyValue(session, u"Data", u"a text longer than a short string");
        sim.installer.SetRecordField(record, 1, u"[Data]");
    }
    void TearDown() override { FailAllocation(0, FailingKind::Any); }

    sim::SimPlatform sim;
    InstallerHandle session = sim.installer.OpenSession(std::make_shared<sim::SimDatabase>());
    InstallerHandle record = sim.installer.CreateRecord(1);
};

TEST_F(AllocationFailure, ReadsGiveNothingWhenTheirBufferCannotBeHad)
{
    FailAllocation(1, FailingKind::NothrowOnly);
    EXPECT_FALSE(ReadPropertyAlloc(sim.installer, session, u"Data"));
    EXPECT_EQ(AllocationCount(), 1u);
    FailAllocation(1, FailingKind::NothrowOnly);
    EXPECT_FALSE(ReadRecordField(sim.installer, session, record, 1));
    FailAllocation(0, FailingKind::NothrowOnly);
    EXPECT_TRUE(ReadPropertyAlloc(sim.installer, session, u"Data"));
    EXPECT_EQ(sim.ledger.OpenCount(), 0u);
}

TEST_F(AllocationFailure, EveryActionGivesItsAnswerWhicheverAllocationFails)
{
    for (const ActionEntry& entry : ActionTable()) {
        FailAllocation(0, FailingKind::Any);
        InvokeAction(entry, sim.platform(), session);
        const std::uint64_t allocations = AllocationCount();
        EXPECT_GT(allocations, 0u) << entry.name;
        for (std::uint64_t n = 1; n <= allocations; ++n) {
            FailAllocation(n, FailingKind::Any);
            const WinResult answer = InvokeAction(entry, sim.platform(), session);
            FailAllocation(0, FailingKind::Any);
            EXPECT_EQ(answer, entry.answerWhenStopped) << entry.name << " allocation " << n;
        }
    }
}

}  // namespace
}  // namespace zarvo::test
