#include "platform/sim/sim_registry.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace zarvo::sim {
namespace {

constexpr WinResult kFileNotFound = 2;
constexpr WinResult kAccessDenied = 5;
constexpr WinResult kInvalidHandle = 6;
constexpr WinResult kMoreData = 234;
constexpr WinResult kNoMoreItems = 259;

constexpr const char16_t* kVendor = u"SOFTWARE\\Vendor";
using Names = std::vector<std::u16string>;

class SimRegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        registry.WriteText(kVendor, u"Which", u"32-bit");
        registry.WriteText(kVendor, u"Which", u"64-bit", kKeyWow64_64Key);
        key = Open(kLocalMachine, kVendor);
    }

    RegistryKey Open(RegistryKey root, const char16_t* path, std::uint32_t access = kKeyRead)
    {
        RegistryKey opened = 0;
        EXPECT_EQ(registry.OpenKey(root, path, 0, access, &opened), 0u);
        return opened;
    }

    // The REG_SZ value "Which" of the key, without its terminator.
    std::u16string Which(RegistryKey at)
    {
        char16_t text[16] = {};
        std::uint32_t size = sizeof text;
        EXPECT_EQ(registry.QueryValue(at, u"Which", nullptr, reinterpret_cast<std::uint8_t*>(text),
                                      &size), 0u);
        return text;
    }

    std::u16string Which(const char16_t* path, std::uint32_t view)
    {
        return Which(Open(kLocalMachine, path, kKeyRead | view));
    }

    Names Enumerate(RegistryKey at, bool subKeys)
    {
        Names names;
        char16_t name[32];
        std::uint32_t count = 32;
        for (std::uint32_t i = 0; (subKeys ? registry.EnumKey(at, i, name, &count)
                                           : registry.EnumValue(at, i, name, &count)) == 0;
             ++i, count = 32)
            names.emplace_back(name, count);
        return names;
    }

    SimLedger ledger;
    SimRegistry registry{ledger};
    RegistryKey key = 0;
};

TEST_F(SimRegistryTest, SoftwareIsRedirectedUnlessThe64BitViewIsAskedFor)
{
    EXPECT_EQ(Which(kVendor, 0), u"32-bit");
    EXPECT_EQ(Which(kVendor, kKeyWow64_32Key), u"32-bit");
    EXPECT_EQ(Which(kVendor, kKeyWow64_64Key), u"64-bit");
    // Named outright, Wow6432Node is not redirected a second time.
    EXPECT_EQ(Which(u"software\\wow6432node\\Vendor", 0), u"32-bit");
    EXPECT_EQ(Which(u"SOFTWARE\\Wow6432Node\\Vendor", kKeyWow64_64Key), u"32-bit");
    EXPECT_TRUE(registry.HasKey(u"SOFTWARE\\Wow6432Node"));

    registry.WriteText(u"SYSTEM\\Setup", u"Which", u"shared");
    EXPECT_EQ(Which(u"SYSTEM\\Setup", kKeyWow64_64Key), u"shared");
}

TEST_F(SimRegistryTest, SoftwareItselfAndKeysBelowAnOpenedKeyStayInTheirView)
{
    registry.CreateKey(u"SOFTWARE\\Only64", kKeyWow64_64Key);
    const RegistryKey software32 = Open(kLocalMachine, u"SOFTWARE");
    const RegistryKey software64 = Open(kLocalMachine, u"SOFTWARE", kKeyRead | kKeyWow64_64Key);
    EXPECT_EQ(Enumerate(software32, true), Names{u"Vendor"});
    EXPECT_EQ(Enumerate(software64, true), (Names{u"Only64", u"Vendor", u"Wow6432Node"}));
    EXPECT_EQ(Which(Open(Open(software64, u"Vendor"), u"")), u"64-bit");
    EXPECT_EQ(Which(Open(software32, u"Vendor", kKeyRead | kKeyWow64_64Key)), u"32-bit");
}

