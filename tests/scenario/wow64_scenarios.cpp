// Whether the 32-bit library runs under WOW64, and the registry view that follows.
#include <gtest/gtest.h>

#include "frame/registry_view.h"
#include "scenario/machine.h"

namespace zarvo::test {
namespace {

void ExpectViewsFor(Machine& machine, bool windows64)
{
    Registry& registry = machine.platform().registry;
    EXPECT_EQ(IsWow64(registry), windows64);
    EXPECT_EQ(RegistryReadAccess(registry, kKeyRead), windows64 ? 0x20119u : 0x20019u);
    EXPECT_EQ(RegistryReadAccess(registry, kKeyAllAccess), windows64 ? 0xF013Fu : 0xF003Fu);
}

TEST(Wow64, AnswersAsTheWindowsItRunsOn)
{
    auto machine = MakeMachine();
    ExpectViewsFor(*machine, machine->IsWindows64());
}

TEST(Wow64, AnswersBothWaysWhereWindowsCanBeChosen)
{
    auto machine = MakeMachine();
    if (!machine->SetWindows64(false)) GTEST_SKIP() << "the other prefix runs the other way";
    ExpectViewsFor(*machine, false);
    machine->SetWindows64(true);
    ExpectViewsFor(*machine, true);
}

}  // namespace
}  // namespace zarvo::test
