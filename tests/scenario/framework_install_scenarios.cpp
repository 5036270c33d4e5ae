// NetFrameworkInstall against a policy key that the scenario writes and stand-in
// redistributables carrying chosen file versions: the decision, the path it hands on, and
// what it says in the log.
#include <gtest/gtest.h>

#include "frame/result_codes.h"
#include "scenario/machine.h"

namespace zarvo::test {
namespace {

const std::u16string kPolicy = u"SOFTWARE\\Microsoft\\.NETFramework\\Policy";

struct Decision {
    std::string mode;
    std::string fullPath;
};

class FrameworkInstall : public ::testing::Test {
protected:
    void SetUp() override { machine->TakeOverKey(kPolicy, kKeyWow64_64Key); }

    // Registers frameworks in the view the action reads; each subkey with its value names,
    // written in name order (the order in which Wine enumerates values too).
    void Register(const std::vector<std::pair<std::u16string, std::vector<std::u16string>>>& frameworks)
    {
        for (const auto& [subkey, values] : frameworks) {
            machine->CreateRegistryKey(kPolicy + u"\\" + subkey, kKeyWow64_64Key);
            for (const std::u16string& value : values)
                machine->WriteRegistryText(kPolicy + u"\\" + subkey, value, u"", kKeyWow64_64Key);
        }
    }
    // Names the redistributable through the file-name property of this Windows; the other
    // property names a file that does not exist.
    void Offer(const std::u16string& folder, const std::u16string& fileName)
    {
        const bool windows64 = machine->IsWindows64();
        machine->SetProperty(u"SourceDir", folder);
        machine->SetProperty(windows64 ? u"NetFrameworkFileName64" : u"NetFrameworkFileName32", fileName);
        machine->SetProperty(windows64 ? u"NetFrameworkFileName32" : u"NetFrameworkFileName64", u"wrong.exe");
    }
    // The redistributable with that version: its folder, with the trailing backslash, and
    // its file name.
    std::pair<std::u16string, std::u16string> Redistributable(const std::u16string& version)
    {
        const std::u16string path = machine->FileWithVersion(version);
        const std::size_t slash = path.rfind(u'\\');
        return {path.substr(0, slash + 1), path.substr(slash + 1)};
    }
    Decision Decide()
    {
        EXPECT_EQ(machine->RunAction("NetFrameworkInstall"), kErrorSuccess);
        return {Narrow(machine->Property(u"NetFrameworkInstallationMode")),
                Narrow(machine->Property(u"NetFrameworkFullPath"))};
    }
    // The decision for a redistributable of that version against the usual registrations.
    Decision DecideAgainst(const std::u16string& version)
    {
        machine = MakeMachine();
        SetUp();
        Register({{u"v1.0", {u"3705"}}, {u"v1.1", {u"4322"}}, {u"v2.0", {u"50727"}},
                  {u"v4.0", {u"100", u"200"}}});
        const auto [folder, fileName] = Redistributable(version);
        Offer(folder, fileName);
        return Decide();
    }

