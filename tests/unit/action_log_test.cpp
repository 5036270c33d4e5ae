// The installer's log as the actions write it: bounded lines, brackets kept as written, and
// a log that cannot be written costing the action nothing.
#include <gtest/gtest.h>

#include "frame/action_log.h"
#include "frame/nearest_name.h"
#include "platform/sim/sim_platform.h"

namespace zarvo::test {
namespace {

TEST(ActionLog, WritesLinesThatStartWithTheActionAndKeepBracketsAsWritten)
{
    sim::SimPlatform sim;
    const InstallerHandle session = sim.installer.OpenSession(std::make_shared<sim::SimDatabase>());
    sim.installer.SetPropertyValue(session, u"INSTALLDIR", u"C:\\App\\");
    const ActionLog log(sim.installer, session, u"Act");
    log.Write(log.Line() << u"row " << 3u << u" " << 0u << u" " << 4294967295u << u" ");
    log.Write(log.Line().Quoted(u"[INSTALLDIR]app.cfg [1]"));
    EXPECT_EQ(sim.installer.Messages(session),
              (std::vector<std::u16string>{u"Act: row 3 0 4294967295 ", u"Act: \"[INSTALLDIR]app.cfg [1]\""}));
    EXPECT_EQ(sim.ledger.OpenCount(), 0u);
}

TEST(ActionLog, CutsALongLineWithAnEllipsisAtItsLength)
{
    LogLine line;
    line << std::u16string(kLogLineLength - 1, u'a') << u"bc" << u"never";
    EXPECT_EQ(line.Text().size(), kLogLineLength);
    EXPECT_EQ(line.Text().back(), u'\u2026');
    EXPECT_EQ(line.Text()[kLogLineLength - 2], u'a');
    LogLine exact;
    exact << std::u16string(kLogLineLength, u'x');
    EXPECT_EQ(exact.Text(), std::u16string(kLogLineLength, u'x'));
}

TEST(ActionLog, ALogThatCannotBeWrittenIsDroppedWithNothingLeftOpen)
{
    for (const sim::Operation failing :
         {sim::Operation::CreateRecord, sim::Operation::SetRecordString, sim::Operation::ProcessMessage}) {
        sim::SimPlatform sim;
        const InstallerHandle session = sim.installer.OpenSession(std::make_shared<sim::SimDatabase>());
        sim.ledger.FailEveryCall(failing);
        const ActionLog log(sim.installer, session, u"Act");
        log.Write(log.Line() << u"lost");
        EXPECT_TRUE(sim.installer.Messages(session).empty()) << failing;
        EXPECT_EQ(sim.ledger.OpenCount(), 0u) << failing;
    }
}

TEST(NearestName, SuggestsAKnownNameOnlyForALikelyTypo)
{
    const std::u16string_view known[] = {u"CheckFileVersion", u"CheckRegistryVersion", u"CheckRegistryDWord"};
    EXPECT_EQ(NearestName(u"CheckFileVersoin", known), u"CheckFileVersion");   // two letters swapped
    EXPECT_EQ(NearestName(u"checkfileversion2", known), u"CheckFileVersion");  // case aside, one added
    EXPECT_EQ(NearestName(u"CheckRegistryDword", known), std::nullopt);        // known, case aside
    EXPECT_EQ(NearestName(u"CheckRegistryDWrd", known), u"CheckRegistryDWord");
    EXPECT_EQ(NearestName(u"Unchecked", known), std::nullopt);
    EXPECT_EQ(NearestName(u"ab", std::span<const std::u16string_view>(known, 0)), std::nullopt);
    const std::u16string_view shortNames[] = {u"ab"};
    EXPECT_EQ(NearestName(u"xb", shortNames), std::nullopt);  // one edit of two letters is no typo
    EXPECT_EQ(NearestName(std::u16string(65, u'a'), known), std::nullopt);
}

}  // namespace
}  // namespace zarvo::test
