// RunCmdFile and RunForegroundProgram starting the helper program, directly or through the
// command interpreter, and what the machine shows of it afterwards: files written, time
// taken, windows still up.
#include <gtest/gtest.h>

#include "frame/result_codes.h"
#include "scenario/machine.h"

namespace zarvo::test {
namespace {

// A pause of N milliseconds may end up to a clock tick early on the machine's clock.
constexpr std::uint64_t kTickSlack = 20;
// Starting a program that does not exist, or not starting one, ends well inside the
// foreground pause: nothing was waited for. (Generous, so that a slow machine cannot fail it.)
constexpr std::uint64_t kAtOnce = 2500;

class Launching : public ::testing::Test {
protected:
    // A file in the machine's folder for the scenario; the command lines here hold it
    // unquoted, so the folder's path must hold no blank, as neither machine's does.
    std::u16string File(const std::u16string& name)
    {
        const std::u16string path = machine->FileFolder() + name;
        EXPECT_EQ(path.find(u' '), std::u16string::npos) << Narrow(path);
        return path;
    }
    // The helper's command line with these steps.
    std::u16string Helper(const std::u16string& steps)
    {
        return machine->HelperProgram() + u" " + steps;
    }
    // Runs the action after setting its property, and gives how long it took.
    std::uint64_t TimedRun(const char* action, const std::u16string& property,
                           const std::u16string& value, WinResult expected = kErrorSuccess)
    {
        machine->SetProperty(property, value);
        const std::uint64_t start = machine->Milliseconds();
        EXPECT_EQ(machine->RunAction(action), expected) << action << " with " << Narrow(value);
        return machine->Milliseconds() - start;
    }
    std::uint64_t RunCmdFile(const std::u16string& data)
    {
        return TimedRun("RunCmdFile", u"CustomActionData", data);
    }
    std::uint64_t RunForegroundProgram(const std::u16string& commandLine)
    {
        return TimedRun("RunForegroundProgram", u"RunForegroundProgram", commandLine);
    }

    std::unique_ptr<Machine> machine = MakeMachine();
};

TEST_F(Launching, RunCmdFileRunsTheDataThroughTheInterpreter)
{
    const std::u16string file = File(u"ran.txt");
    RunCmdFile(u"/c " + Helper(u"write " + file + u" ran"));
    EXPECT_EQ(machine->FileBytes(file), "ran");
}

TEST_F(Launching, RunCmdFileReturnsOnlyOnceALongCommandHasEnded)
{
    const std::u16string file = File(u"late.txt");
    const std::uint64_t took = RunCmdFile(u"/c " + Helper(u"sleep 2000 write " + file + u" late"));
    EXPECT_GE(took, 2000 - kTickSlack);
    EXPECT_EQ(machine->FileBytes(file), "late");
}

TEST_F(Launching, RunCmdFileAnswersZeroWhateverTheCommandEndsWith)
{
    const std::u16string file = File(u"failed.txt");
    RunCmdFile(u"/c " + Helper(u"write " + file + u" failed exit 3"));
    EXPECT_EQ(machine->FileBytes(file), "failed");
    RunCmdFile(u"/c exit 7");
    RunCmdFile(u"/c " + std::u16string(kMissingProgram));
}

// Started without a command, the interpreter would wait for input for ever, and the
// installation with it.
TEST_F(Launching, RunCmdFileStartsNoInterpreterForDataWithoutACommand)
{
    EXPECT_LT(RunCmdFile(u""), kAtOnce);
    EXPECT_LT(RunCmdFile(u"   "), kAtOnce);
}

TEST_F(Launching, RunForegroundProgramReturnsAfterItsPauseWhileTheProgramRunsOn)
{
    const std::u16string title = u"Zarvo Foreground Helper {2E7A}";
    const std::uint64_t took = RunForegroundProgram(Helper(u"window " + title));
    EXPECT_GE(took, 3000 - kTickSlack);
    EXPECT_LT(took, 3000 + 5000) << "the action waits for its pause only";
    const WindowHandle window = machine->WaitForWindow(title);
    ASSERT_NE(window, 0u) << "the program no longer runs";
    machine->CloseWindow(window);
}

TEST_F(Launching, RunForegroundProgramReturnsAtOnceWhenNothingStarts)
{
    EXPECT_LT(RunForegroundProgram(std::u16string(kMissingProgram) + u" /quiet"), kAtOnce);
    EXPECT_LT(RunForegroundProgram(u""), kAtOnce);
}

TEST_F(Launching, AnUnreadableCommandLineAnswersFailureAndStartsNothing)
{
    for (const char* action : {"RunCmdFile", "RunForegroundProgram"}) {
        const std::uint64_t start = machine->Milliseconds();
        EXPECT_EQ(machine->RunActionWithoutSession(action), kErrorInstallFailure) << action;
        EXPECT_LT(machine->Milliseconds() - start, kAtOnce) << action;
    }
}

// A program named Cmd.exe in the current folder, where a user with fewer rights may have put
// it, is never the interpreter: the system folder's is.
TEST_F(Launching, RunCmdFileStartsTheSystemInterpreterNotOnePlantedInTheCurrentFolder)
{
    machine->PlantProgramInCurrentFolder(u"Cmd.exe");
    const std::u16string file = File(u"ran.txt");
    RunCmdFile(u"/c " + Helper(u"write " + file + u" ran"));
    EXPECT_EQ(machine->FileBytes(file), "ran");
    EXPECT_FALSE(machine->PlantedProgramRan());
}

}  // namespace
}  // namespace zarvo::test