    std::unique_ptr<Machine> machine = MakeMachine();
};

TEST_F(FrameworkInstall, RunsOnlyARedistributableNewerThanTheLastRegisteredFramework)
{
    // Registered 4.0.200: the fourth part is never compared, the build only after the minor.
    const Decision same = DecideAgainst(u"4.0.200.7");
    EXPECT_EQ(same.mode, "0");
    EXPECT_EQ(same.fullPath, "");
    const std::string newer = Narrow(machine->FileWithVersion(u"4.5.30.1"));
    const Decision minorAbove = DecideAgainst(u"4.5.30.1");
    EXPECT_EQ(minorAbove.mode, "1");
    EXPECT_EQ(minorAbove.fullPath, newer);
    EXPECT_EQ(DecideAgainst(u"3.5.900.1").mode, "0");
}

TEST_F(FrameworkInstall, SaysInTheLogWhatItFoundAndWhatItDecided)
{
    // One machine for all three decisions: the lines of each run follow the ones before.
    const std::string view = machine->IsWindows64() ? "the 64-bit view" : "the one view";
    const std::string policy = Narrow(kPolicy);
    Register({{u"v1.0", {u"3705"}}, {u"v4.0", {u"100", u"200"}}});
    const auto [newerFolder, newerName] = Redistributable(u"4.5.30.1");
    const std::string newer = Narrow(newerFolder + newerName);
    Offer(newerFolder, newerName);
    Decide();
    const auto [sameFolder, sameName] = Redistributable(u"4.0.200.7");
    Offer(sameFolder, sameName);
    Decide();
    // A last subkey that names no version: no framework counts as registered.
    Register({{u"vNext", {u"1"}}});
    Offer(u"C:\\Media\\", u"Redist.exe");
    Decide();
    std::vector<std::string> lines;
    for (const std::u16string& line : machine->LogLines()) lines.push_back(Narrow(line));
    const std::string registered = "NetFrameworkInstall: registered framework 4.0.200.0, from key " +
                                   policy + "\\v4.0 in " + view + " and its last value \"200\"";
    EXPECT_EQ(lines, (std::vector<std::string>{
        registered,
        "NetFrameworkInstall: redistributable " + newer + " has version 4.5.30.0",
        "NetFrameworkInstall: registered framework 4.0.200.0 is below the redistributable's 4.5.30.0: "
        "NetFrameworkFullPath set to \"" + newer + "\", NetFrameworkInstallationMode set to \"1\"",
        registered,
        "NetFrameworkInstall: redistributable " + Narrow(sameFolder + sameName) + " has version 4.0.200.0",
        "NetFrameworkInstall: registered framework 4.0.200.0 is not below the redistributable's "
        "4.0.200.0: NetFrameworkInstallationMode set to \"0\"",
        "NetFrameworkInstall: no framework registered: the last subkey of key " + policy + " in " + view +
            ", \"vNext\", is not \"v\" and a number above 0",
        "NetFrameworkInstall: no framework registered: NetFrameworkFullPath set to "
        "\"C:\\Media\\Redist.exe\", NetFrameworkInstallationMode set to \"1\"",
    }));
}

TEST_F(FrameworkInstall, RunsTheRedistributableWhenNoFrameworkIsRegistered)
{
    Offer(u"C:\\Media\\", u"Redist.exe");
    const Decision none = Decide();
    EXPECT_EQ(none.mode, "1");
    EXPECT_EQ(none.fullPath, "C:\\Media\\Redist.exe");

    for (const auto& frameworks :
         std::vector<std::vector<std::pair<std::u16string, std::vector<std::u16string>>>>{
             {{u"v0.9", {u"1"}}},                        // major 0
             {{u"v4.0", {u"100"}}, {u"vNext", {u"1"}}},  // the last has no number
             {{u"v4.0", {}}},                            // no values
             {{u"4.0", {u"100"}}}}) {                    // no v
        machine = MakeMachine();
        SetUp();
        Register(frameworks);
        Offer(u"C:\\Media", u"Redist.exe");
        const Decision decision = Decide();
        EXPECT_EQ(decision.mode, "1");
        EXPECT_EQ(decision.fullPath, "C:\\MediaRedist.exe");
    }
}

TEST_F(FrameworkInstall, ReadsTheBuildFromTheLastValueName)
{
    // A name of letters gives build 0: registered 4.0.0 is below 4.0.200.
    Register({{u"v4.0", {u"Alpha"}}});
    const auto [folder, fileName] = Redistributable(u"4.0.200.7");
    Offer(folder, fileName);
    EXPECT_EQ(Decide().mode, "1");
}

TEST_F(FrameworkInstall, TakesAMajorWithoutItsMinor)
{
    // Registered 5.0.100 is above 4.5.30.
    Register({{u"v5", {u"100"}}});
    const auto [folder, fileName] = Redistributable(u"4.5.30.1");
    Offer(folder, fileName);
    EXPECT_EQ(Decide().mode, "0");
}

TEST_F(FrameworkInstall, LeavesTheRedistributableWhoseVersionCannotBeRead)
{
    Register({{u"v2.0", {u"50727"}}});
    const auto [folder, fileName] = Redistributable(u"4.5.30.1");
    // Without its backslash the folder and the name join into a file that is not there.
    Offer(folder.substr(0, folder.size() - 1), fileName);
    EXPECT_EQ(Decide().mode, "0");
    Offer(folder, u"");
    EXPECT_EQ(Decide().mode, "0");
    Offer(folder, Redistributable(u"").second);
    const Decision unversioned = Decide();
    EXPECT_EQ(unversioned.mode, "0");
    EXPECT_EQ(unversioned.fullPath, "");
}

TEST_F(FrameworkInstall, NeverCutsAPathThatDoesNotFit)
{
    // 200 and 60 characters make 260, one more than the path holds.
    const std::u16string folder = u"C:\\" + std::u16string(196, u'f') + u"\\";
    Offer(folder, std::u16string(56, u'n') + u".exe");
    const Decision tooLong = Decide();
    EXPECT_EQ(tooLong.mode, "1");
    EXPECT_EQ(tooLong.fullPath, "");
    Offer(folder, std::u16string(55, u'n') + u".exe");
    EXPECT_EQ(Decide().fullPath, Narrow(folder + std::u16string(55, u'n') + u".exe"));
    // A source folder that cannot be read leaves nothing of a path either.
    Offer(u"C:\\" + std::u16string(257, u'f'), u"Redist.exe");
    const Decision unreadable = Decide();
    EXPECT_EQ(unreadable.mode, "1");
    EXPECT_EQ(unreadable.fullPath, "");
}

TEST_F(FrameworkInstall, EnumeratesSubkeysInNameOrderAndValuesInTheOrderWritten)
{
    Register({{u"v4.0", {u"100", u"200", u"alpha"}}, {u"V2.0", {}}, {u"v1.1", {}}, {u"v1.0", {}}});
    Registry& registry = machine->platform().registry;
    RegistryKey policy = 0;
    ASSERT_EQ(registry.OpenKey(kLocalMachine, kPolicy.c_str(), 0, kKeyRead | kKeyWow64_64Key, &policy),
              kErrorSuccess);
    std::vector<std::string> names;
    char16_t name[260];
    for (std::uint32_t index = 0;; ++index) {
        std::uint32_t count = 260;
        if (registry.EnumKey(policy, index, name, &count) != kErrorSuccess) break;
        names.push_back(Narrow(name));
    }
    RegistryKey framework = 0;
    ASSERT_EQ(registry.OpenKey(policy, u"v4.0", 0, kKeyRead | kKeyWow64_64Key, &framework), kErrorSuccess);
    for (std::uint32_t index = 0;; ++index) {
        std::uint32_t count = 260;
        if (registry.EnumValue(framework, index, name, &count) != kErrorSuccess) break;
        names.push_back(Narrow(name));
    }
    registry.CloseKey(framework);
    registry.CloseKey(policy);
    EXPECT_EQ(names, (std::vector<std::string>{"v1.0", "v1.1", "V2.0", "v4.0", "100", "200", "alpha"}));
}

}  // namespace
}  // namespace zarvo::test
