// CheckPrerequisites on real packages, registries, files and products: which rows fail,
// how the failures are numbered, what the installation is told, and what the log says.
#include <gtest/gtest.h>

#include "frame/result_codes.h"
#include "scenario/prerequisites_table.h"

namespace zarvo::test {
namespace {

constexpr const char16_t* kUnknownProduct = u"{0B1C2D3E-4F50-4617-8293-A4B5C6D7E8F9}";

class PrerequisiteGate : public ::testing::Test {
protected:
    // Runs the gate over the rows and gives its answer.
    WinResult Gate(const std::vector<PrerequisiteLine>& lines)
    {
        AddPrerequisites(*machine, lines);
        return machine->RunAction("CheckPrerequisites");
    }
    // Whether one row alone passes the gate.
    bool Passes(const std::u16string& type, const std::u16string& destination,
                const std::u16string& valueName, const std::u16string& value)
    {
        const WinResult answer = Gate({{u"1", type, u"Only", destination, valueName, value}});
        EXPECT_EQ(answer == kErrorSuccess, Failure(0).empty());
        return answer == kErrorSuccess;
    }
    std::string Failure(int number)
    {
        return Narrow(machine->Property(u"FALSEPREREQUISITY_" +
                                        std::u16string(1, static_cast<char16_t>(u'0' + number))));
    }
    std::u16string Key(const std::u16string& name) { return kPrerequisiteKey + u"\\" + name; }

