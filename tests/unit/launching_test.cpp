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

class Launching : public ::testing::Test {
protected:
    WinResult Run(const char* action, const std::u16string& property, const std::u16string& value)
    {
        return InvokeAction(*FindAction(action), sim.platform(), SessionWith(sim, property, value));
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

    sim::SimPlatform sim;
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

TEST(LaunchingFaults, RunCmdFileLeavesNoHandleOpenWhicheverCallFails)
{
    RunFaultSweep(
        {[](sim::SimPlatform& sim) { return SessionWith(sim, u"CustomActionData", u"/c dir"); },
         "RunCmdFile", {kErrorSuccess, kErrorInstallFailure},
         [](sim::SimPlatform& sim, InstallerHandle, const FailedCall& failed) {
             // No process is started when the command line or the system folder cannot be had.
             EXPECT_EQ(sim.processes.Calls().empty(),
                       FailedOn(failed, Operation::GetProperty) || FailedOn(failed, Operation::SystemFolder))
                 << Failing(failed);
             // The installer's start-up information is read for the start.
             EXPECT_TRUE(failed || CalledInOrder(sim.ledger, {Operation::GetProperty,
                                                              Operation::ReadStartupInfo,
                                                              Operation::Create, Operation::Wait}));
         }});
}

TEST(LaunchingFaults, RunForegroundProgramLeavesNoHandleOpenWhicheverCallFails)
{
    RunFaultSweep(
        {[](sim::SimPlatform& sim) {
             return SessionWith(sim, u"RunForegroundProgram", u"setup.exe");
         },
         "RunForegroundProgram", {kErrorSuccess, kErrorInstallFailure},
         [](sim::SimPlatform& sim, InstallerHandle, const FailedCall& failed) {
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
         }});
}

}  // namespace
}  // namespace zarvo::test
