// The installer's log as the actions write into it, on both machines: every line reaches
// the session's log as it was written, brackets and all.
#include <gtest/gtest.h>

#include "frame/action_log.h"
#include "scenario/machine.h"

namespace zarvo::test {
namespace {

TEST(ActionLogOnTheMachine, ReachesTheSessionsLogAsWritten)
{
    const std::unique_ptr<Machine> machine = MakeMachine();
    machine->SetProperty(u"INSTALLDIR", u"C:\\App\\");
    const ActionLog log(machine->platform().installer, machine->Session(), u"Scenario");
    log.Write(log.Line() << u"target " << u"[INSTALLDIR]app.cfg" << u" [1] [\\[] ]x[");
    log.Write(log.Line() << 42u);
    const std::vector<std::u16string> lines = machine->LogLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(Narrow(lines[0]), "Scenario: target [INSTALLDIR]app.cfg [1] [\\[] ]x[");
    EXPECT_EQ(Narrow(lines[1]), "Scenario: 42");
}

}  // namespace
}  // namespace zarvo::test
