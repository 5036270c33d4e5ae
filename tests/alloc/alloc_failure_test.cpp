// Memory that cannot be had: the library's own reads give their failure answer, and no
// action lets the failure escape as anything but its documented answer.
#include <gtest/gtest.h>

#include "alloc/failing_new.h"
#include "dll/action_table.h"
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
        sim.registry.WriteText(u"SOFTWARE\\Vendor", u"Version", u"2.0");
        sim.registry.WriteText(u"SOFTWARE\\Vendor", u"Instance", u"{not a product}");
        database->tables[u"Prerequisites"] = sim::SimTable{
            {{u"Order", true}, {u"Type"}, {u"Name"}, {u"Destination"}, {u"ValueName"}, {u"Value"},
             {u"Component_"}},
            {{u"1", u"CheckRegistryVersion", u"version", u"SOFTWARE\\Vendor", u"Version", u"2", u"C"},
             {u"2", u"CheckInstanceProductState", u"instance", u"SOFTWARE\\Vendor", u"Instance",
              u"1", u"C"}},
            true};
    }
    void TearDown() override { FailAllocation(0, FailingKind::Any); }

    sim::SimPlatform sim;
    std::shared_ptr<sim::SimDatabase> database = std::make_shared<sim::SimDatabase>();
    InstallerHandle session = sim.installer.OpenSession(database);
    InstallerHandle record = sim.installer.CreateOwnRecord(1);
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

// A buffer that cannot be had is a failed read, which the action may absorb into its
// ordinary answer (a row that cannot be read is skipped); anything else gives the answer
// for an action that was stopped.
TEST_F(AllocationFailure, EveryActionGivesItsAnswerWhicheverAllocationFails)
{
    for (const ActionEntry& entry : ActionTable()) {
        FailAllocation(0, FailingKind::Any);
        const WinResult clean = InvokeAction(entry, sim.platform(), session);
        const std::uint64_t allocations = AllocationCount();
        EXPECT_GT(allocations, 0u) << entry.name;
        for (std::uint64_t n = 1; n <= allocations; ++n) {
            FailAllocation(n, FailingKind::Any);
            const WinResult answer = InvokeAction(entry, sim.platform(), session);
            FailAllocation(0, FailingKind::Any);
            EXPECT_TRUE(answer == entry.answerWhenStopped || answer == clean)
                << entry.name << " allocation " << n << " answered " << answer;
        }
    }
}

}  // namespace
}  // namespace zarvo::test
