// ChangeElementsFromPrerequisites in a real installation: properties set to "1" where a
// registry version is missing or low, components left out where a version is already there,
// and the log's account of each row.
#include <gtest/gtest.h>

#include "frame/result_codes.h"
#include "scenario/prerequisites_table.h"

namespace zarvo::test {
namespace {

// The action's lines: the real installer, costing the installation as the session opens,
// writes lines of its own into the log ("Action start ...").
std::vector<std::string> ActionLines(Machine& machine)
{
    std::vector<std::string> lines;
    for (const std::u16string& line : machine.LogLines())
        if (line.starts_with(u"ChangeElementsFromPrerequisites: ")) lines.push_back(Narrow(line));
    return lines;
}

class PrerequisiteChanges : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char16_t* component : {u"Registered", u"Missing", u"Versioned",
                                          u"Unversioned", u"Absent", u"GateKind"})
            machine->AddComponent(component);
        machine->WriteRegistryText(key, u"Version", u"3.5.0.0");
    }

    std::unique_ptr<Machine> machine = MakeMachine();
    const std::u16string key = kPrerequisiteKey + u"\\Changes";
};

TEST_F(PrerequisiteChanges, SetsPropertiesWhereTheRegistryVersionIsMissingOrLow)
{
    AddPrerequisites(*machine,
                     {{u"1", u"CheckVersionSetProperty", u"NO_KEY", key + u"\\None", u"Version", u"1"},
                      {u"2", u"checkversionsetproperty", u"LOW", key, u"Version", u"3.5.0.1"},
                      {u"3", u"CheckVersionSetProperty", u"EQUAL", key, u"Version", u"3.5"},
                      {u"4", u"CheckRegistryVersion", u"GATE_KIND", key + u"\\None", u"Version", u"1"}});
    machine->SetProperty(u"EQUAL", u"kept");
    EXPECT_EQ(machine->RunAction("ChangeElementsFromPrerequisites"), kErrorSuccess);
    EXPECT_EQ(Narrow(machine->Property(u"NO_KEY")), "1");
    EXPECT_EQ(Narrow(machine->Property(u"LOW")), "1");
    EXPECT_EQ(Narrow(machine->Property(u"EQUAL")), "kept");
    EXPECT_EQ(Narrow(machine->Property(u"GATE_KIND")), "");
}

TEST_F(PrerequisiteChanges, LeavesOutComponentsWhoseVersionIsAlreadyThere)
{
    AddPrerequisites(*machine,
                     {{u"1", u"CheckVersionDisableComponent", u"Registered", key, u"Version", u"3.5"},
                      {u"2", u"CheckVersionDisableComponent", u"Missing", key + u"\\None", u"Version", u""},
                      {u"3", u"CHECKFILEVERSIONDISABLECOMPONENT", u"Versioned",
                       machine->FileWithVersion(u"2.5.0.7"), u"AnyName", u"2.5.0.7"},
                      {u"4", u"CheckFileVersionDisableComponent", u"Unversioned",
                       machine->FileWithVersion(u""), u"FileVersion", u""},
                      {u"5", u"CheckFileVersionDisableComponent", u"Absent",
                       u"C:\\missing\\none.dll", u"FileVersion", u""},
                      {u"6", u"CheckFileVersion", u"GateKind", machine->FileWithVersion(u"2.5.0.7"),
                       u"FileVersion", u"1"},
                      {u"7", u"CheckVersionDisableComponent", u"NotAComponent", key, u"Version", u"1"}});
    EXPECT_EQ(machine->RunAction("ChangeElementsFromPrerequisites"), kErrorSuccess);
    EXPECT_TRUE(machine->ComponentRequestedAbsent(u"Registered"));
    EXPECT_FALSE(machine->ComponentRequestedAbsent(u"Missing"));
    EXPECT_TRUE(machine->ComponentRequestedAbsent(u"Versioned"));
    EXPECT_FALSE(machine->ComponentRequestedAbsent(u"Unversioned"));
    EXPECT_FALSE(machine->ComponentRequestedAbsent(u"Absent"));
    EXPECT_FALSE(machine->ComponentRequestedAbsent(u"GateKind"));
}

TEST_F(PrerequisiteChanges, ChangesNothingWithoutATable)
{
    EXPECT_EQ(machine->RunAction("ChangeElementsFromPrerequisites"), kErrorSuccess);
    EXPECT_FALSE(machine->ComponentRequestedAbsent(u"Registered"));
    EXPECT_EQ(ActionLines(*machine),
              std::vector<std::string>{"ChangeElementsFromPrerequisites: the package has no "
                                       "Prerequisites table: changed nothing; answers 0"});
}

TEST_F(PrerequisiteChanges, SaysInTheLogWhatEachRowChanged)
{
    AddPrerequisites(*machine,
                     {{u"1", u"CheckVersionSetProperty", u"NO_KEY", key + u"\\None", u"Version", u"1"},
                      {u"2", u"CheckVersionDisableComponent", u"Registered", key, u"Version", u"3.5"},
                      {u"3", u"CheckVersionSetProperty", u"EQUAL", key, u"Version", u"3.5"},
                      {u"4", u"CheckVersionDisableComponent", u"NotAComponent", key, u"Version", u"1"},
                      {u"5", u"CheckRegistryVersion", u"GATE_KIND", key, u"Version", u"1"}});
    EXPECT_EQ(machine->RunAction("ChangeElementsFromPrerequisites"), kErrorSuccess);
    // A key path without a prefix is read in the process's own view.
    const std::string view = machine->IsWindows64() ? "the 32-bit view" : "the one view";
    const std::string found = "value \"Version\" of key " + Narrow(key) + " in " + view +
                              " holds \"3.5.0.0\", read as 3.5.0.0, which is not below ";
    EXPECT_EQ(ActionLines(*machine), (std::vector<std::string>{
        "ChangeElementsFromPrerequisites: row 1 (CheckVersionSetProperty \"NO_KEY\"): key " +
            Narrow(key) + "\\None not found in " + view + ": sets NO_KEY to 1",
        "ChangeElementsFromPrerequisites: row 2 (CheckVersionDisableComponent \"Registered\"): " +
            found + "3.5.0.0: asks for component Registered to be left out",
        "ChangeElementsFromPrerequisites: row 3 (CheckVersionSetProperty \"EQUAL\"): " + found +
            "3.5.0.0: changes nothing",
        "ChangeElementsFromPrerequisites: row 4 (CheckVersionDisableComponent \"NotAComponent\"): " +
            found + "1.0.0.0: asks for component NotAComponent to be left out, refused (error 1607)",
        "ChangeElementsFromPrerequisites: row 5 (CheckRegistryVersion \"GATE_KIND\"): a row of "
        "CheckPrerequisites: changes nothing",
        "ChangeElementsFromPrerequisites: set to 1: NO_KEY; asked to leave out: Registered; answers 0",
    }));
}

}  // namespace
}  // namespace zarvo::test