TEST_F(SimRegistryTest, On32BitWindowsThereIsOneViewAndNoWow64)
{
    registry.windows64 = false;
    registry.WriteText(u"SOFTWARE\\Plain", u"Which", u"only");
    EXPECT_EQ(Which(u"SOFTWARE\\Plain", kKeyWow64_32Key), u"only");
    EXPECT_EQ(Which(u"SOFTWARE\\Plain", kKeyWow64_64Key), u"only");
    EXPECT_EQ(Which(kVendor, 0), u"64-bit");

    std::int32_t flag = -1;
    EXPECT_TRUE(registry.CallIsWow64Process(&flag));
    EXPECT_EQ(flag, 0);
    registry.windows64 = true;
    EXPECT_TRUE(registry.CallIsWow64Process(&flag));
    EXPECT_EQ(flag, 1);
    registry.kernelHasIsWow64Process = false;
    EXPECT_FALSE(registry.CallIsWow64Process(&flag));
}

TEST_F(SimRegistryTest, NamesMatchWithoutCaseAndEnumerateInWindowsOrder)
{
    for (const auto* name : {u"beta", u"_under", u"Zeta", u"alpha"})
        registry.CreateKey(std::u16string(u"software\\VENDOR\\") + name);
    for (const auto* name : {u"second", u"", u"third"}) registry.WriteDword(kVendor, name, 1);
    registry.WriteDword(kVendor, u"WHICH", 2);  // rewriting keeps the value's place and name
    // '_' follows 'Z' because the registry orders names by their upper-case forms.
    EXPECT_EQ(Enumerate(key, true), (Names{u"alpha", u"beta", u"Zeta", u"_under"}));
    EXPECT_EQ(Enumerate(key, false), (Names{u"Which", u"second", u"", u"third"}));
    EXPECT_EQ(Enumerate(Open(kLocalMachine, u"SOFTWARE"), true), Names{u"Vendor"});
}

TEST_F(SimRegistryTest, QueryValueReportsTheSizeCopiesOrAsksForMore)
{
    registry.WriteValue(kVendor, u"", kRegBinary, {1, 2, 3, 4, 5, 6});
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(registry.QueryValue(key, nullptr, &type, nullptr, &size), 0u);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(type, kRegBinary);
    std::uint8_t data[8] = {};
    size = 5;
    EXPECT_EQ(registry.QueryValue(key, u"", nullptr, data, &size), kMoreData);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(registry.QueryValue(key, u"", nullptr, data, &size), 0u);
    EXPECT_EQ(std::vector<std::uint8_t>(data, data + 8),
              (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 0, 0}));
    EXPECT_EQ(registry.QueryValue(key, u"Missing", nullptr, nullptr, &size), kFileNotFound);
}

TEST_F(SimRegistryTest, EnumerationNeedsRoomForTheTerminator)
{
    registry.CreateKey(u"SOFTWARE\\Vendor\\Sub");
    char16_t name[8] = {};
    std::uint32_t count = 5;  // "Which" without its terminator
    EXPECT_EQ(registry.EnumValue(key, 0, name, &count), kMoreData);
    count = 4;
    EXPECT_EQ(registry.EnumKey(key, 0, name, &count), 0u);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(std::u16string(name), u"Sub");
    EXPECT_EQ(registry.EnumKey(key, 1, name, &count), kNoMoreItems);

    std::uint32_t subKeys = 0;
    std::uint32_t values = 0;
    EXPECT_EQ(registry.QueryInfoKey(key, &subKeys, &values), 0u);
    EXPECT_EQ(subKeys, 1u);
    EXPECT_EQ(values, 1u);
}

TEST_F(SimRegistryTest, StoredEncodings)
{
    registry.WriteText(kVendor, u"Sz", u"A\u00e9");
    registry.WriteMultiString(kVendor, u"Multi", {u"a", u"b"});
    registry.WriteDword(kVendor, u"Dword", 0x01020304);
    EXPECT_EQ(registry.ReadValue(kVendor, u"sz"), (RegistryValue{kRegSz, {'A', 0, 0xE9, 0, 0, 0}}));
    EXPECT_EQ(registry.ReadValue(kVendor, u"Multi"),
              (RegistryValue{kRegMultiSz, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}}));
    EXPECT_EQ(registry.ReadValue(kVendor, u"Dword"), (RegistryValue{kRegDword, {4, 3, 2, 1}}));
    EXPECT_FALSE(registry.HasValue(kVendor, u"Dword", kKeyWow64_64Key));
}

