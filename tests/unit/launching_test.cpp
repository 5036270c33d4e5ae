// What RunCmdFile and RunForegroundProgram hand to CreateProcessW and do with what comes
// back, call by call, where only the simulated machine shows it.
#include <gtest/gtest.h>

#include "dll/action_table.h"
#include "frame/result_codes.h"
#include "unit/fault_sweep.h"

namespace zarvo::test {
namespace {

using sim::AllowForegroundCall;
using sim::CloseCall;
using sim::CreateCall;
using sim::Operation;
using sim::ProcessCall;
using sim::SleepCall;
using sim::WaitCall;

InstallerHandle SessionWith(sim::SimPlatform& sim, const std::u16string& property,
                            const std::u16string& value)
{
    const InstallerHandle session = sim.installer.OpenSession(std::make_shared<sim::SimDatabase>());
    sim.installer.SetPropertyValue(session, property, value);
    return session;
}

// The calls after a start: the process handle is closed first, then the thread handle.
void ExpectClosedInOrder(const std::vector<ProcessCall>& calls, std::size_t first,
                         const ProcessInformation& started)
{
    ASSERT_EQ(calls.size(), first + 2);
    EXPECT_EQ(std::get<CloseCall>(calls[first]).handle, started.process);
    EXPECT_EQ(std::get<CloseCall>(calls[first + 1]).handle, started.thread);
}

// A command line that must never reach the log.
constexpr std::u16string_view kSecret = u"Sekr3t-Pa55w0rd";

class Launching : public ::testing::Test {
protected:
    WinResult Run(const char* action, const std::u16string& property, const std::u16string& value)
    {
        session = SessionWith(sim, property, value);
        return InvokeAction(*FindAction(action), sim.platform(), session);
    }
    WinResult RunCmdFile(const std::u16string& data)
    {
        return Run("RunCmdFile", u"CustomActionData", data);
    }
    WinResult RunForegroundProgram(const std::u16string& commandLine)
    {
        return Run("RunForegroundProgram", u"RunForegroundProgram", commandLine);
    }
    const std::vector<ProcessCall>& calls() { return sim.processes.Calls(); }
    // The lines the last run wrote into the log.
    const std::vector<std::u16string>& Lines() { return sim.installer.Messages(session); }
    // The interpreter of the system folder runs for that long and ends with that exit code.
    void InterpreterRuns(sim::ProgramRun run)
    {
        sim.processes.AddProgram(kInterpreter, [run](std::u16string_view) { return run; });
    }

