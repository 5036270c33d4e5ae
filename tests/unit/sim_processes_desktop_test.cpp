// The simulated process starter and desktop record what an action asked for and answer the
// way Windows does, so that a test can check the order of calls and that no handle leaks.
#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_processes.h"

namespace zarvo::sim {
namespace {

constexpr std::uint32_t kWaitFailed = 0xFFFFFFFF;
constexpr std::uint32_t kWaitTimeout = 0x102;

class SimProcessesTest : public ::testing::Test {
protected:
    bool Start(const char16_t* application, std::u16string commandLine,
               ProcessInformation* information)
    {
        StartupInfo startup;
        startup.size = sizeof startup;
        return processes.Create(application, commandLine.data(), false, kCreateNoWindow,
                                &startup, information);
    }

    SimLedger ledger;
    SimProcesses processes{ledger};
};

TEST_F(SimProcessesTest, StartupInfoLooksLikeARealProcesssUntilATestSaysOtherwise)
{
    StartupInfo startup;
    processes.ReadStartupInfo(&startup);
    EXPECT_EQ(startup.size, sizeof(StartupInfo));
    EXPECT_NE(startup.desktop, nullptr);
    EXPECT_NE(startup.title, nullptr);
    EXPECT_NE(startup.flags, 0u);

    StartupInfo plain;
    plain.size = 1;
    processes.SetStartupInfo(plain);
    processes.ReadStartupInfo(&startup);
    EXPECT_EQ(startup.size, 1u);
    EXPECT_EQ(startup.desktop, nullptr);
}

TEST_F(SimProcessesTest, CreateRecordsCopiesOfWhatItWasGiven)
{
    std::u16string commandLine = u"\"C:\\Tools\\run.exe\" /quiet";
    char16_t desktop[] = u"WinSta0\\Default";
    StartupInfo startup;
    startup.desktop = desktop;
    ProcessInformation information;
    ASSERT_TRUE(processes.Create(nullptr, commandLine.data(), true, kCreateNoWindow, &startup,
                                 &information));
    commandLine[1] = u'X';
    desktop[0] = u'X';

    ASSERT_EQ(processes.Calls().size(), 1u);
    const auto& call = std::get<CreateCall>(processes.Calls()[0]);
    EXPECT_EQ(call.applicationName, std::nullopt);
    EXPECT_EQ(call.commandLine, u"\"C:\\Tools\\run.exe\" /quiet");
    EXPECT_TRUE(call.inheritHandles);
    EXPECT_EQ(call.creationFlags, kCreateNoWindow);
    EXPECT_EQ(call.desktop, u"WinSta0\\Default");
    EXPECT_EQ(call.title, std::nullopt);
    EXPECT_EQ(call.started.process, information.process);
    EXPECT_NE(information.processId, 0u);
}

TEST_F(SimProcessesTest, HandlesAreWaitedOnAndClosedThroughTheLedger)
{
    ProcessInformation information;
    ASSERT_TRUE(Start(nullptr, u"run.exe", &information));
    EXPECT_TRUE(ledger.IsOpen(HandleKind::Kernel, information.process));
    EXPECT_TRUE(ledger.IsOpen(HandleKind::Kernel, information.thread));

    EXPECT_EQ(processes.Wait(information.process, kInfinite), 0u);
    processes.AnswerWaitsWith(kWaitTimeout);
    EXPECT_EQ(processes.Wait(information.process, 50), kWaitTimeout);
    EXPECT_TRUE(processes.CloseHandle(information.thread));
    EXPECT_TRUE(processes.CloseHandle(information.process));
    EXPECT_FALSE(processes.CloseHandle(information.process));
    EXPECT_EQ(processes.Wait(information.process, 0), kWaitFailed);
    processes.Sleep(250);
    EXPECT_TRUE(processes.AllowSetForegroundWindow(information.processId));
    EXPECT_EQ(ledger.OpenCount(), 0u);

    const auto& calls = processes.Calls();
    ASSERT_EQ(calls.size(), 9u);
    EXPECT_EQ(std::get<WaitCall>(calls[1]).milliseconds, kInfinite);
    EXPECT_EQ(std::get<CloseCall>(calls[3]).handle, information.thread);
    EXPECT_FALSE(std::get<CloseCall>(calls[5]).answer);
    EXPECT_EQ(std::get<SleepCall>(calls[7]).milliseconds, 250u);
    EXPECT_EQ(std::get<AllowForegroundCall>(calls[8]).processId, information.processId);
}

TEST_F(SimProcessesTest, AMissingProgramIsFoundByApplicationNameOrFirstToken)
{
    processes.MarkMissing(u"C:\\Tools\\gone.exe");
    ProcessInformation information;
    EXPECT_FALSE(Start(u"C:\\Tools\\gone.exe", u"anything", &information));
    EXPECT_FALSE(Start(nullptr, u"\"C:\\Tools\\gone.exe\" /x", &information));
    EXPECT_FALSE(Start(nullptr, u"C:\\Tools\\gone.exe /x", &information));
    EXPECT_TRUE(Start(u"C:\\Tools\\here.exe", u"C:\\Tools\\gone.exe", &information));
    EXPECT_EQ(ledger.OpenCount(), 2u);
    EXPECT_EQ(std::get<CreateCall>(processes.Calls()[0]).started.process, 0u);
}

TEST_F(SimProcessesTest, ProgramsAreNamedInAnyLetterCaseAndNeedAName)
{
    processes.MarkMissing(u"C:\\Tools\\Gone.exe");
    ProcessInformation information;
    EXPECT_FALSE(Start(nullptr, u"c:\\tools\\GONE.EXE", &information));
    EXPECT_FALSE(Start(nullptr, u"", &information));
    EXPECT_FALSE(Start(nullptr, u" run.exe", &information));
    EXPECT_TRUE(Start(u"Cmd.exe", u"", &information));
}

TEST_F(SimProcessesTest, TimePassesInSleepsAndInWaitsForProgramsThatTakeAWhile)
{
    std::vector<std::u16string> started;
    processes.AddProgram(u"C:\\Tools\\Slow.exe", [&](std::u16string_view commandLine) {
        started.emplace_back(commandLine);
        return ProgramRun{2000, 0};
    });
    ProcessInformation slow, quick;
    ASSERT_TRUE(Start(nullptr, u"c:\\tools\\slow.exe /x", &slow));
    ASSERT_TRUE(Start(nullptr, u"quick.exe", &quick));
    EXPECT_EQ(started, std::vector<std::u16string>{u"c:\\tools\\slow.exe /x"});
    EXPECT_EQ(processes.Wait(quick.process, kInfinite), 0u);
    EXPECT_EQ(processes.ElapsedMilliseconds(), 0u);
    EXPECT_EQ(processes.Wait(slow.process, 500), kWaitTimeout);
    EXPECT_EQ(processes.ElapsedMilliseconds(), 500u);
    EXPECT_EQ(processes.Wait(slow.process, kInfinite), 0u);
    EXPECT_EQ(processes.ElapsedMilliseconds(), 2000u);
    processes.Sleep(3000);
    EXPECT_EQ(processes.ElapsedMilliseconds(), 5000u);
}

TEST_F(SimProcessesTest, AProgramGivesItsExitCodeOnceItHasEnded)
{
    processes.AddProgram(u"C:\\Tools\\Slow.exe",
                         [](std::u16string_view) { return ProgramRun{2000, 3}; });
    ProcessInformation slow, quick;
    ASSERT_TRUE(Start(nullptr, u"C:\\Tools\\Slow.exe", &slow));
    ASSERT_TRUE(Start(nullptr, u"quick.exe", &quick));
    std::uint32_t exitCode = 1;
    ASSERT_TRUE(processes.GetExitCodeProcess(quick.process, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    ASSERT_TRUE(processes.GetExitCodeProcess(slow.process, &exitCode));
    EXPECT_EQ(exitCode, kStillActive);
    processes.Wait(slow.process, kInfinite);
    ASSERT_TRUE(processes.GetExitCodeProcess(slow.process, &exitCode));
    EXPECT_EQ(exitCode, 3u);

    processes.CloseHandle(slow.process);
    EXPECT_FALSE(processes.GetExitCodeProcess(slow.process, &exitCode));
    EXPECT_FALSE(processes.GetExitCodeProcess(quick.thread, &exitCode));
    EXPECT_EQ(processes.GetLastError(), 6u) << "ERROR_INVALID_HANDLE";
}

TEST_F(SimProcessesTest, TheLastErrorIsThatOfTheLastFailedCall)
{
    processes.MarkMissing(u"C:\\Tools\\gone.exe");
    ProcessInformation information;
    EXPECT_FALSE(Start(nullptr, u"C:\\Tools\\gone.exe", &information));
    EXPECT_EQ(processes.GetLastError(), 2u) << "ERROR_FILE_NOT_FOUND";
    ASSERT_TRUE(Start(nullptr, u"here.exe", &information));
    EXPECT_EQ(processes.GetLastError(), 2u) << "a call that succeeds leaves the error as it was";
    ledger.FailCall(Operation::Create, 1);
    EXPECT_FALSE(Start(nullptr, u"here.exe", &information));
    EXPECT_EQ(processes.GetLastError(), 5u) << "ERROR_ACCESS_DENIED";
}

TEST_F(SimProcessesTest, FailedCallsLeaveNoHandleBehind)
{
    ProcessInformation information{1, 2, 3, 4};
    ledger.FailCall(Operation::Create, 1);
    EXPECT_FALSE(Start(nullptr, u"run.exe", &information));
    EXPECT_EQ(information.process, 1u);
    EXPECT_EQ(ledger.OpenCount(), 0u);

    ASSERT_TRUE(Start(nullptr, u"run.exe", &information));
    ledger.FailCall(Operation::Wait, 1);
    EXPECT_EQ(processes.Wait(information.process, 0), kWaitFailed);
    ledger.FailCall(Operation::CloseHandle, 1);
    EXPECT_FALSE(processes.CloseHandle(information.process));
    ledger.FailCall(Operation::AllowSetForegroundWindow, 1);
    EXPECT_FALSE(processes.AllowSetForegroundWindow(information.processId));
    EXPECT_FALSE(ledger.IsOpen(HandleKind::Kernel, information.process));
}

class SimDesktopTest : public ::testing::Test {
protected:
    SimLedger ledger;
    SimDesktop desktop{ledger};
};

// FindWindowW compares whole titles and class names without regard to letter case (seen
// under Wine, and so on Windows).
TEST_F(SimDesktopTest, WindowsAreFoundByTheirWholeTitleInAnyLetterCase)
{
    const WindowHandle setup = desktop.AddWindow(u"Setup", u"MsiDialog");
    const WindowHandle second = desktop.AddWindow(u"Setup");
    EXPECT_EQ(desktop.FindTopLevelWindow(nullptr, u"Setup"), setup);
    EXPECT_EQ(desktop.FindTopLevelWindow(u"", u"Setup"), second);
    EXPECT_EQ(desktop.FindTopLevelWindow(u"msidialog", nullptr), setup);
    EXPECT_EQ(desktop.FindTopLevelWindow(nullptr, u"SETUP"), setup);
    EXPECT_EQ(desktop.FindTopLevelWindow(nullptr, u"Setu"), 0u);
    EXPECT_EQ(desktop.WindowTitled(u"setup"), setup);
    desktop.RemoveWindow(setup);
    EXPECT_EQ(desktop.WindowTitled(u"Setup"), second);
    EXPECT_EQ(desktop.Events().size(), 5u);
}

TEST_F(SimDesktopTest, OnlyAClosingSystemCommandTakesAWindowAway)
{
    const WindowHandle window = desktop.AddWindow(u"Setup");
    EXPECT_EQ(desktop.Send(window, kWmSysCommand, 0xF020, 0), 0);  // SC_MINIMIZE
    EXPECT_EQ(desktop.Send(window, 0x0010, kScClose, 0), 0);        // WM_CLOSE
    EXPECT_TRUE(desktop.HasWindow(window));

    ledger.FailCall(Operation::Send, 1);
    desktop.Send(window, kWmSysCommand, kScClose, 0);
    EXPECT_TRUE(desktop.HasWindow(window));

    desktop.Send(window, kWmSysCommand, kScClose | 0x2, 0);
    EXPECT_FALSE(desktop.HasWindow(window));
    EXPECT_EQ(desktop.FindTopLevelWindow(nullptr, u"Setup"), 0u);
}

TEST_F(SimDesktopTest, EventsKeepTheOrderOfBoxesSearchesAndMessages)
{
    const WindowHandle window = desktop.AddWindow(u"Setup");
    EXPECT_EQ(desktop.ShowMessageBox(0, u"Close Setup first", u"Zarvo", kMbIconInformation), 1);
    desktop.Send(desktop.FindTopLevelWindow(nullptr, u"Setup"), kWmSysCommand, kScClose, 7);

    const auto& events = desktop.Events();
    ASSERT_EQ(events.size(), 3u);
    const auto& box = std::get<MessageBoxEvent>(events[0]);
    EXPECT_EQ(box.text, u"Close Setup first");
    EXPECT_EQ(box.caption, u"Zarvo");
    EXPECT_EQ(box.type, kMbIconInformation);
    EXPECT_EQ(std::get<FindEvent>(events[1]).found, window);
    const auto& sent = std::get<SendEvent>(events[2]);
    EXPECT_EQ(sent.window, window);
    EXPECT_EQ(sent.lParam, 7);
}

TEST_F(SimDesktopTest, TheUserSeesABoxBeforeItIsAnswered)
{
    std::vector<std::u16string> seen;
    desktop.whileBoxShown = [&](const MessageBoxEvent& box) {
        seen.push_back(*box.text);
        EXPECT_TRUE(desktop.Events().empty());
    };
    desktop.ShowMessageBox(0, u"first", u"caption", 0);
    ledger.FailCall(Operation::ShowMessageBox, 1);
    desktop.ShowMessageBox(0, u"never shown", u"caption", 0);
    EXPECT_EQ(seen, std::vector<std::u16string>{u"first"});
}

TEST_F(SimDesktopTest, FailedCallsAnswerZero)
{
    desktop.AddWindow(u"Setup");
    ledger.FailCall(Operation::ShowMessageBox, 1);
    EXPECT_EQ(desktop.ShowMessageBox(0, u"text", u"caption", 0), 0);
    ledger.FailCall(Operation::FindTopLevelWindow, 1);
    EXPECT_EQ(desktop.FindTopLevelWindow(nullptr, u"Setup"), 0u);
    EXPECT_EQ(std::get<MessageBoxEvent>(desktop.Events()[0]).answer, 0);
}

}  // namespace
}  // namespace zarvo::sim
