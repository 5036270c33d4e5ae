// SetupSubstXmlFiles on real registries and files: element contents replaced, the output's
// encoding and attributes, and the registry view each substitution action reads.
#include <gtest/gtest.h>

#include <algorithm>

#include "frame/result_codes.h"
#include "scenario/large_files.h"
#include "scenario/machine.h"
#include "scenario/utf16_files.h"

namespace zarvo::test {
namespace {

const std::u16string kCommandKey = std::u16string(kTestKeyRoot) + u"\\Commands";

class XmlSubstitution : public ::testing::Test {
protected:
    std::u16string File(const std::u16string& name) { return machine->FileFolder() + name; }
    std::string Rewrite(const std::string& bytes, const std::vector<std::u16string>& pairs)
    {
        const std::u16string file = File(u"settings.xml");
        machine->PutFileBytes(file, bytes);
        std::vector<std::u16string> strings{file};
        strings.insert(strings.end(), pairs.begin(), pairs.end());
        // The XML commands are read in the 64-bit view under WOW64.
        machine->WriteRegistryMultiString(kCommandKey, u"SetupSubstXmlCmd_0", strings, kKeyWow64_64Key);
        machine->SetProperty(u"CustomActionData", kCommandKey);
        EXPECT_EQ(machine->RunAction("SetupSubstXmlFiles"), kErrorSuccess);
        EXPECT_FALSE(machine->HasRegistryValue(kCommandKey, u"SetupSubstXmlCmd_0", kKeyWow64_64Key));
        return machine->FileBytes(file).value_or("<missing>");
    }

    // Whether the actions wrote exactly this line into the log.
    bool Logged(const std::u16string& line)
    {
        return std::ranges::count(machine->LogLines(), line) == 1;
    }
    // The view the XML commands are read in.
    std::u16string XmlView() { return machine->IsWindows64() ? u"64-bit" : u"32-bit"; }

