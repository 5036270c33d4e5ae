// RunCmdFile and RunForegroundProgram starting the helper program, directly or through the
// command interpreter, and what the machine shows of it afterwards: files written, time
// taken, windows still up.
#include <gtest/gtest.h>

#include <regex>

#include "frame/result_codes.h"
#include "scenario/machine.h"
#include "scenario/windows_errors.h"

namespace zarvo::test {
namespace {

// A pause of N milliseconds may end up to a clock tick early on the machine's clock.
constexpr std::uint64_t kTickSlack = 20;
// Starting a program that does not exist, or not starting one, ends well inside the
// foreground pause: nothing was waited for. (Generous, so that a slow machine cannot fail it.)
constexpr std::uint64_t kAtOnce = 2500;

// A word in a command line that the log must never show.
constexpr const char16_t* kSecret = u"Sekr3tPa55";

using Lines = std::vector<std::string>;

// The log lines, as ASCII, after checking that none shows the secret.
Lines LinesWithoutSecret(Machine& machine)
{
    Lines lines;
    for (const std::u16string& line : machine.LogLines()) {
        lines.push_back(Narrow(line));
        EXPECT_EQ(line.find(kSecret), std::u16string::npos) << lines.back();
    }
    return lines;
}

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

// cmd /c ends with the exit code of the command it ran.
TEST_F(Launching, RunCmdFileLogsTheInterpretersStartExitCodeAndRunTime)
{
    const std::u16string file = File(u"logged.txt");
    const std::uint64_t took =
        RunCmdFile(u"/c " + Helper(u"sleep 2000 write " + file + u" " + kSecret + u" exit 3"));
    const Lines lines = LinesWithoutSecret(*machine);
    ASSERT_EQ(lines.size(), 2u);
    const std::regex started(R"(RunCmdFile: started the interpreter [A-Z]:\\\S+\\cmd\.exe )"
                             R"(as process \d+)",
                             std::regex::icase);
    EXPECT_TRUE(std::regex_match(lines[0], started)) << lines[0];
    const std::regex ended(R"(RunCmdFile: the interpreter ended with exit code 3 after (\d+) ms)");
    std::smatch found;
    ASSERT_TRUE(std::regex_match(lines[1], found, ended)) << lines[1];
    const std::uint64_t ran = std::stoull(found[1]);
    EXPECT_GE(ran, 2000 - kTickSlack);
    EXPECT_LE(ran, took + kTickSlack);
}

TEST_F(Launching, RunCmdFileLogsThatDataWithoutACommandStartsNothing)
{
    RunCmdFile(u"  ");
    EXPECT_EQ(LinesWithoutSecret(*machine),
              Lines{"RunCmdFile: CustomActionData names no command: nothing started"});
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

// Whether Windows lets the program come to the foreground depends on who has it now.
TEST_F(Launching, RunForegroundProgramLogsTheStartTheForegroundAndThePause)
{
    const std::u16string title = u"Zarvo Foreground Helper {8C31} " + std::u16string(kSecret);
    RunForegroundProgram(Helper(u"window " + title));
    const Lines lines = LinesWithoutSecret(*machine);
    ASSERT_EQ(lines.size(), 3u);
    const std::regex started(R"(RunForegroundProgram: started the program as process (\d+))");
    std::smatch process;
    ASSERT_TRUE(std::regex_match(lines[0], process, started)) << lines[0];
    const std::regex foreground("RunForegroundProgram: (could not )?let process " +
                                process[1].str() + " come to the foreground");
    EXPECT_TRUE(std::regex_match(lines[1], foreground)) << lines[1];
    EXPECT_EQ(lines[2], "RunForegroundProgram: paused 3000 ms; the program runs on");
    const WindowHandle window = machine->WaitForWindow(title);
    ASSERT_NE(window, 0u);
    machine->CloseWindow(window);
}

TEST_F(Launching, RunForegroundProgramLogsTheWindowsErrorOfAFailedStart)
{
    RunForegroundProgram(std::u16string(kMissingProgram) + u" " + kSecret);
    EXPECT_EQ(LinesWithoutSecret(*machine),
              Lines{"RunForegroundProgram: could not start the program: Windows error " +
                    std::to_string(kErrorFileNotFound)});
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