TEST_F(SimRegistryTest, DeletingAValueNeedsTheRightToSetValues)
{
    EXPECT_EQ(registry.DeleteValue(key, u"Which"), kAccessDenied);
    const RegistryKey writable = Open(kLocalMachine, kVendor, kKeyAllAccess);
    EXPECT_EQ(registry.DeleteValue(writable, u"WHICH"), 0u);
    EXPECT_EQ(registry.DeleteValue(writable, u"Which"), kFileNotFound);
    EXPECT_FALSE(registry.HasValue(kVendor, u"Which"));
    EXPECT_TRUE(registry.HasValue(kVendor, u"Which", kKeyWow64_64Key));
}

TEST_F(SimRegistryTest, OpenedKeysAreLedgeredUntilClosed)
{
    const RegistryKey again = Open(key, u"");
    EXPECT_NE(again, key);
    EXPECT_TRUE(ledger.IsOpen(HandleKind::RegistryKey, again));
    EXPECT_EQ(registry.CloseKey(key), 0u);
    EXPECT_EQ(registry.CloseKey(again), 0u);
    EXPECT_EQ(ledger.OpenCount(), 0u);
    EXPECT_EQ(registry.CloseKey(key), kInvalidHandle);
    EXPECT_EQ(registry.QueryInfoKey(key, nullptr, nullptr), kInvalidHandle);

    RegistryKey missing = 99;
    EXPECT_EQ(registry.OpenKey(kLocalMachine, u"SOFTWARE\\Gone", 0, kKeyRead, &missing),
              kFileNotFound);
    EXPECT_EQ(missing, 0u);
    // The machine root comes back as itself and needs no closing.
    EXPECT_EQ(Open(kLocalMachine, nullptr), kLocalMachine);
    EXPECT_EQ(registry.CloseKey(kLocalMachine), 0u);
    EXPECT_EQ(ledger.OpenCount(), 0u);
}

TEST_F(SimRegistryTest, InjectedFailuresGiveWindowsFailureAnswers)
{
    std::uint32_t size = 8;
    std::uint8_t data[8];
    char16_t name[8];
    RegistryKey opened = 99;
    const RegistryKey writable = Open(kLocalMachine, kVendor, kKeyAllAccess);
    const std::vector<std::pair<Operation, std::function<WinResult()>>> calls = {
        {Operation::OpenKey,
         [&] { return registry.OpenKey(kLocalMachine, kVendor, 0, kKeyRead, &opened); }},
        {Operation::QueryValue,
         [&] { return registry.QueryValue(key, u"Which", nullptr, data, &size); }},
        {Operation::QueryInfoKey, [&] { return registry.QueryInfoKey(key, nullptr, nullptr); }},
        {Operation::EnumKey, [&] { return registry.EnumKey(key, 0, name, &size); }},
        {Operation::EnumValue, [&] { return registry.EnumValue(key, 0, name, &size); }},
        {Operation::DeleteValue, [&] { return registry.DeleteValue(writable, u"Which"); }},
    };
    for (const auto& [operation, call] : calls) {
        ledger.FailCall(operation, 1);
        EXPECT_EQ(call(), kAccessDenied) << operation;
    }
    EXPECT_EQ(opened, 0u);
    EXPECT_TRUE(registry.HasValue(kVendor, u"Which"));

    std::int32_t flag = -1;
    ledger.FailCall(Operation::CallIsWow64Process, 1);
    EXPECT_TRUE(registry.CallIsWow64Process(&flag));
    EXPECT_EQ(flag, -1);

    ledger.FailCall(Operation::CloseKey, 1);
    EXPECT_EQ(registry.CloseKey(key), kInvalidHandle);
    EXPECT_FALSE(ledger.IsOpen(HandleKind::RegistryKey, key));
}

}  // namespace
}  // namespace zarvo::sim
