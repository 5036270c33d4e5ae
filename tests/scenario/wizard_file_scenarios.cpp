// UpdateVS71VszFile on real files: the wizard file's placeholder replaced once a line, and
// everything that leaves the file as it was.
#include <gtest/gtest.h>

#include "frame/result_codes.h"
#include "scenario/large_files.h"
#include "scenario/machine.h"

namespace zarvo::test {
namespace {

const std::string kWizard =
    "VSWIZARD 7.0\n"
    "Param=\"ABSOLUTE_PATH = [Zv.Dir.APITemplatesVS71]\"\n"
    "Param=\"FALLBACK = [Zv.Dir.APITemplatesVS71]|[Zv.Dir.APITemplatesVS71]\"\n"
    "Param=\"WIZARD_UI = FALSE\"";

class WizardFile : public ::testing::Test {
protected:
    // The wizard file after the action ran with the data.
    std::string Update(const std::u16string& data, const std::string& bytes = kWizard)
    {
        machine->PutFileBytes(wizard, bytes);
        machine->SetProperty(u"CustomActionData", data);
        EXPECT_EQ(machine->RunAction("UpdateVS71VszFile"), kErrorSuccess);
        return machine->FileBytes(wizard).value_or("<missing>");
    }

    std::unique_ptr<Machine> machine = MakeMachine();
    const std::u16string folder = machine->FileFolder();
    const std::u16string wizard = folder + u"ZarvoCSharpPlugin.vsz";
};

TEST_F(WizardFile, ReplacesThePlaceholderOnceALine)
{
    EXPECT_EQ(Update(folder + u"|C:\\Templates\\a|b"),
              "VSWIZARD 7.0\r\n"
              "Param=\"ABSOLUTE_PATH = C:\\Templates\\a|b\"\r\n"
              "Param=\"FALLBACK = C:\\Templates\\a|b|[Zv.Dir.APITemplatesVS71]\"\r\n"
              "Param=\"WIZARD_UI = FALSE\"");
    EXPECT_EQ(Update(folder + u"|"),
              "VSWIZARD 7.0\r\n"
              "Param=\"ABSOLUTE_PATH = \"\r\n"
              "Param=\"FALLBACK = |[Zv.Dir.APITemplatesVS71]\"\r\n"
              "Param=\"WIZARD_UI = FALSE\"");
    EXPECT_EQ(machine->FileBytes(folder + u"ZarvoCSharpPlugin.tmp.vsz"), std::nullopt);
}

// The log names the wizard file and counts the placeholders replaced; the text put in is the
// package's value and never appears.
// A large wizard file with one placeholder at its end, and none.
TEST_F(WizardFile, RewritesALargeFileWithOnePlaceholderOrNoneWhole)
{
    const std::string lines = KeyValueLines(150000, "\n");
    const std::string expected = KeyValueLines(150000, "\r\n");
    const std::u16string data = folder + u"|C:\\Templates";
    EXPECT_TRUE(SameBytes(Update(data, lines + "P=[Zv.Dir.APITemplatesVS71]"), expected + "P=C:\\Templates"));
    EXPECT_TRUE(SameBytes(Update(data, lines), expected));
}

TEST_F(WizardFile, SaysInTheLogHowManyPlaceholdersItReplaced)
{
    Update(folder + u"|C:\\Secret-Templates");
    const std::vector<std::u16string> lines = machine->LogLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(Narrow(lines[0]), Narrow(u"UpdateVS71VszFile: wizard file \"" + wizard + u"\""));
    EXPECT_EQ(Narrow(lines[1]), "UpdateVS71VszFile: placeholders replaced: 2");
    EXPECT_EQ(Narrow(lines[2]), "UpdateVS71VszFile: file replaced");
}

TEST_F(WizardFile, LeavesLinesThatWouldNotFitOrCouldNotBeWritten)
{
    const std::string longLine = std::string(490, 'x') + "[Zv.Dir.APITemplatesVS71]\n";
    EXPECT_EQ(Update(folder + u"|" + std::u16string(40, u'y'), longLine),
              std::string(490, 'x') + "[Zv.Dir.APITemplatesVS71]\r\n");
    // Read in pieces of 519 characters, a placeholder across two of them is not found.
    const std::string straddling = std::string(510, 'x') + "[Zv.Dir.APITemplatesVS71]\n";
    EXPECT_EQ(Update(folder + u"|y", straddling), std::string(510, 'x') + "[Zv.Dir.APITemplatesVS71]\r\n");
    // Single-byte text cannot hold the replacement: every line stays whole.
    EXPECT_EQ(Update(folder + u"|C:\\\u4E2D", "a [Zv.Dir.APITemplatesVS71] b\n"),
              "a [Zv.Dir.APITemplatesVS71] b\r\n");
}

TEST_F(WizardFile, ChangesNothingWithoutAUsableFolderAndBarAndSaysWhy)
{
    const struct {
        std::u16string data;
        std::u16string line;  // the last one the action wrote
    } unusable[] = {
        {u"", u"CustomActionData holds no \"|\" after the wizard file's folder: nothing done"},
        {folder, u"CustomActionData holds no \"|\" after the wizard file's folder: nothing done"},
        {folder.substr(0, folder.size() - 1) + u"|x",
         u"file not replaced: it could not be opened (missing, or held by another program)"},
        // Too long for the file's name, and too long for the data.
        {std::u16string(300, u'f') + u"|x",
         u"folder \"" + std::u16string(300, u'f') + u"\" is too long for the wizard file's names: nothing done"},
        {folder + u"|" + std::u16string(519 - folder.size(), u'x'),
         u"CustomActionData is longer than 519 characters: nothing done"},
    };
    for (const auto& u : unusable) {
        EXPECT_EQ(Update(u.data), kWizard);
        EXPECT_EQ(Narrow(machine->LogLines().back()), Narrow(u"UpdateVS71VszFile: " + u.line));
    }
}

TEST_F(WizardFile, NeverWritesThroughALinkPlantedAtItsTemporaryFile)
{
    const std::u16string victim = folder + u"victim.dll";
    machine->PutFileBytes(victim, "precious");
    machine->PutFileBytes(wizard, "placeholder");
    machine->PutHardLink(folder + u"ZarvoCSharpPlugin.tmp.vsz", victim);
    EXPECT_EQ(Update(folder + u"|D:\\T", "[Zv.Dir.APITemplatesVS71]\n"), "D:\\T\r\n");
    EXPECT_EQ(machine->FileBytes(victim), "precious");
}

}  // namespace
}  // namespace zarvo::test
