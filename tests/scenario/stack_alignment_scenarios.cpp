// Every action called with the stack as a 32-bit Windows caller may leave it: 4, 8 or 12 bytes
// off the 16-byte alignment that gcc's code takes for granted, and on it. The inputs lead each
// engine down each of its routes; every answer and every rewritten byte is checked.
#include <gtest/gtest.h>

#include <regex>

#include "frame/result_codes.h"
#include "scenario/prerequisites_table.h"
#include "scenario/utf16_files.h"

namespace zarvo::test {
namespace {

const std::u16string kCommandKey = std::u16string(kTestKeyRoot) + u"\\Commands";

class StackAlignment : public ::testing::TestWithParam<unsigned> {
protected:
    void SetUp() override { machine->SetStackOffset(GetParam()); }

    std::u16string File(const std::u16string& name) { return machine->FileFolder() + name; }
    std::u16string Target(std::size_t number) { return File(u"file" + Widened(std::to_string(number))); }
    // Runs the substitution action on its commands, one file each, and gives the files' bytes.
    std::vector<std::string> Substitute(const char* action, const std::u16string& command,
                                        const std::vector<std::string>& files,
                                        const std::vector<std::u16string>& pairs, std::uint32_t view)
    {
        for (std::size_t i = 0; i < files.size(); ++i) {
            machine->PutFileBytes(Target(i), files[i]);
            std::vector<std::u16string> strings{Target(i)};
            strings.insert(strings.end(), pairs.begin(), pairs.end());
            machine->WriteRegistryMultiString(kCommandKey, command + Widened(std::to_string(i)), strings, view);
        }
        machine->SetProperty(u"CustomActionData", kCommandKey);
        EXPECT_EQ(machine->RunAction(action), kErrorSuccess);
        std::vector<std::string> rewritten;
        for (std::size_t i = 0; i < files.size(); ++i)
            rewritten.push_back(machine->FileBytes(Target(i)).value_or("<missing>"));
        return rewritten;
    }

