// What CloseWindowByGUID asks of the desktop, in order, where only the simulated machine
// shows it.
#include <gtest/gtest.h>

#include "dll/action_table.h"
#include "frame/result_codes.h"
#include "unit/fault_sweep.h"

namespace zarvo::test {
namespace {

using sim::FindEvent;
using sim::MessageBoxEvent;
using sim::Operation;
using sim::SendEvent;

InstallerHandle SessionWith(sim::SimPlatform& sim, const std::u16string& text)
{
    const InstallerHandle session = sim.installer.OpenSession(std::make_shared<sim::SimDatabase>());
    sim.installer.SetPropertyValue(session, u"CloseWindowByGUID", text);
    return session;
}

class CloseWindowByGUIDTest : public ::testing::Test {
protected:
    WinResult RunWith(const std::u16string& text)
    {
        session = SessionWith(sim, text);
        return InvokeAction(*FindAction("CloseWindowByGUID"), sim.platform(), session);
    }
    const std::vector<sim::DesktopEvent>& events() { return sim.desktop.Events(); }
    // The lines the last run wrote into the log.
    const std::vector<std::u16string>& Lines() { return sim.installer.Messages(session); }

    sim::SimPlatform sim;
    InstallerHandle session = 0;
};

using LogLines = std::vector<std::u16string>;

TEST_F(CloseWindowByGUIDTest, SendsTheCloseSystemCommandToTheWindowOfThatTitle)
{
    const WindowHandle window = sim.desktop.AddWindow(u"{6F1E2D3C} Zarvo Agent");
    ASSERT_EQ(RunWith(u"{6F1E2D3C} Zarvo Agent"), kErrorSuccess);
    ASSERT_EQ(events().size(), 2u);
    const auto& find = std::get<FindEvent>(events()[0]);
    EXPECT_EQ(find.className, std::nullopt);
    EXPECT_EQ(find.title, u"{6F1E2D3C} Zarvo Agent");
    const auto& sent = std::get<SendEvent>(events()[1]);
    EXPECT_EQ(sent.window, window);
    EXPECT_EQ(sent.message, 0x0112u);
    EXPECT_EQ(sent.wParam, 0xF060u);
    EXPECT_EQ(sent.lParam, 0);
}

TEST_F(CloseWindowByGUIDTest, TheMarkerShowsTheTitleInAnInformationBoxBeforeTheSearch)
{
    sim.desktop.AddWindow(u"Agent");
    ASSERT_EQ(RunWith(u"Agent/ShowActionMessage then /ShowActionMessage again"), kErrorSuccess);
    ASSERT_EQ(events().size(), 3u);
    const auto& box = std::get<MessageBoxEvent>(events()[0]);
    EXPECT_EQ(box.owner, 0u);
    EXPECT_EQ(box.text, u"Agent");
    EXPECT_EQ(box.caption, u"CloseWindowByGUID");
    EXPECT_EQ(box.type, 0x40u);
    EXPECT_EQ(std::get<FindEvent>(events()[1]).title, u"Agent");
    EXPECT_TRUE(std::holds_alternative<SendEvent>(events()[2]));
}

TEST_F(CloseWindowByGUIDTest, OnlyTheFirstWindowFoundIsAddressed)
{
    const WindowHandle first = sim.desktop.AddWindow(u"Agent");
    const WindowHandle second = sim.desktop.AddWindow(u"Agent");
    RunWith(u"Agent");
    EXPECT_FALSE(sim.desktop.HasWindow(first));
    EXPECT_TRUE(sim.desktop.HasWindow(second));
    EXPECT_EQ(events().size(), 2u);
}

TEST_F(CloseWindowByGUIDTest, WithoutAWindowNothingIsSent)
{
    ASSERT_EQ(RunWith(u"Agent"), kErrorSuccess);
    ASSERT_EQ(events().size(), 1u);
    EXPECT_EQ(std::get<FindEvent>(events()[0]).found, 0u);
}

TEST_F(CloseWindowByGUIDTest, AnEmptyTitleShowsNothingAndLooksForNoWindow)
{
    const WindowHandle untitled = sim.desktop.AddWindow(u"");
    for (const char16_t* text : {u"", u"/ShowActionMessage", u"/ShowActionMessage Agent"}) {
        EXPECT_EQ(RunWith(text), kErrorSuccess);
        EXPECT_TRUE(events().empty()) << std::u16string_view(text).size() << " characters";
    }
    EXPECT_TRUE(sim.desktop.HasWindow(untitled));
}

TEST_F(CloseWindowByGUIDTest, LogsTheTitleTheBoxAndTheWindowClosed)
{
    sim.desktop.AddWindow(u"{6F1E} [Agent]");
    RunWith(u"{6F1E} [Agent]/ShowActionMessage");
    EXPECT_EQ(Lines(), (LogLines{u"CloseWindowByGUID: showed the title \"{6F1E} [Agent]\" in a message box",
                                 u"CloseWindowByGUID: found the window titled \"{6F1E} [Agent]\" and "
                                 u"sent it the Close command"}));
}

TEST_F(CloseWindowByGUIDTest, LogsWhatItCouldNotDo)
{
    RunWith(u"Agent");
    EXPECT_EQ(Lines(), LogLines{u"CloseWindowByGUID: no window titled \"Agent\" found"});

    sim.ledger.FailCall(Operation::ShowMessageBox, 1);
    RunWith(u"Agent/ShowActionMessage");
    EXPECT_EQ(Lines().front(),
              u"CloseWindowByGUID: could not show the title \"Agent\" in a message box");

    RunWith(u"/ShowActionMessage Agent");
    EXPECT_EQ(Lines(), LogLines{u"CloseWindowByGUID: the title is empty: no window looked for"});

    sim.ledger.FailCall(Operation::GetProperty, 1);
    RunWith(u"Agent");
    EXPECT_EQ(Lines(),
              LogLines{u"CloseWindowByGUID: the property CloseWindowByGUID could not be read: fails"});
}

TEST(CloseWindowByGUID, AnswersAsDocumentedWhicheverCallFails)
{
    SameCallsBesideLog sameCalls;
    RunFaultSweep(
        {[](sim::SimPlatform& sim) {
             sim.desktop.AddWindow(u"Agent");
             return SessionWith(sim, u"Agent/ShowActionMessage");
         },
         "CloseWindowByGUID", {},
         [&sameCalls](sim::SimPlatform& sim, InstallerHandle, const FailedCall& failed) {
             // An unreadable property closes nothing, nor does a failed search or close
             // command; a box that could not be shown does not stop the search, nor does a
             // log line that could not be written.
             const bool closed = sim.desktop.WindowTitled(u"Agent") == 0;
             EXPECT_EQ(closed, !FailedOn(failed, Operation::GetProperty) &&
                                   !FailedOn(failed, Operation::FindTopLevelWindow) &&
                                   !FailedOn(failed, Operation::Send))
                 << Failing(failed);
             // The title is read before the desktop is asked anything.
             EXPECT_TRUE(failed || CalledInOrder(sim.ledger, {Operation::GetProperty,
                                                              Operation::ShowMessageBox,
                                                              Operation::FindTopLevelWindow,
                                                              Operation::Send}));
             sameCalls.Check(sim.ledger, failed);
         },
         CleanAnswerWhenLogFails(kErrorSuccess, {kErrorSuccess, kErrorInstallFailure})});
}

}  // namespace
}  // namespace zarvo::test