    const std::u16string kInterpreter = std::u16string(sim::kSimSystemFolder) + u"\\cmd.exe";
    sim::SimPlatform sim;
    InstallerHandle session = 0;
};

TEST_F(Launching, RunCmdFileStartsTheInterpreterWindowlessWithTheInstallersStartupAndWaits)
{
    ASSERT_EQ(RunCmdFile(u"/c copy a.txt b.txt"), kErrorSuccess);
    ASSERT_GE(calls().size(), 2u);
    const auto& create = std::get<CreateCall>(calls()[0]);
    // The system folder's interpreter by its full path, never a bare name that the current
    // folder would complete.
    EXPECT_EQ(create.applicationName, std::u16string(sim::kSimSystemFolder) + u"\\cmd.exe");
    EXPECT_EQ(create.commandLine, u"/c copy a.txt b.txt");
    EXPECT_FALSE(create.inheritHandles);
    EXPECT_EQ(create.creationFlags, kCreateNoWindow);
    // The installer's own record, with no desktop, no title and no flags.
    StartupInfo own;
    sim.processes.ReadStartupInfo(&own);
    own.desktop = own.title = nullptr;
    own.flags = 0;
    EXPECT_EQ(create.startup, own);
    EXPECT_EQ(own.showWindow, 1u) << "the fields the flags no longer enable are left as they were";

    const auto& wait = std::get<WaitCall>(calls()[1]);
    EXPECT_EQ(wait.handle, create.started.process);
    EXPECT_EQ(wait.milliseconds, kInfinite);
    ExpectClosedInOrder(calls(), 2, create.started);
}

TEST_F(Launching, RunCmdFilePassesTheDataOnUnchanged)
{
    std::u16string data = u"  /C \"C:\\Program Files\\x.cmd\" %TEMP% ^& \t";
    data += std::u16string(10000, u'x');
    RunCmdFile(data);
    EXPECT_EQ(std::get<CreateCall>(calls()[0]).commandLine, data);
}

TEST_F(Launching, RunCmdFileReportsNoFailedStartAndWaitsForNothing)
{
    sim.processes.MarkMissing(std::u16string(sim::kSimSystemFolder) + u"\\CMD.EXE");
    EXPECT_EQ(RunCmdFile(u"/c exit 1"), kErrorSuccess);
    EXPECT_EQ(calls().size(), 1u);
}

TEST_F(Launching, RunCmdFileStartsNothingForDataThatNamesNoCommand)
{
    for (const char16_t* blank : {u"", u" ", u" \t  "}) {
        EXPECT_EQ(RunCmdFile(blank), kErrorSuccess);
        EXPECT_TRUE(calls().empty()) << std::u16string_view(blank).size() << " blanks";
    }
}

TEST_F(Launching, RunForegroundProgramStartsTheProgramLetsItToTheForegroundAndPauses)
{
    ASSERT_EQ(RunForegroundProgram(u"\"C:\\Tools\\setup.exe\" /quiet"), kErrorSuccess);
    ASSERT_GE(calls().size(), 3u);
    const auto& create = std::get<CreateCall>(calls()[0]);
    EXPECT_EQ(create.applicationName, std::nullopt);
    EXPECT_EQ(create.commandLine, u"\"C:\\Tools\\setup.exe\" /quiet");
    EXPECT_FALSE(create.inheritHandles);
    EXPECT_EQ(create.creationFlags, 0u);
    StartupInfo zeroed;
    zeroed.size = sizeof(StartupInfo);
    EXPECT_EQ(create.startup, zeroed);

    EXPECT_EQ(std::get<AllowForegroundCall>(calls()[1]).processId, create.started.processId);
    EXPECT_EQ(std::get<SleepCall>(calls()[2]).milliseconds, 3000u);
    ExpectClosedInOrder(calls(), 3, create.started);
    EXPECT_EQ(sim.processes.ElapsedMilliseconds(), 3000u);
}

TEST_F(Launching, RunForegroundProgramReturnsAtOnceWhenNothingStarts)
{
    sim.processes.MarkMissing(u"C:\\Tools\\gone.exe");
    EXPECT_EQ(RunForegroundProgram(u"C:\\Tools\\gone.exe /x"), kErrorSuccess);
    EXPECT_EQ(RunForegroundProgram(u""), kErrorSuccess);
    ASSERT_EQ(calls().size(), 2u);
    EXPECT_TRUE(std::holds_alternative<CreateCall>(calls()[1]));
    EXPECT_EQ(sim.processes.ElapsedMilliseconds(), 0u);
}

using LogLines = std::vector<std::u16string>;

TEST_F(Launching, RunCmdFileLogsTheStartTheExitCodeAndTheRunTime)
{
    InterpreterRuns({2000, 3});
    RunCmdFile(u"/c deploy.cmd " + std::u16string(kSecret));
    EXPECT_EQ(Lines(), (LogLines{u"RunCmdFile: started the interpreter "
                                 u"C:\\Windows\\System32\\cmd.exe as process 4352",
                                 u"RunCmdFile: the interpreter ended with exit code 3 after 2000 ms"}));
}

// The tick count wraps to zero after about 49.7 days, possibly while the interpreter runs.
TEST_F(Launching, RunCmdFileMeasuresTheRunTimeAcrossTheTickCountsWrap)
{
    sim.clock.startTicks = 0xFFFFFFFF - 499;
    InterpreterRuns({1500, 0});
    RunCmdFile(u"/c x");
    EXPECT_EQ(Lines().back(), u"RunCmdFile: the interpreter ended with exit code 0 after 1500 ms");
}

TEST_F(Launching, RunCmdFileLogsWhyNothingRan)
{
    RunCmdFile(u" \t");
    EXPECT_EQ(Lines(), LogLines{u"RunCmdFile: CustomActionData names no command: nothing started"});

    sim.ledger.FailCall(Operation::SystemFolder, 1);
    RunCmdFile(u"/c x");
    EXPECT_EQ(Lines(), LogLines{u"RunCmdFile: the system folder could not be read: nothing started"});

    sim.ledger.FailCall(Operation::GetProperty, 1);
    RunCmdFile(u"/c x");
    EXPECT_EQ(Lines(), LogLines{u"RunCmdFile: CustomActionData could not be read: fails"});
}

TEST_F(Launching, RunCmdFileLogsTheWindowsErrorOfAFailedStart)
{
    sim.processes.MarkMissing(kInterpreter);
    RunCmdFile(u"/c x");
    EXPECT_EQ(Lines(), LogLines{u"RunCmdFile: could not start the interpreter "
                                u"C:\\Windows\\System32\\cmd.exe: Windows error 2"});

    sim.ledger.FailCall(Operation::Create, 1);
    RunCmdFile(u"/c x");
    EXPECT_EQ(Lines(), LogLines{u"RunCmdFile: could not start the interpreter "
                                u"C:\\Windows\\System32\\cmd.exe: Windows error 5"});
}

// A failed wait leaves the interpreter's end unknown, and so its exit code.
TEST_F(Launching, RunCmdFileLogsAnEndItCouldNotSee)
{
    InterpreterRuns({700, 1});
    sim.ledger.FailCall(Operation::Wait, 1);
    RunCmdFile(u"/c x");
    EXPECT_EQ(Lines().back(), u"RunCmdFile: waiting for the interpreter failed after 0 ms");

    sim.ledger.FailCall(Operation::GetExitCodeProcess, 1);
    RunCmdFile(u"/c x");
    EXPECT_EQ(Lines().back(),
              u"RunCmdFile: the interpreter ended after 700 ms; its exit code could not be read");
}

TEST_F(Launching, RunForegroundProgramLogsTheStartTheForegroundAndThePause)
{
    RunForegroundProgram(u"setup.exe /password:" + std::u16string(kSecret));
    EXPECT_EQ(Lines(), (LogLines{u"RunForegroundProgram: started the program as process 4352",
                                 u"RunForegroundProgram: let process 4352 come to the foreground",
                                 u"RunForegroundProgram: paused 3000 ms; the program runs on"}));

    sim.ledger.FailCall(Operation::AllowSetForegroundWindow, 1);
    RunForegroundProgram(u"setup.exe");
    EXPECT_EQ(Lines().at(1),
              u"RunForegroundProgram: could not let process 4360 come to the foreground");
}

TEST_F(Launching, RunForegroundProgramLogsWhyNothingRan)
{
    sim.processes.MarkMissing(u"C:\\Tools\\gone.exe");
    RunForegroundProgram(u"C:\\Tools\\gone.exe");
    EXPECT_EQ(Lines(), LogLines{u"RunForegroundProgram: could not start the program: Windows error 2"});

    sim.ledger.FailCall(Operation::GetProperty, 1);
    RunForegroundProgram(u"setup.exe");
    EXPECT_EQ(Lines(), LogLines{u"RunForegroundProgram: the property RunForegroundProgram "
                                u"could not be read: fails"});
}

// Command lines may carry passwords: whether the program starts, ends or fails to start,
// no line shows any part of one.
TEST_F(Launching, NoLineShowsTheCommandLine)
{
    const std::u16string missing = u"C:\\" + std::u16string(kSecret) + u"\\setup.exe";
    sim.processes.MarkMissing(missing);
    for (const std::u16string& commandLine : {u"setup.exe " + std::u16string(kSecret), missing}) {
        RunForegroundProgram(commandLine);
        for (const std::u16string& line : Lines())
            EXPECT_EQ(line.find(kSecret), std::u16string::npos) << ::testing::PrintToString(line);
    }
    for (const bool starts : {true, false}) {
        if (!starts) sim.processes.MarkMissing(kInterpreter);
        RunCmdFile(u"/c " + std::u16string(kSecret));
        for (const std::u16string& line : Lines())
            EXPECT_EQ(line.find(kSecret), std::u16string::npos) << ::testing::PrintToString(line);
    }
}

TEST(LaunchingFaults, RunCmdFileLeavesNoHandleOpenWhicheverCallFails)
{
    SameCallsBesideLog sameCalls;
    RunFaultSweep(
        {[](sim::SimPlatform& sim) {
             sim.processes.AddProgram(std::u16string(sim::kSimSystemFolder) + u"\\cmd.exe",
                                      [](std::u16string_view) { return sim::ProgramRun{1200, 4}; });
             return SessionWith(sim, u"CustomActionData", u"/c dir");
         },
         "RunCmdFile", {},
         [&sameCalls](sim::SimPlatform& sim, InstallerHandle, const FailedCall& failed) {
             // No process is started when the command line or the system folder cannot be had.
             EXPECT_EQ(sim.processes.Calls().empty(),
                       FailedOn(failed, Operation::GetProperty) || FailedOn(failed, Operation::SystemFolder))
                 << Failing(failed);
             // The installer's start-up information is read for the start.
             EXPECT_TRUE(failed || CalledInOrder(sim.ledger, {Operation::GetProperty,
                                                              Operation::ReadStartupInfo,
                                                              Operation::Create, Operation::Wait,
                                                              Operation::GetExitCodeProcess}));
             sameCalls.Check(sim.ledger, failed);
             if (!failed || FailedOnLog(failed)) {
                 EXPECT_EQ(sim.processes.ElapsedMilliseconds(), 1200u) << Failing(failed);
             }
         },
         CleanAnswerWhenLogFails(kErrorSuccess, {kErrorSuccess, kErrorInstallFailure})});
}

TEST(LaunchingFaults, RunForegroundProgramLeavesNoHandleOpenWhicheverCallFails)
{
    SameCallsBesideLog sameCalls;
    RunFaultSweep(
        {[](sim::SimPlatform& sim) {
             return SessionWith(sim, u"RunForegroundProgram", u"setup.exe");
         },
         "RunForegroundProgram", {},
         [&sameCalls](sim::SimPlatform& sim, InstallerHandle, const FailedCall& failed) {
             // A refused foreground right still pauses; an unreadable property or a failed
             // start does not.
             const bool startFailed =
                 FailedOn(failed, Operation::GetProperty) || FailedOn(failed, Operation::Create);
             const bool paused = sim.ledger.CallCount(Operation::Sleep) != 0;
             EXPECT_EQ(paused, !startFailed) << Failing(failed);
             // The program may come to the foreground before the pause runs out.
             EXPECT_TRUE(failed || CalledInOrder(sim.ledger, {Operation::GetProperty,
                                                              Operation::Create,
                                                              Operation::AllowSetForegroundWindow,
                                                              Operation::Sleep}));
             sameCalls.Check(sim.ledger, failed);
         },
         CleanAnswerWhenLogFails(kErrorSuccess, {kErrorSuccess, kErrorInstallFailure})});
}

}  // namespace
}  // namespace zarvo::test