    std::unique_ptr<Machine> machine = MakeMachine();
};

TEST_F(PrerequisiteGate, NumbersTheFailedRowsInOrderAndStopsTheInstallation)
{
    const std::u16string file = machine->FileWithVersion(u"2.5.0.7");
    EXPECT_EQ(Gate({{u"30", u"CheckFileVersion", u"third fails", file, u"FileVersion", u"3.0"},
                    {u"10", u"CheckFileVersion", u"first passes", file, u"FileVersion", u"2.5"},
                    {u"15", u"CheckVersionSetProperty", u"skipped", Key(u"None"), u"V", u"9"},
                    {u"20", u"checkfileversion", u"second fails", file, u"fileversion", u"2.5.0.8"},
                    {u"25", u"CheckSomethingElse", u"unknown", u"", u"", u""}}),
              kErrorInstallFailure);
    EXPECT_EQ(Failure(0), "second fails");
    EXPECT_EQ(Failure(1), "third fails");
    EXPECT_EQ(Failure(2), "");
}

TEST_F(PrerequisiteGate, AFailedRowWithoutANameStillTakesItsNumber)
{
    EXPECT_EQ(Gate({{u"1", u"CheckRegistryVersion", u"", Key(u"None"), u"V", u"1"},
                    {u"2", u"CheckRegistryVersion", u"named", Key(u"None"), u"V", u"1"}}),
              kErrorInstallFailure);
    EXPECT_EQ(Failure(0), "");
    EXPECT_EQ(Failure(1), "named");
}

TEST_F(PrerequisiteGate, PassesWhenEveryRowPasses)
{
    const std::u16string file = machine->FileWithVersion(u"2.5.0.7");
    EXPECT_EQ(Gate({{u"1", u"CheckFileVersion", u"a", file, u"FileVersion", u"2.5.0.7"},
                    {u"2", u"CheckProductState", u"b", kInstalledProductCode,
                     u"ValueGreaterThanOrEqualTo", u"5"}}),
              kErrorSuccess);
    EXPECT_EQ(Failure(0), "");
}

TEST_F(PrerequisiteGate, DoesNothingWithoutAStoredCompleteTable)
{
    const PrerequisiteLine failing{u"1", u"CheckRegistryVersion", u"x", Key(u"None"), u"V", u"1"};
    EXPECT_EQ(machine->RunAction("CheckPrerequisites"), kErrorSuccess);

    auto empty = MakeMachine();
    AddPrerequisites(*empty, {});
    EXPECT_EQ(empty->RunAction("CheckPrerequisites"), kErrorSuccess);

    auto temporary = MakeMachine();
    temporary->AddTemporaryTable(u"Prerequisites", {{u"Order", true}, {u"Type"}, {u"Name"},
                                                    {u"Destination"}, {u"ValueName"},
                                                    {u"Value"}, {u"Component_"}});
    EXPECT_EQ(temporary->RunAction("CheckPrerequisites"), kErrorSuccess);

    auto lacking = MakeMachine();
    lacking->AddTable(u"Prerequisites",
                      {{u"Order", true}, {u"Type"}, {u"Name"}, {u"Destination"}, {u"ValueName"},
                       {u"Value"}},
                      {{failing.order, failing.type, failing.name, failing.destination,
                        failing.valueName, failing.value}});
    EXPECT_EQ(lacking->RunAction("CheckPrerequisites"), kErrorSuccess);
    EXPECT_EQ(Narrow(lacking->Property(u"FALSEPREREQUISITY_0")), "");

    // The log says which it was.
    const auto said = [](Machine& run) {
        const std::vector<std::u16string> lines = run.LogLines();
        return lines.size() == 1 ? Narrow(lines[0]) : "not one line but " + std::to_string(lines.size());
    };
    EXPECT_EQ(said(*machine), "CheckPrerequisites: the package has no Prerequisites table: nothing "
                              "checked; answers 0");
    EXPECT_EQ(said(*empty), "CheckPrerequisites: no row failed; answers 0");
    EXPECT_EQ(said(*temporary), "CheckPrerequisites: the Prerequisites table is a temporary table of "
                                "the running installation, not the package's own: nothing checked; "
                                "answers 0");
    EXPECT_EQ(said(*lacking), "CheckPrerequisites: the Prerequisites table lacks one of the columns "
                              "Type, Name, Destination, ValueName, Value, Component_ and Order: "
                              "nothing checked; answers 0");
}

TEST_F(PrerequisiteGate, SaysInTheLogWhatEachRowReadAndHowItEnded)
{
    const std::u16string file = machine->FileWithVersion(u"2.5.0.7");
    machine->WriteRegistryText(Key(u"Log"), u"V", u"4.0.30319", kKeyWow64_64Key);
    const std::string key = Narrow(Key(u"Log"));
    const std::string view64 = machine->IsWindows64() ? "the 64-bit view" : "the one view";
    const std::string view32 = machine->IsWindows64() ? "the 32-bit view" : "the one view";
    EXPECT_EQ(Gate({{u"1", u"CheckFileVersion", u"file", file, u"FileVersion", u"3"},
                    {u"2", u"CheckRegistryVersion", u"64", u"key_wow64_64key:" + Key(u"Log"), u"V", u"4.0"},
                    {u"3", u"CheckRegistryDWord", u"32", u"key_wow64_32key:" + Key(u"None"), u"V", u"1"},
                    {u"4", u"CheckProductState", u"product", kInstalledProductCode,
                     u"ValueGreaterThanOrEqualTo", u"5"},
                    {u"5", u"CheckFileVersoin", u"typo", file, u"FileVersion", u"1"},
                    {u"6", u"CheckVersionSetProperty", u"CHANGE", Key(u"Log"), u"V", u"1"}}),
              kErrorInstallFailure);
    std::vector<std::string> lines;
    for (const std::u16string& line : machine->LogLines()) lines.push_back(Narrow(line));
    EXPECT_EQ(lines, (std::vector<std::string>{
        "CheckPrerequisites: row 1 (CheckFileVersion \"file\"): file " + Narrow(file) +
            " has version 2.5.0.7, which is below 3.0.0.0: fails",
        "CheckPrerequisites: row 2 (CheckRegistryVersion \"64\"): value \"V\" of key " + key + " in " +
            view64 + " holds \"4.0.30319\", read as 4.0.30319.0, which is not below 4.0.0.0: passes",
        "CheckPrerequisites: row 3 (CheckRegistryDWord \"32\"): key " + Narrow(Key(u"None")) +
            " not found in " + view32 + ": fails",
        "CheckPrerequisites: row 4 (CheckProductState \"product\"): product " +
            Narrow(kInstalledProductCode) +
            " in state \"5\", read as 5.0.0.0, which is not below 5.0.0.0: passes",
        "CheckPrerequisites: row 5 (CheckFileVersoin \"typo\"): unknown Type \"CheckFileVersoin\" (did "
        "you mean CheckFileVersion?): passes unchecked",
        "CheckPrerequisites: row 6 (CheckVersionSetProperty \"CHANGE\"): a row of "
        "ChangeElementsFromPrerequisites: passes unchecked",
        "CheckPrerequisites: 2 rows failed: FALSEPREREQUISITY_0, FALSEPREREQUISITY_1 set; answers 1603",
    }));
}

TEST_F(PrerequisiteGate, ComparesFileVersions)
{
    EXPECT_TRUE(Passes(u"CheckFileVersion", machine->FileWithVersion(u"2.5.0.7"), u"FileVersion",
                       u"2.5.0.7"));
    machine = MakeMachine();
    EXPECT_FALSE(Passes(u"CheckFileVersion", machine->FileWithVersion(u"2.5.0.6"), u"FileVersion",
                        u"2.5.0.7"));
    machine = MakeMachine();
    EXPECT_FALSE(Passes(u"CheckFileVersion", machine->FileWithVersion(u""), u"FileVersion", u""));
    machine = MakeMachine();
    // A Value without a number asks for 0.0.0.0, which any version meets.
    EXPECT_TRUE(Passes(u"CheckFileVersion", machine->FileWithVersion(u"2.5.0.6"), u"FileVersion",
                       u"any"));
    machine = MakeMachine();
    // Without the FileVersion keyword the row is not a file check: not even a missing file fails.
    EXPECT_TRUE(Passes(u"CheckFileVersion", u"C:\\missing\\none.dll", u"Version", u"1"));
}

TEST_F(PrerequisiteGate, ReadsRegistryVersionsInTheViewThePrefixNames)
{
    // On 64-bit Windows the two views hold different keys below SOFTWARE; on 32-bit Windows
    // they are one key, and the second write wins.
    machine->WriteRegistryText(Key(u"Version"), u"V", u"4.0.30319", kKeyWow64_64Key);
    machine->WriteRegistryText(Key(u"Version"), u"V", u"2.0", kKeyWow64_32Key);
    const bool windows64 = machine->IsWindows64();
    const std::vector<PrerequisiteLine> lines = {
        {u"1", u"CheckRegistryVersion", u"64-bit view", u"key_wow64_64key:" + Key(u"Version"), u"V", u"4"},
        {u"2", u"CheckRegistryVersion", u"capitals", u"KEY_WOW64_64KEY:" + Key(u"Version"), u"V", u"4"},
        {u"3", u"CheckRegistryVersion", u"32-bit view", u"key_wow64_32key:" + Key(u"Version"), u"v", u"2.0.0.1"},
        {u"4", u"CheckRegistryVersion", u"own view", Key(u"Version"), u"V", u"2.0"},
        {u"5", u"CheckRegistryVersion", u"space first", u" key_wow64_64key:" + Key(u"Version"), u"V", u""},
        {u"6", u"CheckRegistryVersion", u"no value", Key(u"Version"), u"Missing", u""},
    };
    EXPECT_EQ(Gate(lines), kErrorInstallFailure);
    std::vector<std::string> expected;
    if (!windows64) expected = {"64-bit view", "capitals"};
    expected.insert(expected.end(), {"32-bit view", "space first", "no value"});
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(Failure(static_cast<int>(i)), expected[i]);
    EXPECT_EQ(Failure(static_cast<int>(expected.size())), "");
}

TEST_F(PrerequisiteGate, ReadsRegistryDataOfAnyTypeAsText)
{
    machine->WriteRegistryDword(Key(u"Data"), u"Five", 5);
    // Five characters "3.1.4" with no terminator, then a stray odd byte.
    machine->WriteRegistryValue(Key(u"Data"), u"Raw", kRegBinary,
                                {'3', 0, '.', 0, '1', 0, '.', 0, '4', 0, 'x'}, 0);
    machine->WriteRegistryValue(Key(u"Data"), u"Empty", kRegSz, {}, 0);
    EXPECT_EQ(Gate({{u"1", u"CheckRegistryVersion", u"dword as 0", Key(u"Data"), u"Five", u"0.0.0.0"},
                    {u"2", u"CheckRegistryVersion", u"dword below 1", Key(u"Data"), u"Five", u"1"},
                    {u"3", u"CheckRegistryVersion", u"raw", Key(u"Data"), u"Raw", u"3.1.4"},
                    {u"4", u"CheckRegistryVersion", u"raw below", Key(u"Data"), u"Raw", u"3.1.5"},
                    {u"5", u"CheckRegistryVersion", u"no data", Key(u"Data"), u"Empty", u""}}),
              kErrorInstallFailure);
    EXPECT_EQ(Failure(0), "dword below 1");
    EXPECT_EQ(Failure(1), "raw below");
    EXPECT_EQ(Failure(2), "no data");
    EXPECT_EQ(Failure(3), "");
}

TEST_F(PrerequisiteGate, ComparesDwordsAsUnsignedNumbers)
{
    machine->WriteRegistryDword(Key(u"Numbers"), u"High", 2147483648u);
    machine->WriteRegistryDword(Key(u"Numbers"), u"Max", 4294967295u);
    machine->WriteRegistryText(Key(u"Numbers"), u"Text", u"12");
    machine->WriteRegistryValue(Key(u"Numbers"), u"Long", kRegDword, {1, 0, 0, 0, 0, 0, 0, 0}, 0);
    machine->WriteRegistryValue(Key(u"Numbers"), u"Short", kRegDword, {5, 1}, 0);
    EXPECT_EQ(Gate({{u"1", u"CheckRegistryDWord", u"high over 1", Key(u"Numbers"), u"High", u"1"},
                    {u"2", u"CheckRegistryDWord", u"empty minimum", Key(u"Numbers"), u"High", u""},
                    {u"3", u"CheckRegistryDWord", u"minus one", Key(u"Numbers"), u"Max", u"-1"},
                    {u"4", u"CheckRegistryDWord", u"minus one high", Key(u"Numbers"), u"High", u" -1"},
                    {u"5", u"CheckRegistryDWord", u"text", Key(u"Numbers"), u"Text", u"1"},
                    {u"6", u"CheckRegistryDWord", u"too long", Key(u"Numbers"), u"Long", u"0"},
                    {u"7", u"CheckRegistryDWord", u"missing", Key(u"Numbers"), u"None", u"0"},
                    {u"8", u"CheckRegistryDWord", u"32-bit view", u"Key_Wow64_32Key:" + Key(u"Numbers"), u"High", u"2147483648"},
                    {u"9", u"CheckRegistryDWord", u"short", Key(u"Numbers"), u"Short", u"261"},
                    {u"10", u"CheckRegistryDWord", u"short below", Key(u"Numbers"), u"Short", u"262"}}),
              kErrorInstallFailure);
    EXPECT_EQ(Failure(0), "minus one high");
    EXPECT_EQ(Failure(1), "text");
    EXPECT_EQ(Failure(2), "too long");
    EXPECT_EQ(Failure(3), "missing");
    EXPECT_EQ(Failure(4), "short below");
    EXPECT_EQ(Failure(5), "");
}

TEST_F(PrerequisiteGate, ComparesInstalledProductStates)
{
    EXPECT_EQ(Gate({{u"1", u"CheckProductState", u"equal", kInstalledProductCode, u"valuegreaterthanorequalto", u"5"},
                    {u"2", u"CheckProductState", u"above", kInstalledProductCode, u"ValueGreaterThanOrEqualTo", u"6"},
                    {u"3", u"CheckProductState", u"keyword", kInstalledProductCode, u"Value", u"1"},
                    {u"4", u"CheckProductState", u"no keyword", kInstalledProductCode, u"", u""},
                    {u"5", u"CheckProductState", u"unknown", kUnknownProduct, u"ValueGreaterThanOrEqualTo", u""}}),
              kErrorInstallFailure);
    EXPECT_EQ(Failure(0), "above");
    EXPECT_EQ(Failure(1), "keyword");
    EXPECT_EQ(Failure(2), "no keyword");
    EXPECT_EQ(Failure(3), "unknown");
    EXPECT_EQ(Failure(4), "");
}

TEST_F(PrerequisiteGate, FailsOnlyForAnInstanceWhoseStateReachesTheLimit)
{
    machine->WriteRegistryText(Key(u"Instance"), u"Installed", kInstalledProductCode, kKeyWow64_64Key);
    machine->WriteRegistryText(Key(u"Instance"), u"Unknown", kUnknownProduct, kKeyWow64_64Key);
    machine->WriteRegistryText(Key(u"Instance"), u"Long", std::u16string(100, u'7'), kKeyWow64_64Key);
    const std::u16string key64 = u"key_wow64_64key:" + Key(u"Instance");
    EXPECT_EQ(Gate({{u"1", u"CheckInstanceProductState", u"below limit", key64, u"Installed", u"6"},
                    {u"2", u"CheckInstanceProductState", u"at limit", key64, u"Installed", u"5"},
                    {u"3", u"CheckInstanceProductState", u"no number", key64, u"Installed", u"none"},
                    {u"4", u"CheckInstanceProductState", u"unknown", key64, u"Unknown", u"1"},
                    {u"5", u"CheckInstanceProductState", u"no value", key64, u"Missing", u"1"},
                    {u"6", u"CheckInstanceProductState", u"too long", key64, u"Long", u"1"},
                    {u"7", u"CheckInstanceProductState", u"32-bit prefix is a name",
                     u"key_wow64_32key:" + Key(u"Instance"), u"Installed", u"1"}}),
              kErrorInstallFailure);
    EXPECT_EQ(Failure(0), "at limit");
    EXPECT_EQ(Failure(1), "no number");
    EXPECT_EQ(Failure(2), "");
}

}  // namespace
}  // namespace zarvo::test