    std::unique_ptr<Machine> machine = MakeMachine();
};

TEST_F(XmlSubstitution, ReplacesTheFirstElementOfANameOnEachLine)
{
    EXPECT_EQ(Rewrite("<a><Port>80</Port><Port>81</Port></a>\n"
                      "<Port>\n82</Port>\n"
                      "<Port id=\"1\">83</Port>\n"
                      "</Port><Port>84</Port>\n"
                      "<Host>old</Host><Empty>x</Empty>\n",
                      {u"Port=8080", u"Host=a<b&c", u"Empty="}),
              Utf16File(u"<a><Port>8080</Port><Port>81</Port></a>\r\n"
                        u"<Port>\r\n82</Port>\r\n"
                        u"<Port id=\"1\">83</Port>\r\n"
                        u"</Port><Port>8080</Port>\r\n"
                        u"<Host>a<b&c</Host><Empty></Empty>\r\n"));
}

// Each pair works on the line as the pairs before it left it: an element that a value put in is
// replaced in its turn.
TEST_F(XmlSubstitution, ReplacesAnElementThatAnEarlierValuePutIn)
{
    EXPECT_EQ(Rewrite("<N>x</N>ab</M>\n", {u"N=<M>", u"M=m"}), Utf16File(u"<N><M>m</M>\r\n"));
}

// The log names the key and its view, the file's encodings and each element's count by its
// tag; the values, which may be secrets, never appear.
TEST_F(XmlSubstitution, SaysInTheLogWhatItReadAndReplacedButNeverAValue)
{
    Rewrite("\xEF\xBB\xBF<Port>80</Port>\n<Port>81</Port><Key>k</Key>\n",
            {u"Port=Secret-1", u"Key=Secret-2", u"Host=Secret-3"});
    const std::u16string file = File(u"settings.xml");
    const std::vector<std::u16string> expected = {
        u"SetupSubstXmlFiles: key " + kCommandKey + u" opened in the " + XmlView() + u" view",
        u"SetupSubstXmlFiles: SetupSubstXmlCmd_0: target \"" + file + u"\"",
        u"SetupSubstXmlFiles: SetupSubstXmlCmd_0: read as UTF-8 with a byte-order mark, written as UTF-16LE with a "
        u"byte-order mark",
        u"SetupSubstXmlFiles: SetupSubstXmlCmd_0: replacements: <Port> 2, <Key> 1, <Host> 0",
        u"SetupSubstXmlFiles: SetupSubstXmlCmd_0: file replaced",
        u"SetupSubstXmlFiles: SetupSubstXmlCmd_0 deleted",
        u"SetupSubstXmlFiles: commands taken up: 1",
    };
    // Exactly these lines: none holds a value.
    EXPECT_EQ(machine->LogLines(), expected);

    Rewrite("caf\xC3\xA9\n", {});
    EXPECT_TRUE(Logged(u"SetupSubstXmlFiles: SetupSubstXmlCmd_0: read as UTF-8 without a byte-order mark, written as "
                       u"UTF-16LE with a byte-order mark"));
    EXPECT_TRUE(Logged(u"SetupSubstXmlFiles: SetupSubstXmlCmd_0: nothing to replace"));
}

TEST_F(XmlSubstitution, ReadsTheFileByItsMarkAndWritesUtf16WithAMark)
{
    EXPECT_EQ(Rewrite("\xEF\xBB\xBF<N>caf\xC3\xA9</N>\n", {u"N=\u00FCber"}), Utf16File(u"<N>\u00FCber</N>\r\n"));
    EXPECT_EQ(Rewrite(Utf16File(u"<N>\u4E2D</N>\r\n"), {u"N=\u6587"}), Utf16File(u"<N>\u6587</N>\r\n"));
    EXPECT_EQ(Rewrite("plain \xE9\r\n", {}), Utf16File(u"plain \u00E9\r\n"));
    // Without a mark, valid UTF-8 beyond ASCII is read as UTF-8, so that its text survives.
    EXPECT_EQ(Rewrite("caf\xC3\xA9\n", {}), Utf16File(u"caf\u00E9\r\n"));
    // Big-endian UTF-16 is not read: the file stays as it was.
    const std::string bigEndian("\xFE\xFF\0<\0N\0>", 8);
    EXPECT_EQ(Rewrite(bigEndian, {u"N=1"}), bigEndian);
    EXPECT_TRUE(Logged(u"SetupSubstXmlFiles: SetupSubstXmlCmd_0: read as UTF-16LE with a byte-order mark, written as "
                       u"UTF-16LE with a byte-order mark"));
    EXPECT_TRUE(Logged(u"SetupSubstXmlFiles: SetupSubstXmlCmd_0: file not replaced: it starts with the big-endian "
                       u"UTF-16 byte-order mark, which is not read"));
}

// Lines that need no decoding are edited as their bytes, many at a time, the others decoded:
// the rewrite and its counts are the same either way, across the reader's blocks, at the line
// capacity and at the capacity a value must fit, for a line longer than a block; for lines
// ending in LF or CR LF, of two elements, of one element twice, of a closing tag before the
// opening one, of an opening tag alone, of many tags, of none for more than is gathered before
// a write, of none at all, of an element whose content holds tags; with a value beyond ASCII,
// with an empty one (which joins the text around it), and when a value above 255 has every
// line decoded.
TEST_F(XmlSubstitution, EditsLinesAlikeWhetherTheyNeedDecodingOrNot)
{
    for (const std::u16string n : {u"\u00FCber", u"\u4E2D", u""}) {
        // A machine of its own, whose log holds this rewrite's counts alone.
        machine = MakeMachine();
        const std::u16string m = u"m";
        std::string file = "\xEF\xBB\xBF";
        std::u16string expected;
        int replacedN = 0, replacedM = 0;
        // A line, what it becomes, and how many N and M elements that replaces.
        const auto add = [&](const std::string& line, const std::u16string& rewritten, int ns, int ms) {
            file += line;
            expected += rewritten;
            replacedN += ns;
            replacedM += ms;
        };
        std::string manyTags;
        for (int tag = 0; tag < 20; ++tag) manyTags += "<b>";
        for (int i = 0; i < 3000; ++i) {
            const std::string number = std::to_string(i);
            switch (i % 10) {
            case 1: add("<N>caf\xC3\xA9</N>\r\n", u"<N>" + n + u"</N>\r\n", 1, 0); break;
            case 2: add("x\r<N>" + number + "</N>\n", u"x\r<N>" + n + u"</N>\r\n", 1, 0); break;
            case 3: add("<N>a</N><M>b</M>\n", u"<N>" + n + u"</N><M>" + m + u"</M>\r\n", 1, 1); break;
            case 4:
                add("<M>a</M><N>b</N><N>c</N>\n", u"<M>" + m + u"</M><N>" + n + u"</N><N>c</N>\r\n", 1, 1);
                break;
            case 5: add("</N><N>" + number + "</N>\n", u"</N><N>" + n + u"</N>\r\n", 1, 0); break;
            case 6: add("<N>open " + number + "\n", Widened("<N>open " + number) + u"\r\n", 0, 0); break;
            case 7:
                add(manyTags + "<M>" + number + "</M>\n", Widened(manyTags) + u"<M>" + m + u"</M>\r\n", 0, 1);
                break;
            case 8: add("no tags " + number + "\r\n", Widened("no tags " + number) + u"\r\n", 0, 0); break;
            case 9: add("  <N>value " + number + "</N>\r\n", u"  <N>" + n + u"</N>\r\n", 1, 0); break;
            default: add("  <N>value " + number + "</N>\n", u"  <N>" + n + u"</N>\r\n", 1, 0);
            }
        }
        // Empty lines, and an element whose content holds tags.
        file += "\n\r\n<N>a<b>c</b></N>\n";
        expected += u"\r\n\r\n<N>" + n + u"</N>\r\n";
        ++replacedN;
        // Lines without a tag, more than are gathered before a write, and a line longer than the
        // reader's block.
        for (int i = 0; i < 2000; ++i) {
            file += "plain line " + std::to_string(i) + "\n";
            expected += Widened("plain line " + std::to_string(i)) + u"\r\n";
        }
        file += std::string(70000, 'x') + "\n";
        expected += std::u16string(70000, u'x') + u"\r\n";
        // Its first 4,999 characters are a line of their own, which holds no closing tag.
        file += "<N>" + std::string(5000, 'a') + "</N>\n";
        expected += u"<N>" + std::u16string(5000, u'a') + u"</N>\r\n";
        // 4,999 characters before a CR LF: they fill a line, and the LF reads as the next.
        file += "<N>" + std::string(4996, 'a') + "\r\n";
        expected += u"<N>" + std::u16string(4996, u'a') + u"\r\n";
        // A line of 4,997 characters with its LF: a value of up to 3 characters in place of "b"
        // still fits a line, a longer one does not.
        const std::string filled = "<N>b</N>" + std::string(4988, 'p');
        file += filled + "\n";
        if (n.size() <= 3) {
            expected += u"<N>" + n + u"</N>" + std::u16string(4988, u'p') + u"\r\n";
            ++replacedN;
        } else {
            expected += Widened(filled) + u"\r\n";
        }
        // 4,998 before a CR LF, read as one line that the value fits.
        file += "<N>" + std::string(4991, 'b') + "</N>\r\n";
        expected += u"<N>" + n + u"</N>\r\n";
        ++replacedN;
        EXPECT_EQ(Rewrite(file, {u"N=" + n, u"M=" + m}), Utf16File(expected));
        EXPECT_TRUE(Logged(u"SetupSubstXmlFiles: SetupSubstXmlCmd_0: replacements: <N> " +
                           Widened(std::to_string(replacedN)) + u", <M> " + Widened(std::to_string(replacedM))));
    }
}

// Few elements in a large file, and none: lines that need no decoding go out as long stretches,
// and so do lines that do, of UTF-8 with a mark.
TEST_F(XmlSubstitution, RewritesALargeFileWithFewElementsOrNoneWhole)
{
    const std::string lines = KeyValueLines(150000, "\n");
    const std::string expected = Utf16File(Widened(KeyValueLines(150000, "\r\n")));
    for (const std::string mark : {"", "\xEF\xBB\xBF"}) {
        EXPECT_TRUE(SameBytes(Rewrite(mark + lines + "<Port>1</Port>\n", {u"Port=8080"}),
                              expected + Utf16File(u"<Port>8080</Port>\r\n").substr(2)));
        EXPECT_TRUE(SameBytes(Rewrite(mark + lines, {u"Port=8080"}), expected));
    }
}

// A disk that fills up while the file is rewritten, as for plain text: the file stays as it was
// and nothing of the rewrite is left.
TEST_F(XmlSubstitution, LeavesNothingBehindWhenTheDiskFillsUp)
{
    const std::u16string file = machine->SmallDiskFolder() + u"settings.xml";
    const std::string bytes = KeyValueLines(150000, "\n") + "<Port>1</Port>\n";
    machine->PutFileBytes(file, bytes);
    machine->FillSmallDisk(1 << 20);
    machine->WriteRegistryMultiString(kCommandKey, u"SetupSubstXmlCmd_0", {file, u"Port=8080"}, kKeyWow64_64Key);
    machine->SetProperty(u"CustomActionData", kCommandKey);
    EXPECT_EQ(machine->RunAction("SetupSubstXmlFiles"), kErrorSuccess);
    EXPECT_TRUE(SameBytes(machine->FileBytes(file).value_or(""), bytes));
    EXPECT_EQ(machine->FileBytes(file + u".tmp"), std::nullopt);
    EXPECT_TRUE(Logged(u"SetupSubstXmlFiles: SetupSubstXmlCmd_0: file not replaced: writing its temporary file "
                       u"failed with Windows error 112; the unfinished rewrite was deleted"));
}

TEST_F(XmlSubstitution, RewritesAReadOnlyTargetAndLeavesItReadOnly)
{
    const std::u16string file = File(u"settings.xml");
    machine->PutFileBytes(file, "<N>1</N>");
    machine->SetAttributesOf(file, kFileAttributeReadOnly);
    machine->WriteRegistryMultiString(kCommandKey, u"SetupSubstXmlCmd_0", {file, u"N=2"}, kKeyWow64_64Key);
    machine->SetProperty(u"CustomActionData", kCommandKey);
    EXPECT_EQ(machine->RunAction("SetupSubstXmlFiles"), kErrorSuccess);
    EXPECT_EQ(machine->FileBytes(file), Utf16File(u"<N>2</N>"));
    EXPECT_EQ(machine->AttributesOf(file) & kFileAttributeReadOnly, kFileAttributeReadOnly);
}

// Under WOW64 the plain-text commands are read in the 32-bit view and the XML commands in
// the 64-bit view; on 32-bit Windows both views are one key.
TEST_F(XmlSubstitution, EachSubstitutionActionReadsItsOwnRegistryView)
{
    const std::u16string text64 = File(u"in64.cfg"), text32 = File(u"in32.cfg");
    const std::u16string xml64 = File(u"in64.xml"), xml32 = File(u"in32.xml");
    for (const std::u16string& file : {text64, text32}) machine->PutFileBytes(file, "[<T>]");
    for (const std::u16string& file : {xml64, xml32}) machine->PutFileBytes(file, "<N>0</N>");
    machine->WriteRegistryMultiString(kCommandKey, u"SetupSubstFileCmd_0", {text32, u"T=32"}, kKeyWow64_32Key);
    machine->WriteRegistryMultiString(kCommandKey, u"SetupSubstFileCmd_1", {text64, u"T=64"}, kKeyWow64_64Key);
    machine->WriteRegistryMultiString(kCommandKey, u"SetupSubstXmlCmd_0", {xml32, u"N=32"}, kKeyWow64_32Key);
    machine->WriteRegistryMultiString(kCommandKey, u"SetupSubstXmlCmd_1", {xml64, u"N=64"}, kKeyWow64_64Key);
    machine->SetProperty(u"CustomActionData", kCommandKey);
    EXPECT_EQ(machine->RunAction("SetupSubstFiles"), kErrorSuccess);
    EXPECT_EQ(machine->RunAction("SetupSubstXmlFiles"), kErrorSuccess);
    const bool windows64 = machine->IsWindows64();
    EXPECT_EQ(machine->FileBytes(text32), "[32]");
    EXPECT_EQ(machine->FileBytes(text64), windows64 ? "[<T>]" : "[64]");
    EXPECT_EQ(machine->FileBytes(xml64), Utf16File(u"<N>64</N>"));
    EXPECT_EQ(machine->FileBytes(xml32), windows64 ? "<N>0</N>" : Utf16File(u"<N>32</N>"));
    EXPECT_TRUE(Logged(u"SetupSubstFiles: key " + kCommandKey + u" opened in the 32-bit view"));
    EXPECT_TRUE(Logged(u"SetupSubstXmlFiles: key " + kCommandKey + u" opened in the " + XmlView() + u" view"));
}

TEST_F(XmlSubstitution, NeverWritesThroughALinkPlantedAtItsTemporaryFile)
{
    const std::u16string victim = File(u"victim.dll");
    machine->PutFileBytes(victim, "precious");
    machine->PutFileBytes(File(u"settings.xml"), "placeholder");
    machine->PutHardLink(File(u"settings.xml.tmp"), victim);
    EXPECT_EQ(Rewrite("<a>b</a>\n", {u"a=c"}), Utf16File(u"<a>c</a>\r\n"));
    EXPECT_EQ(machine->FileBytes(victim), "precious");
}

}  // namespace
}  // namespace zarvo::test
