// Memory running out at any point of a file rewrite: each action that rewrites a file gives
// an answer it may give, leaves no handle open, and leaves its file with either its old
// bytes or the whole rewrite.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "alloc/failing_new.h"
#include "dll/action_table.h"
#include "frame/result_codes.h"
#include "platform/sim/sim_platform.h"

namespace zarvo::test {
namespace {

constexpr const char16_t* kCommandKey = u"SOFTWARE\\Vendor\\Commands";

struct FileAction {
    const char* action;
    const char16_t* target;
    const char* old;
    // Puts what reaches the file (a command, CustomActionData) on the machine.
    void (*setUp)(sim::SimPlatform& sim, InstallerHandle session);
};

void PlaceCommand(sim::SimPlatform& sim, InstallerHandle session, const char16_t* valueName,
                  const std::vector<std::u16string>& command)
{
    // In both views, as the plain-text action reads its own and the XML one the 64-bit view.
    sim.registry.WriteMultiString(kCommandKey, valueName, command, kKeyWow64_64Key);
    sim.registry.WriteMultiString(kCommandKey, valueName, command);
    sim.installer.SetPropertyValue(session, u"CustomActionData", kCommandKey);
}

// Names and values longer than a short string's own room, so that every table row, tag
// and doubled value is memory of its own that can run out.
const FileAction kFileActions[] = {
    {"SetupSubstFiles", u"C:\\App\\app.cfg", "<Dir> holds ProductVersion\n<ProductVersion>\n",
     [](sim::SimPlatform& sim, InstallerHandle session) {
         PlaceCommand(sim, session, u"SetupSubstFileCmd_0",
                      {u"C:\\App\\app.cfg", u"ProductVersion=2.5.0.7", u"Dir=C:\\Zv\\Templates"});
     }},
    // No byte-order mark and a character beyond ASCII: the file is read once more to tell
    // UTF-8 from single-byte text.
    {"SetupSubstXmlFiles", u"C:\\App\\settings.xml",
     "<ProductVersion>old</ProductVersion>\n<City>Z\xC3\xBCrich</City>\n",
     [](sim::SimPlatform& sim, InstallerHandle session) {
         PlaceCommand(sim, session, u"SetupSubstXmlCmd_0",
                      {u"C:\\App\\settings.xml", u"ProductVersion=2.5.0.7", u"City=Bern"});
     }},
    {"UpdateVS71VszFile", u"C:\\App\\ZarvoCSharpPlugin.vsz", "Param=\"X=[Zv.Dir.APITemplatesVS71]\"\n",
     [](sim::SimPlatform& sim, InstallerHandle session) {
         sim.installer.SetPropertyValue(session, u"CustomActionData", u"C:\\App\\|C:\\Templates");
     }},
};

struct Outcome {
    WinResult answer;
    std::string bytes;
    std::uint64_t allocations;
};

// One run on a machine set up afresh, with the action's allocation number `failing` failing
// (0: none). The ledger's record of calls is given room first, so that recording a call
// never allocates: a real platform call takes nothing from the library's heap, and a close
// made by a guard on the way out must not throw.
Outcome RunOnce(const FileAction& file, std::uint64_t failing, const std::string& old)
{
    auto sim = std::make_unique<sim::SimPlatform>();
    sim->files.PutFile(file.target, old);
    const InstallerHandle session = sim->installer.OpenSession(std::make_shared<sim::SimDatabase>());
    file.setUp(*sim, session);
    for (int i = 0; i < 1024; ++i) sim->ledger.FailThisCall(sim::Operation::Sleep);
    sim->ledger.FailCall(0);

    FailAllocation(failing, FailingKind::Any);
    const WinResult answer = InvokeAction(*FindAction(file.action), sim->platform(), session);
    const std::uint64_t allocations = AllocationCount();
    FailAllocation(0, FailingKind::Any);

    EXPECT_EQ(sim->ledger.OpenCount(), 0u)
        << file.action << " with allocation " << failing << " failing left open:\n"
        << sim->ledger.DescribeOpen();
    return {answer, sim->files.ReadFileBytes(file.target).value_or("<missing>"), allocations};
}

TEST(FileActionsOutOfMemory, KeepTheirFilesWholeAndCloseEveryHandle)
{
    for (const FileAction& file : kFileActions) {
        const Outcome clean = RunOnce(file, 0, file.old);
        EXPECT_EQ(clean.answer, kErrorSuccess) << file.action;
        ASSERT_NE(clean.bytes, file.old) << file.action << " did not reach its file";
        const WinResult stopped = FindAction(file.action)->answerWhenStopped;
        for (std::uint64_t n = 1; n <= clean.allocations; ++n) {
            const Outcome run = RunOnce(file, n, file.old);
            EXPECT_TRUE(run.answer == kErrorSuccess || run.answer == stopped)
                << file.action << " with allocation " << n << " failing answered " << run.answer;
            EXPECT_TRUE(run.bytes == file.old || run.bytes == clean.bytes)
                << file.action << " with allocation " << n << " failing left: " << run.bytes;
        }
    }
}

// A rewrite allocates what its file's size does not change: no line costs an allocation.
TEST(FileActionsMemory, AllocateNoMoreForALongerFile)
{
    for (const FileAction& file : kFileActions) {
        std::string longer;
        for (int copy = 0; copy < 500; ++copy) longer += file.old;
        EXPECT_EQ(RunOnce(file, 0, longer).allocations, RunOnce(file, 0, file.old).allocations) << file.action;
    }
}

}  // namespace
}  // namespace zarvo::test
