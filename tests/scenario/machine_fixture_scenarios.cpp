// What the machine writes, carries and installs for the scenarios, read back through the
// library's own platform calls: the simulated and the real Windows must agree on it.
#include <gtest/gtest.h>

#include "frame/result_codes.h"
#include "scenario/windows_errors.h"
#include "scenario/machine.h"

namespace zarvo::test {
namespace {

const std::u16string kViewsKey = std::u16string(kTestKeyRoot) + u"\\Views";

// A value as "<type>:<content>", or "missing" when its key or the value is not there.
std::string ReadValue(Machine& machine, const std::u16string& path, const char16_t* name,
                      std::uint32_t view)
{
    Registry& registry = machine.platform().registry;
    RegistryKey key = 0;
    if (registry.OpenKey(kLocalMachine, path.c_str(), 0, kKeyRead | view, &key) != kErrorSuccess)
        return "missing";
    std::uint32_t type = 0;
    std::uint8_t data[64] = {};
    std::uint32_t size = sizeof data;
    const WinResult answer = registry.QueryValue(key, name, &type, data, &size);
    registry.CloseKey(key);
    if (answer != kErrorSuccess) return "missing";
    std::string content;
    if (type == kRegDword)
        content = std::to_string(data[0] | data[1] << 8 | data[2] << 16 |
                                 std::uint32_t{data[3]} << 24);
    for (std::uint32_t i = 0; type == kRegSz && i + 1 < size && data[i] != 0; i += 2)
        content += static_cast<char>(data[i]);
    return std::to_string(type) + ":" + content;
}

constexpr std::uint32_t kViews[] = {0, kKeyWow64_64Key, kKeyWow64_32Key};

std::u16string ViewName(std::uint32_t view)
{
    return view == 0 ? u"Plain" : view == kKeyWow64_64Key ? u"64" : u"32";
}

TEST(MachineFixture, ReadsValuesBackInTheViewTheyWereWrittenIn)
{
    auto machine = MakeMachine();
    for (const std::uint32_t view : kViews) {
        machine->WriteRegistryText(kViewsKey, u"Text" + ViewName(view), u"in " + ViewName(view),
                                   view);
        machine->WriteRegistryDword(kViewsKey, u"Number" + ViewName(view), 0x12345600 + view, view);
    }
    for (const std::uint32_t view : kViews) {
        EXPECT_EQ(ReadValue(*machine, kViewsKey, (u"Text" + ViewName(view)).c_str(), view),
                  "1:in " + Narrow(ViewName(view)));
        EXPECT_EQ(ReadValue(*machine, kViewsKey, (u"Number" + ViewName(view)).c_str(), view),
                  "4:" + std::to_string(0x12345600 + view));
    }
}

// On 64-bit Windows a plain open by the 32-bit library reaches the 32-bit view; on 32-bit
// Windows there is one view whatever the flags say. Each Windows that the machine can be
// made into is tried.
TEST(MachineFixture, KeepsTheRegistryViewsApartOnlyOn64BitWindows)
{
    for (const bool windows64 : {true, false}) {
        auto machine = MakeMachine();
        if (machine->IsWindows64() != windows64 && !machine->SetWindows64(windows64)) continue;
        machine->WriteRegistryDword(kViewsKey, u"Only64", 64, kKeyWow64_64Key);
        machine->WriteRegistryDword(kViewsKey, u"Only32", 32, kKeyWow64_32Key);
        const std::string only64 = windows64 ? "missing" : "4:64";
        const std::string only32 = windows64 ? "missing" : "4:32";
        EXPECT_EQ(ReadValue(*machine, kViewsKey, u"Only64", kKeyWow64_64Key), "4:64");
        EXPECT_EQ(ReadValue(*machine, kViewsKey, u"Only64", 0), only64);
        EXPECT_EQ(ReadValue(*machine, kViewsKey, u"Only64", kKeyWow64_32Key), only64);
        EXPECT_EQ(ReadValue(*machine, kViewsKey, u"Only32", 0), "4:32");
        EXPECT_EQ(ReadValue(*machine, kViewsKey, u"Only32", kKeyWow64_64Key), only32);
    }
}

TEST(MachineFixture, LeavesNoValuesToTheNextMachine)
{
    for (const std::uint32_t view : kViews)
        MakeMachine()->WriteRegistryDword(kViewsKey, u"Left", 1, view);
    auto machine = MakeMachine();
    for (const std::uint32_t view : kViews)
        EXPECT_EQ(ReadValue(*machine, kViewsKey, u"Left", view), "missing");
}

// A key taken over gets back what it held before, and is gone again if it was not there.
TEST(MachineFixture, PutsBackAKeyItTookOver)
{
    const std::u16string taken = u"SOFTWARE\\ZarvoTaken\\Key";
    auto first = MakeMachine();
    first->TakeOverKey(taken, kKeyWow64_64Key);
    first->WriteRegistryText(taken + u"\\Sub", u"Held", u"before", kKeyWow64_64Key);
    {
        auto second = MakeMachine();
        second->TakeOverKey(taken, kKeyWow64_64Key);
        EXPECT_EQ(ReadValue(*second, taken + u"\\Sub", u"Held", kKeyWow64_64Key), "missing");
        second->WriteRegistryText(taken + u"\\Sub", u"Held", u"during", kKeyWow64_64Key);
    }
    EXPECT_EQ(ReadValue(*first, taken + u"\\Sub", u"Held", kKeyWow64_64Key), "1:before");
    first.reset();
    auto after = MakeMachine();
    RegistryKey key = 0;
    EXPECT_EQ(after->platform().registry.OpenKey(kLocalMachine, u"SOFTWARE\\ZarvoTaken", 0,
                                                 kKeyRead | kKeyWow64_64Key, &key),
              kErrorFileNotFound);
}

TEST(MachineFixture, FilesCarryTheirVersionOrNone)
{
    auto machine = MakeMachine();
    for (const char16_t* version : kFixtureVersions) {
        char16_t text[32] = {};
        std::uint32_t count = 32;
        const WinResult answer = machine->platform().installer.GetFileVersion(
            machine->FileWithVersion(version).c_str(), text, &count, nullptr, nullptr);
        if (*version == u'\0') {
            EXPECT_EQ(answer, kErrorFileInvalid);
        } else {
            EXPECT_EQ(answer, kErrorSuccess);
            EXPECT_EQ(std::u16string(text, count), version);
        }
    }
}

TEST(MachineFixture, KnowsTheInstalledProductAndNoOther)
{
    auto machine = MakeMachine();
    auto state = [&](const char16_t* code, std::u16string* text) {
        char16_t buffer[8] = {};
        std::uint32_t count = 8;
        const WinResult answer = machine->platform().installer.GetProductInfo(
            code, nullptr, kInstallContextMachine, u"State", buffer, &count);
        *text = std::u16string(buffer, count);
        return answer;
    };
    std::u16string text;
    EXPECT_EQ(state(kInstalledProductCode, &text), kErrorSuccess);
    EXPECT_EQ(Narrow(text), "5");
    EXPECT_EQ(state(u"{4D2E6A18-3B7C-4F59-8E21-7C0D9B3A5F65}", &text), kErrorUnknownProduct);
}

TEST(MachineFixture, ShowsAComponentRequestedAbsent)
{
    auto machine = MakeMachine();
    machine->AddComponent(u"Kept");
    machine->AddComponent(u"Dropped");
    Installer& installer = machine->platform().installer;
    EXPECT_EQ(installer.SetComponentState(machine->Session(), u"Dropped", kInstallStateAbsent),
              kErrorSuccess);
    EXPECT_EQ(installer.SetComponentState(machine->Session(), u"Unknown", kInstallStateAbsent),
              kErrorUnknownComponent);
    EXPECT_TRUE(machine->ComponentRequestedAbsent(u"Dropped"));
    EXPECT_FALSE(machine->ComponentRequestedAbsent(u"Kept"));
}

}  // namespace
}  // namespace zarvo::test
