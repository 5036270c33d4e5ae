// CloseWindowByGUID against windows that helper processes put up, with the user played by
// the machine whenever the action shows its box.
#include <gtest/gtest.h>

#include "frame/result_codes.h"
#include "scenario/machine.h"

namespace zarvo::test {
namespace {

constexpr const char16_t* kCaption = u"CloseWindowByGUID";

class WindowClosing : public ::testing::Test {
protected:
    // Runs the action with the property, watching for its box with `window` as the window to
    // report on, and gives the boxes it showed.
    std::vector<MessageBoxSeen> CloseWith(const std::u16string& text, WindowHandle window)
    {
        machine->SetProperty(u"CloseWindowByGUID", text);
        machine->WatchMessageBoxes(kCaption, window);
        EXPECT_EQ(machine->RunAction("CloseWindowByGUID"), kErrorSuccess) << Narrow(text);
        return machine->MessageBoxesSeen();
    }

    // Opens a window of each title, runs the action with the text, and checks that it
    // showed no box and closed the first window only.
    void ExpectOnlyClosed(const std::u16string& text, const std::u16string& closed,
                          const std::u16string& kept)
    {
        const WindowHandle target = machine->OpenWindow(closed);
        const WindowHandle other = machine->OpenWindow(kept);
        EXPECT_TRUE(CloseWith(text, target).empty());
        EXPECT_FALSE(machine->IsWindowOpen(target)) << Narrow(closed);
        EXPECT_TRUE(machine->IsWindowOpen(other)) << Narrow(kept);
    }

    std::unique_ptr<Machine> machine = MakeMachine();
};

TEST_F(WindowClosing, ClosesTheWindowWhoseWholeTitleIsThePropertyWithoutABox)
{
    ExpectOnlyClosed(u"Zarvo Agent {5B0C}", u"Zarvo Agent {5B0C}", u"Zarvo Agent {5B0C} Settings");
}

// FindWindowW compares titles without regard to letter case.
TEST_F(WindowClosing, FindsTheTitleInAnyLetterCase)
{
    ExpectOnlyClosed(u"ZARVO agent {c41d}", u"Zarvo Agent {C41D}", u"Zarvo Agent {C41E}");
}

TEST_F(WindowClosing, TheMarkerInOtherLetterCaseIsPartOfTheTitle)
{
    ExpectOnlyClosed(u"Zarvo Agent {9A4E}/showactionmessage",
                     u"Zarvo Agent {9A4E}/showactionmessage", u"Zarvo Agent {9A4E}");
}

TEST_F(WindowClosing, TheMarkerShowsTheTitleAndTheWindowIsLookedForOnlyAfterTheBox)
{
    for (const std::u16string after : {u"", u" and whatever follows it"}) {
        const WindowHandle target = machine->OpenWindow(u"Zarvo Agent {7D21}");
        const auto boxes = CloseWith(u"Zarvo Agent {7D21}/ShowActionMessage" + after, target);
        ASSERT_EQ(boxes.size(), 1u) << Narrow(after);
        EXPECT_EQ(Narrow(boxes[0].text), "Zarvo Agent {7D21}");
        EXPECT_TRUE(boxes[0].windowOpen);
        EXPECT_FALSE(machine->IsWindowOpen(target)) << Narrow(after);
    }
}

TEST_F(WindowClosing, WithoutAWindowOfThatTitleNothingChanges)
{
    const WindowHandle other = machine->OpenWindow(u"Zarvo Agent {3C8F}");
    EXPECT_TRUE(CloseWith(u"Zarvo Agent {3C8F} Elsewhere", other).empty());
    EXPECT_TRUE(machine->IsWindowOpen(other));
}

// An empty title would send the Close command to whichever window has no title.
TEST_F(WindowClosing, AnEmptyTitleAddressesNoWindowAndShowsNoBox)
{
    const WindowHandle untitled = machine->OpenWindow(u"");
    EXPECT_TRUE(CloseWith(u"", untitled).empty());
    EXPECT_TRUE(CloseWith(u"/ShowActionMessage Zarvo Agent", untitled).empty());
    EXPECT_TRUE(machine->IsWindowOpen(untitled));
}

TEST_F(WindowClosing, SaysInTheLogWhatItShowedFoundAndClosed)
{
    const WindowHandle target = machine->OpenWindow(u"Zarvo Agent {A1F3}");
    CloseWith(u"Zarvo Agent {A1F3}/ShowActionMessage", target);
    CloseWith(u"Zarvo Agent {A1F3}", target);
    CloseWith(u"/ShowActionMessage", target);
    std::vector<std::string> lines;
    for (const std::u16string& line : machine->LogLines()) lines.push_back(Narrow(line));
    const std::string title = "\"Zarvo Agent {A1F3}\"";
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "CloseWindowByGUID: showed the title " + title + " in a message box",
                         "CloseWindowByGUID: found the window titled " + title +
                             " and sent it the Close command",
                         "CloseWindowByGUID: no window titled " + title + " found",
                         "CloseWindowByGUID: the title is empty: no window looked for"}));
}

TEST_F(WindowClosing, AnUnreadablePropertyAnswersFailureWithoutBoxOrClosing)
{
    const WindowHandle target = machine->OpenWindow(u"Zarvo Agent {E0B6}");
    machine->SetProperty(u"CloseWindowByGUID", u"Zarvo Agent {E0B6}/ShowActionMessage");
    machine->WatchMessageBoxes(kCaption, target);
    EXPECT_EQ(machine->RunActionWithoutSession("CloseWindowByGUID"), kErrorInstallFailure);
    EXPECT_TRUE(machine->MessageBoxesSeen().empty());
    EXPECT_TRUE(machine->IsWindowOpen(target));
}

}  // namespace
}  // namespace zarvo::test
