// IsFrameworkInstalled on real registries: the view it reads, the command's comma rules,
// the length limits of the command and of the registered text, the codes it passes on, and
// what it says in the log.
#include <gtest/gtest.h>

#include <iterator>

#include "frame/result_codes.h"
#include "scenario/windows_errors.h"
#include "scenario/machine.h"

namespace zarvo::test {
namespace {

const std::u16string kFrameworkKey = std::u16string(kTestKeyRoot) + u"\\Framework";

class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The decoy goes first: on 32-bit Windows both views are one key and the real
        // value then replaces it.
        machine->WriteRegistryText(kFrameworkKey, u"Version", u"9.9", kKeyWow64_32Key);
        machine->WriteRegistryText(kFrameworkKey, u"Version", u"4.0.30319", kKeyWow64_64Key);
    }
    // The action's answer for the command, checked against the property it sets.
    WinResult Test(const std::u16string& command)
    {
        machine->SetProperty(u"FRAMEWORKTESTCOMMAND", command);
        const WinResult answer = machine->RunAction("IsFrameworkInstalled");
        EXPECT_EQ(Narrow(machine->Property(u"FrameworkNotInstalled")),
                  answer == kErrorSuccess ? "" : "NotInstalled");
        machine = MakeMachine();
        SetUp();
        return answer;
    }

    std::unique_ptr<Machine> machine = MakeMachine();
    const std::u16string key = kFrameworkKey;
};

TEST_F(FrameworkTest, ComparesTheVersionInTheSixtyFourBitView)
{
    EXPECT_EQ(Test(key + u",Version,4.0"), kErrorSuccess);
    EXPECT_EQ(Test(key + u",Version,4.0.30319"), kErrorSuccess);
    EXPECT_EQ(Test(key + u",version,4.0.30320"), 1u);
    // The decoy, 9.9, would pass this; the 64-bit view's 4.0.30319 does not.
    EXPECT_EQ(Test(key + u",Version,4.5"), 1u);
    // A further comma ends the version: 4.0 is required.
    EXPECT_EQ(Test(key + u",Version,4.0,7"), kErrorSuccess);
}

TEST_F(FrameworkTest, RefusesACommandWithoutItsThreeFields)
{
    EXPECT_EQ(Test(u""), 1u);
    EXPECT_EQ(Test(key), 1u);
    EXPECT_EQ(Test(key + u",Version"), 1u);
    EXPECT_EQ(Test(key + u",,4.0"), 1u);
    EXPECT_EQ(Test(key + u",Version,"), 1u);
    EXPECT_EQ(Test(u",Version,0"), 1u);
}

TEST_F(FrameworkTest, PassesTheRegistrysCodesOn)
{
    EXPECT_EQ(Test(key + u"\\Missing,Version,1"), kErrorFileNotFound);
    EXPECT_EQ(Test(key + u",Missing,1"), kErrorFileNotFound);
    // 31 characters and the terminator fill the 64 bytes; one more does not fit.
    machine->WriteRegistryText(key, u"Long", u"4.0." + std::u16string(27, u'1'), kKeyWow64_64Key);
    EXPECT_EQ(Test(key + u",Long,4"), kErrorSuccess);
    machine->WriteRegistryText(key, u"Long", u"4.0." + std::u16string(28, u'1'), kKeyWow64_64Key);
    EXPECT_EQ(Test(key + u",Long,4"), kErrorMoreData);
}

TEST_F(FrameworkTest, ReadsAnyValueAsText)
{
    machine->WriteRegistryDword(key, u"One", 1, kKeyWow64_64Key);
    EXPECT_EQ(Test(key + u",One,0.0.0.0"), kErrorSuccess);
    machine->WriteRegistryDword(key, u"One", 1, kKeyWow64_64Key);
    EXPECT_EQ(Test(key + u",One,0.0.0.1"), 1u);
    machine->WriteRegistryDword(key, u"Zero", 0, kKeyWow64_64Key);
    EXPECT_EQ(Test(key + u",Zero,0"), 1u);
}

TEST_F(FrameworkTest, TakesACommandOf259CharactersAndRefusesOneOf260)
{
    const std::u16string command = key + u",Version,4.0,";
    EXPECT_EQ(Test(command + std::u16string(259 - command.size(), u'7')), kErrorSuccess);
    EXPECT_EQ(Test(command + std::u16string(260 - command.size(), u'7')), kErrorMoreData);
}

TEST_F(FrameworkTest, SaysInTheLogWhatItReadWhereAndWhatItAnswers)
{
    const std::string view = machine->IsWindows64() ? "the 64-bit view" : "the one view";
    const std::string value = "value \"Version\" of key " + Narrow(key) + " in " + view +
                              " holds \"4.0.30319\", read as 4.0.30319.0, which is ";
    const std::pair<std::u16string, std::string> cases[] = {
        {key + u",Version,4.0", value + "not below 4.0.0.0: passes; answers 0"},
        {key + u",Version,4.5", value + "below 4.5.0.0: fails: FrameworkNotInstalled set to "
                                        "\"NotInstalled\"; answers 1"},
        {key + u"\\Missing,Version,1", "key " + Narrow(key) + "\\Missing could not be opened in " +
                                           view + " (error 2): fails: FrameworkNotInstalled set to "
                                           "\"NotInstalled\"; answers 2"},
        {u",Version,0", "FRAMEWORKTESTCOMMAND \",Version,0\" is not \"subkey,value name,version\": "
                        "fails: FrameworkNotInstalled set to \"NotInstalled\"; answers 1"},
    };
    // One machine for all: the lines of each run follow those of the one before.
    for (std::size_t run = 0; run < std::size(cases); ++run) {
        machine->SetProperty(u"FRAMEWORKTESTCOMMAND", cases[run].first);
        machine->RunAction("IsFrameworkInstalled");
        const std::vector<std::u16string> lines = machine->LogLines();
        ASSERT_EQ(lines.size(), run + 1) << Narrow(cases[run].first);
        EXPECT_EQ(Narrow(lines[run]), "IsFrameworkInstalled: " + cases[run].second);
    }
}

TEST_F(FrameworkTest, LeavesAPropertyThatIsAlreadySetWhenTheTestPasses)
{
    machine->SetProperty(u"FrameworkNotInstalled", u"set by the package");
    machine->SetProperty(u"FRAMEWORKTESTCOMMAND", key + u",Version,4.0");
    EXPECT_EQ(machine->RunAction("IsFrameworkInstalled"), kErrorSuccess);
    EXPECT_EQ(Narrow(machine->Property(u"FrameworkNotInstalled")), "set by the package");
}

}  // namespace
}  // namespace zarvo::test