    std::unique_ptr<Machine> machine = MakeMachine();
};

TEST_P(StackAlignment, PrerequisiteActions)
{
    const std::u16string file = machine->FileWithVersion(u"2.5.0.7");
    const std::u16string key = kPrerequisiteKey + u"\\Aligned";
    machine->AddComponent(u"Versioned");
    AddPrerequisites(*machine,
                     {{u"1", u"CheckFileVersion", u"file", file, u"FileVersion", u"2.5"},
                      {u"2", u"CheckRegistryVersion", u"registry version", key, u"Version", u"4.0"},
                      {u"3", u"CheckRegistryDWord", u"registry number", key, u"Count", u"5"},
                      {u"4", u"CheckProductState", u"product", kInstalledProductCode, u"ValueGreaterThanOrEqualTo",
                       u"5"},
                      {u"5", u"CheckInstanceProductState", u"instance", u"key_wow64_64key:" + key, u"Code", u"5"},
                      {u"6", u"CheckVersionSetProperty", u"LOW", key, u"Version", u"4.0"},
                      {u"7", u"CheckFileVersionDisableComponent", u"Versioned", file, u"FileVersion", u"2.5"}});
    machine->WriteRegistryText(key, u"Version", u"3.5.0.0");
    machine->WriteRegistryDword(key, u"Count", 7);
    EXPECT_EQ(machine->RunAction("CheckPrerequisites"), kErrorInstallFailure);
    EXPECT_EQ(Narrow(machine->Property(u"FALSEPREREQUISITY_0")), "registry version");
    EXPECT_EQ(Narrow(machine->Property(u"FALSEPREREQUISITY_1")), "");
    EXPECT_EQ(machine->RunAction("ChangeElementsFromPrerequisites"), kErrorSuccess);
    EXPECT_EQ(Narrow(machine->Property(u"LOW")), "1");
    EXPECT_TRUE(machine->ComponentRequestedAbsent(u"Versioned"));
}

TEST_P(StackAlignment, FrameworkActions)
{
    const std::u16string key = std::u16string(kTestKeyRoot) + u"\\Framework";
    machine->WriteRegistryText(key, u"Version", u"4.0.30319", kKeyWow64_64Key);
    machine->SetProperty(u"FRAMEWORKTESTCOMMAND", key + u",Version,4.0");
    EXPECT_EQ(machine->RunAction("IsFrameworkInstalled"), kErrorSuccess);
    EXPECT_EQ(Narrow(machine->Property(u"FrameworkNotInstalled")), "");
    machine->SetProperty(u"FRAMEWORKTESTCOMMAND", key + u",Version,4.5");
    EXPECT_EQ(machine->RunAction("IsFrameworkInstalled"), 1u);
    EXPECT_EQ(Narrow(machine->Property(u"FrameworkNotInstalled")), "NotInstalled");

    // Registered 4.0.200; the redistributable beside the package is 4.5.30.
    const std::u16string policy = u"SOFTWARE\\Microsoft\\.NETFramework\\Policy";
    machine->TakeOverKey(policy, kKeyWow64_64Key);
    machine->CreateRegistryKey(policy + u"\\v4.0", kKeyWow64_64Key);
    machine->WriteRegistryText(policy + u"\\v4.0", u"200", u"", kKeyWow64_64Key);
    const std::u16string redistributable = machine->FileWithVersion(u"4.5.30.1");
    const std::size_t slash = redistributable.rfind(u'\\');
    machine->SetProperty(u"SourceDir", redistributable.substr(0, slash + 1));
    for (const char16_t* name : {u"NetFrameworkFileName64", u"NetFrameworkFileName32"})
        machine->SetProperty(name, redistributable.substr(slash + 1));
    EXPECT_EQ(machine->RunAction("NetFrameworkInstall"), kErrorSuccess);
    EXPECT_EQ(Narrow(machine->Property(u"NetFrameworkInstallationMode")), "1");
    EXPECT_EQ(Narrow(machine->Property(u"NetFrameworkFullPath")), Narrow(redistributable));
}

TEST_P(StackAlignment, SetupSubstFilesOnEveryRoute)
{
    std::string file, expected;
    const auto add = [&](const std::string& line, const std::string& rewritten) {
        file += line;
        expected += rewritten;
    };
    add("no token\n\n", "no token\r\n\r\n");
    // A value that holds its own name, which the bare name then finds once more.
    add("Dir and <Dir>\r\n", "C:\\Dir and C:\\\\C:\\Dir\r\n");
    add("x\rN\n", "x\rv\r\n");
    add("\xE9t\xE9 N\n", "\xE9t\xE9 v\r\n");
    // More tokens than a line is searched for at once.
    std::string many, manyRewritten;
    for (int i = 0; i < 20; ++i) {
        many += "N ";
        manyRewritten += "v ";
    }
    add(many + "\n", manyRewritten + "\r\n");
    // Longer than the 4,999 characters taken as a line at once.
    const std::string longRest(6000, 'x');
    add("N" + longRest + "\n", "v" + longRest + "\r\n");
    add("N", "v");
    // The tokens start with three characters (<, D, N), so lines are edited a block at a time;
    // with names that start with two more, one line at a time.
    const std::vector<std::u16string> few{u"Dir=C:\\Dir", u"N=v"};
    const std::vector<std::u16string> more{u"Dir=C:\\Dir", u"N=v", u"A1=a", u"B1=b"};
    for (const auto& pairs : {few, more})
        EXPECT_EQ(Substitute("SetupSubstFiles", u"SetupSubstFileCmd_", {file}, pairs, 0),
                  std::vector<std::string>{expected});
}

TEST_P(StackAlignment, SetupSubstXmlFilesInEveryEncoding)
{
    // Elements on lines of their own and together; a longer line than is taken at once, whose
    // closing tag its first 4,999 characters do not hold.
    const std::string lines = "<a>\r\n<N>1</N>\n<M>a</M><N>b</N><N>c</N>\r\n<N>" + std::string(5000, 'a') + "</N>\n";
    const std::u16string rewritten = u"caf\u00E9\r\n<a>\r\n<N>\u00FCber</N>\r\n<M>m</M><N>\u00FCber</N><N>c</N>\r\n<N>" +
                                     std::u16string(5000, u'a') + u"</N>\r\n";
    const std::vector<std::string> files{"caf\xE9\n" + lines, "\xEF\xBB\xBF" "caf\xC3\xA9\n" + lines,
                                         "caf\xC3\xA9\n" + lines, Utf16File(u"caf\u00E9\n" + Widened(lines))};
    // The XML commands are read in the 64-bit view under WOW64.
    EXPECT_EQ(Substitute("SetupSubstXmlFiles", u"SetupSubstXmlCmd_", files, {u"N=\u00FCber", u"M=m"}, kKeyWow64_64Key),
              std::vector<std::string>(files.size(), Utf16File(rewritten)));
}

TEST_P(StackAlignment, UpdateVS71VszFile)
{
    const std::u16string wizard = File(u"ZarvoCSharpPlugin.vsz");
    machine->PutFileBytes(wizard, "VSWIZARD 7.0\n"
                                  "Param=\"ABSOLUTE_PATH = [Zv.Dir.APITemplatesVS71]\"\r\n"
                                  "Param=\"FALLBACK = [Zv.Dir.APITemplatesVS71]|[Zv.Dir.APITemplatesVS71]\"\n");
    machine->SetProperty(u"CustomActionData", machine->FileFolder() + u"|C:\\Templates");
    EXPECT_EQ(machine->RunAction("UpdateVS71VszFile"), kErrorSuccess);
    EXPECT_EQ(machine->FileBytes(wizard), "VSWIZARD 7.0\r\n"
                                          "Param=\"ABSOLUTE_PATH = C:\\Templates\"\r\n"
                                          "Param=\"FALLBACK = C:\\Templates|[Zv.Dir.APITemplatesVS71]\"\r\n");
}

TEST_P(StackAlignment, ProcessWindowAndClockActions)
{
    const std::u16string ran = File(u"ran.txt");
    machine->SetProperty(u"CustomActionData", u"/c " + machine->HelperProgram() + u" write " + ran + u" ran");
    EXPECT_EQ(machine->RunAction("RunCmdFile"), kErrorSuccess);
    EXPECT_EQ(machine->FileBytes(ran), "ran");
    // The action waits out its pause only, and a loaded machine may start the program later
    // than that: the program's window is waited for.
    const std::u16string offset = Widened(std::to_string(GetParam()));
    const std::u16string started = u"Zarvo Started {" + offset + u"}";
    machine->SetProperty(u"RunForegroundProgram", machine->HelperProgram() + u" window " + started);
    EXPECT_EQ(machine->RunAction("RunForegroundProgram"), kErrorSuccess);
    const WindowHandle program = machine->WaitForWindow(started);
    ASSERT_NE(program, 0u) << "the program did not start";
    machine->CloseWindow(program);

    const std::u16string title = u"Zarvo Aligned {" + offset + u"}";
    const WindowHandle window = machine->OpenWindow(title);
    machine->SetProperty(u"CloseWindowByGUID", title + u"/ShowActionMessage");
    machine->WatchMessageBoxes(u"CloseWindowByGUID", window);
    EXPECT_EQ(machine->RunAction("CloseWindowByGUID"), kErrorSuccess);
    const std::vector<MessageBoxSeen> boxes = machine->MessageBoxesSeen();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Narrow(boxes[0].text), Narrow(title));
    EXPECT_FALSE(machine->IsWindowOpen(window));

    EXPECT_EQ(machine->RunAction("SetDateTimeProperty"), kErrorSuccess);
    const std::string stamp = Narrow(machine->Property(u"DateTime"));
    EXPECT_TRUE(std::regex_match(stamp, std::regex(R"(\d\d\.\d\d\.\d{4};\d\d:\d\d:\d\d)"))) << stamp;
}

INSTANTIATE_TEST_SUITE_P(Offsets, StackAlignment, ::testing::Values(0u, 4u, 8u, 12u));

}  // namespace
}  // namespace zarvo::test
