// The ledger's record of calls and its choice of which of them fail: the Nth call of all,
// the Nth call of one operation, or every call of one.
#include "platform/sim/sim_ledger.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/sim_platform.h"

namespace zarvo::sim {
namespace {

constexpr const char16_t* kLog = u"C:\\Data\\Setup.log";

class SimLedgerTest : public ::testing::Test {
protected:
    FileHandle CreateNew(const char16_t* path)
    {
        FileHandle file = 0;
        EXPECT_TRUE(files.CreateNew(path, &file));
        return file;
    }

    SimLedger ledger;
    SimFiles files{ledger};
};

TEST_F(SimLedgerTest, FailsTheChosenCallOfAnOperationByName)
{
    files.CreateFolder(u"C:\\Data");
    const FileHandle file = CreateNew(kLog);
    ledger.FailCall(Operation::Write, 2);
    EXPECT_TRUE(files.Write(file, "a", 1));
    EXPECT_TRUE(files.Close(CreateNew(u"C:\\Data\\other.log")));
    EXPECT_FALSE(files.Write(file, "b", 1));
    EXPECT_TRUE(files.Write(file, "c", 1));
    EXPECT_TRUE(files.Close(file));
    EXPECT_EQ(files.ReadFileBytes(kLog), "ac");
}

TEST_F(SimLedgerTest, FailsEveryCallOfAnOperation)
{
    files.PutFile(kLog, "log");
    ledger.FailEveryCall(Operation::Move);
    EXPECT_FALSE(files.Move(kLog, u"C:\\Data\\a.log", 0));
    EXPECT_FALSE(files.Move(kLog, u"C:\\Data\\b.log", 0));
    EXPECT_EQ(files.GetAttributes(kLog), kFileAttributeArchive);
    EXPECT_EQ(files.Paths(), std::vector<std::u16string>{kLog});
}

TEST_F(SimLedgerTest, FailsTheNthCallOfAllAndTellsWhichOfItsOperationItWas)
{
    ledger.FailCall(3);
    EXPECT_FALSE(ledger.FailThisCall(Operation::Write));
    EXPECT_FALSE(ledger.FailThisCall(Operation::Read));
    EXPECT_TRUE(ledger.FailThisCall(Operation::Write));
    EXPECT_FALSE(ledger.FailThisCall(Operation::Write));
    EXPECT_EQ(ledger.NthCall(3), (Call{Operation::Write, 2}));
    EXPECT_EQ(Describe(ledger.NthCall(3)), "Write #2");
    EXPECT_EQ(Describe(ledger.NthCall(2)), "Read #1");
}

TEST_F(SimLedgerTest, RecordsTheCallsInOrderAndCountsThemByOperation)
{
    const std::vector<Operation> made = {Operation::OpenKey, Operation::QueryValue,
                                         Operation::QueryValue, Operation::CloseKey};
    for (const Operation operation : made) EXPECT_FALSE(ledger.FailThisCall(operation));
    EXPECT_EQ(ledger.Calls(), made);
    EXPECT_EQ(ledger.CallCount(), 4u);
    EXPECT_EQ(ledger.CallCount(Operation::QueryValue), 2u);
    EXPECT_EQ(ledger.CallCount(Operation::Write), 0u);
}

TEST_F(SimLedgerTest, EachChoiceReplacesTheLastAndCountsAfresh)
{
    ledger.FailEveryCall(Operation::Read);
    ledger.FailThisCall(Operation::Write);
    ledger.FailCall(Operation::Write, 1);
    EXPECT_EQ(ledger.CallCount(), 0u);
    EXPECT_FALSE(ledger.FailThisCall(Operation::Read));
    EXPECT_TRUE(ledger.FailThisCall(Operation::Write));
    ledger.FailCall(0);
    EXPECT_FALSE(ledger.FailThisCall(Operation::Write));
    EXPECT_FALSE(ledger.FailThisCall(Operation::Read));
}

TEST(OperationName, NamesEveryOperationOnce)
{
    std::set<std::string_view> names;
    for (std::size_t i = 0; i < kOperationCount; ++i) {
        const std::string_view name = OperationName(static_cast<Operation>(i));
        EXPECT_FALSE(name.empty()) << "operation " << i;
        EXPECT_TRUE(names.insert(name).second) << name << " twice";
    }
}

// Each platform method of the simulated machine is recorded as the operation of its own
// name, so that a fault chosen by name strikes that method and no other.
TEST(OperationName, EveryPlatformCallIsRecordedUnderItsOwnName)
{
    SimPlatform sim;
    Platform& p = sim.platform();
    std::uint32_t u = 0;
    std::int32_t flag = 0;
    std::uintptr_t handle = 0;
    char buffer[4];
    char16_t folder[260];
    StartupInfo startup;
    ProcessInformation started;
    SystemTime time;
    const std::vector<std::pair<Operation, std::function<void()>>> calls = {
        {Operation::GetProperty, [&] { p.installer.GetProperty(0, u"A", nullptr, nullptr); }},
        {Operation::SetProperty, [&] { p.installer.SetProperty(0, u"A", u"1"); }},
        {Operation::GetActiveDatabase, [&] { p.installer.GetActiveDatabase(0); }},
        {Operation::IsTablePersistent, [&] { p.installer.IsTablePersistent(0, u"T"); }},
        {Operation::OpenView, [&] { p.installer.OpenView(0, u"SELECT * FROM T", nullptr); }},
        {Operation::ExecuteView, [&] { p.installer.ExecuteView(0, 0); }},
        {Operation::FetchRecord, [&] { p.installer.FetchRecord(0, nullptr); }},
        {Operation::CreateRecord, [&] { p.installer.CreateRecord(0); }},
        {Operation::ProcessMessage, [&] { p.installer.ProcessMessage(0, kInstallMessageInfo, 0); }},
        {Operation::SetRecordString, [&] { p.installer.SetRecordString(0, 1, u"a"); }},
        {Operation::FormatRecord, [&] { p.installer.FormatRecord(0, 0, nullptr, nullptr); }},
        {Operation::CloseInstallerHandle, [&] { p.installer.CloseInstallerHandle(0); }},
        {Operation::SetComponentState, [&] { p.installer.SetComponentState(0, u"C", 2); }},
        {Operation::GetFileVersion,
         [&] { p.installer.GetFileVersion(u"C:\\a", nullptr, nullptr, nullptr, nullptr); }},
        {Operation::GetProductInfo,
         [&] { p.installer.GetProductInfo(nullptr, nullptr, 4, nullptr, nullptr, nullptr); }},
        {Operation::CallIsWow64Process, [&] { p.registry.CallIsWow64Process(&flag); }},
        {Operation::OpenKey,
         [&] { p.registry.OpenKey(kLocalMachine, u"SOFTWARE", 0, kKeyRead, &handle); }},
        {Operation::QueryValue, [&] { p.registry.QueryValue(0, u"V", nullptr, nullptr, nullptr); }},
        {Operation::QueryInfoKey, [&] { p.registry.QueryInfoKey(0, nullptr, nullptr); }},
        {Operation::EnumKey, [&] { p.registry.EnumKey(0, 0, nullptr, nullptr); }},
        {Operation::EnumValue, [&] { p.registry.EnumValue(0, 0, nullptr, nullptr); }},
        {Operation::DeleteValue, [&] { p.registry.DeleteValue(0, u"V"); }},
        {Operation::CloseKey, [&] { p.registry.CloseKey(handle); }},
        {Operation::OpenForRead, [&] { p.files.OpenForRead(u"C:\\a", &handle); }},
        {Operation::CreateNew, [&] { p.files.CreateNew(u"C:\\a", &handle); }},
        {Operation::Read, [&] { p.files.Read(0, buffer, sizeof buffer, &u); }},
        {Operation::Write, [&] { p.files.Write(0, buffer, sizeof buffer); }},
        {Operation::Close, [&] { p.files.Close(handle); }},
        {Operation::Move, [&] { p.files.Move(u"C:\\a", u"C:\\b", 0); }},
        {Operation::Flush, [&] { p.files.Flush(handle); }},
        {Operation::Delete, [&] { p.files.Delete(u"C:\\b"); }},
        {Operation::GetAttributes, [&] { p.files.GetAttributes(u"C:\\b"); }},
        {Operation::SetAttributes, [&] { p.files.SetAttributes(u"C:\\b", kFileAttributeNormal); }},
        {Operation::VersionInfoSize, [&] { p.files.VersionInfoSize(u"C:\\b"); }},
        {Operation::VersionInfo, [&] { p.files.VersionInfo(u"C:\\b", sizeof buffer, buffer); }},
        {Operation::QueryFixedVersion, [&] { p.files.QueryFixedVersion(nullptr, nullptr); }},
        {Operation::SystemFolder, [&] { p.processes.SystemFolder(folder, 260); }},
        {Operation::ReadStartupInfo, [&] { p.processes.ReadStartupInfo(&startup); }},
        {Operation::Create,
         [&] { p.processes.Create(nullptr, nullptr, false, 0, &startup, &started); }},
        {Operation::GetLastError, [&] { p.processes.GetLastError(); }},
        {Operation::Wait, [&] { p.processes.Wait(0, 0); }},
        {Operation::GetExitCodeProcess, [&] { p.processes.GetExitCodeProcess(0, &u); }},
        {Operation::CloseHandle, [&] { p.processes.CloseHandle(0); }},
        {Operation::Sleep, [&] { p.processes.Sleep(0); }},
        {Operation::AllowSetForegroundWindow, [&] { p.processes.AllowSetForegroundWindow(1); }},
        {Operation::ShowMessageBox, [&] { p.desktop.ShowMessageBox(0, u"t", u"c", kMbOk); }},
        {Operation::FindTopLevelWindow, [&] { p.desktop.FindTopLevelWindow(nullptr, u"t"); }},
        {Operation::Send, [&] { p.desktop.Send(0, kWmSysCommand, kScClose, 0); }},
        {Operation::GetLocalTime, [&] { p.clock.GetLocalTime(&time); }},
        {Operation::GetTickCount, [&] { p.clock.GetTickCount(); }},
    };
    std::set<Operation> covered;
    for (const auto& [operation, call] : calls) {
        sim.ledger.FailCall(0);
        call();
        EXPECT_EQ(sim.ledger.Calls(), std::vector<Operation>{operation});
        covered.insert(operation);
    }
    EXPECT_EQ(covered.size(), kOperationCount);
}

}  // namespace
}  // namespace zarvo::sim
