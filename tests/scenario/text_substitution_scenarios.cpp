// SetupSubstFiles on real registries and files: which commands run and are deleted, and the
// rewritten text files compared byte for byte.
#include <gtest/gtest.h>

#include <algorithm>

#include "frame/result_codes.h"
#include "scenario/large_files.h"
#include "scenario/machine.h"

namespace zarvo::test {
namespace {

const std::u16string kCommandKey = std::u16string(kTestKeyRoot) + u"\\Commands";

class TextSubstitution : public ::testing::Test {
protected:
    std::u16string File(const std::u16string& name) { return machine->FileFolder() + name; }
    // A command in the view SetupSubstFiles reads: the process's own.
    void Command(int number, const std::vector<std::u16string>& strings)
    {
        machine->WriteRegistryMultiString(kCommandKey, Name(number), strings);
    }
    std::u16string Name(int number)
    {
        const std::string digits = std::to_string(number);
        return u"SetupSubstFileCmd_" + std::u16string(digits.begin(), digits.end());
    }
    WinResult Run()
    {
        machine->SetProperty(u"CustomActionData", kCommandKey);
        return machine->RunAction("SetupSubstFiles");
    }
    // The file rewritten by one command with these pairs.
    std::string Rewrite(const std::string& bytes, const std::vector<std::u16string>& pairs)
    {
        const std::u16string file = File(u"app.cfg");
        machine->PutFileBytes(file, bytes);
        std::vector<std::u16string> strings{file};
        strings.insert(strings.end(), pairs.begin(), pairs.end());
        Command(0, strings);
        EXPECT_EQ(Run(), kErrorSuccess);
        return machine->FileBytes(file).value_or("<missing>");
    }

    // Whether the actions wrote exactly this line into the log.
    bool Logged(const std::u16string& line)
    {
        return std::ranges::count(machine->LogLines(), line) == 1;
    }

    std::unique_ptr<Machine> machine = MakeMachine();
};

TEST_F(TextSubstitution, RunsTheNumberedCommandsInOrderAndDeletesWhatItTookUp)
{
    const std::u16string file = File(u"app.cfg");
    machine->PutFileBytes(file, "A\n");
    Command(5, {file, u"B=C"});
    Command(0, {file, u"A=B"});
    Command(20, {file, u"C=D"});
    Command(3, {File(u"missing.cfg"), u"A=B"});
    machine->WriteRegistryValue(kCommandKey, Name(7), kRegMultiSz, {}, 0);
    EXPECT_EQ(Run(), kErrorSuccess);
    EXPECT_EQ(machine->FileBytes(file), "C\r\n");
    for (int taken : {0, 3, 5}) EXPECT_FALSE(machine->HasRegistryValue(kCommandKey, Name(taken), 0));
    // Beyond 19, and empty, values are never taken up.
    EXPECT_TRUE(machine->HasRegistryValue(kCommandKey, Name(20), 0));
    EXPECT_TRUE(machine->HasRegistryValue(kCommandKey, Name(7), 0));
    EXPECT_EQ(machine->FileBytes(File(u"missing.cfg")), std::nullopt);
    EXPECT_EQ(machine->FileBytes(File(u"missing.cfg.tmp")), std::nullopt);
}

// The log names the key, each command and its file, and counts each token by its name; the
// values, which may be secrets, never appear.
TEST_F(TextSubstitution, SaysInTheLogWhatEachCommandDidButNeverAValue)
{
    const std::u16string file = File(u"app.cfg");
    machine->PutFileBytes(file, "path=<Dir>\r\nraw=Dir <Dir>\r\n");
    Command(0, {file, u"Dir=Secret-Value-7", u"Key=Secret-Value-8"});
    Command(4, {File(u"missing.cfg"), u"Dir=Secret-Value-9"});
    EXPECT_EQ(Run(), kErrorSuccess);
    const std::vector<std::u16string> expected = {
        u"SetupSubstFiles: key " + kCommandKey + u" opened in the 32-bit view",
        u"SetupSubstFiles: SetupSubstFileCmd_0: target \"" + file + u"\"",
        u"SetupSubstFiles: SetupSubstFileCmd_0: read as single-byte text, written as single-byte text",
        u"SetupSubstFiles: SetupSubstFileCmd_0: replacements: <Dir> 2, Dir 1, <Key> 0, Key 0",
        u"SetupSubstFiles: SetupSubstFileCmd_0: file replaced",
        u"SetupSubstFiles: SetupSubstFileCmd_0 deleted",
        u"SetupSubstFiles: SetupSubstFileCmd_4: target \"" + File(u"missing.cfg") + u"\"",
        u"SetupSubstFiles: SetupSubstFileCmd_4: file not replaced: it could not be opened (missing, or held by "
        u"another program)",
        u"SetupSubstFiles: SetupSubstFileCmd_4 deleted",
        u"SetupSubstFiles: commands taken up: 2",
    };
    // Exactly these lines: none holds a value.
    EXPECT_EQ(machine->LogLines(), expected);
}

TEST_F(TextSubstitution, ReplacesBracketedNamesWithDoubledBackslashesAndBareNamesAsTheyAre)
{
    EXPECT_EQ(Rewrite("path=<Dir>\r\nraw=Dir\r\n", {u"Dir=C:\\App\\"}),
              "path=C:\\\\App\\\\\r\nraw=C:\\App\\\r\n");
    // The second pair matches what the first put in.
    EXPECT_EQ(Rewrite("X and X\n", {u"X=Y", u"Y=Z"}), "Z and Z\r\n");
}

TEST_F(TextSubstitution, SplitsPairsAtTheirFirstEqualsSignAndStopsAtAStringWithout)
{
    EXPECT_EQ(Rewrite("<a> <> x y\n", {u"a=b=c", u"=empty", u"x=1", u"no pair", u"y=2"}),
              "b=c empty 1 y\r\n");
}

TEST_F(TextSubstitution, WritesCrLfLineEndsAndKeepsAMissingLastLineEnd)
{
    EXPECT_EQ(Rewrite("one\ntwo\r\nthree", {}), "one\r\ntwo\r\nthree");
    // Bytes above 127, a lone CR, a NUL and a Ctrl-Z go through as they are.
    EXPECT_EQ(Rewrite(std::string("\xE9t\xE9\r\x1A\0tail\n", 11), {u"t\u00E9=\u00FC"}),
              std::string("\xE9\xFC\r\x1A\0tail\r\n", 11));
}

TEST_F(TextSubstitution, KeepsLongLinesWholeAndTheirTokensWhereTheyCannotGrow)
{
    const std::string longLine = std::string(4997, 'a') + "<N>" + std::string(10, 'b') + "\n";
    // The line is read in pieces of 4,999 characters: the bracketed token straddles two of
    // them and only the bare name is found.
    EXPECT_EQ(Rewrite(longLine, {u"N=v"}), std::string(4997, 'a') + "<v>" + std::string(10, 'b') + "\r\n");
    const std::string nearlyFull = std::string(4990, 'a') + "<N>\n";
    EXPECT_EQ(Rewrite(nearlyFull, {u"N=0123456789"}), std::string(4990, 'a') + "<N>\r\n");
}

// More than the megabyte written at a time, so that the rewrite goes out in several pieces
// while the lines after them are rewritten; and more than the 4 MB after which what is written
// is put on the disk while the writes go on.
TEST_F(TextSubstitution, RewritesAFileOfSeveralMegabytesWhole)
{
    std::string lines, expected;
    for (int k = 0; lines.size() < (5 << 20); ++k) {
        const std::string number = std::to_string(k);
        lines += "v" + number + "=<Dir>;Dir;KaKbKa\n";
        expected += "v" + number + "=C:\\\\App;C:\\App;KcKcKc\r\n";
    }
    const std::string rewritten = Rewrite(lines, {u"Dir=C:\\App", u"Ka=Kb", u"Kb=Kc"});
    EXPECT_EQ(rewritten.size(), expected.size());
    const auto differs = std::ranges::mismatch(rewritten, expected).in1;
    EXPECT_TRUE(differs == rewritten.end()) << "first difference at byte " << (differs - rewritten.begin());
}

// Few tokens in a large file: more than the first megabyte holds none, and the lines before the
// one token go out as one long stretch of bytes. Tokens that start with few characters and with
// many, and a file without any.
TEST_F(TextSubstitution, RewritesALargeFileWithFewTokensOrNoneWhole)
{
    const std::string lines = KeyValueLines(150000, "\n");
    const std::string expected = KeyValueLines(150000, "\r\n");
    const std::vector<std::u16string> few{u"INSTALLDIR=C:\\App", u"IDX=1"};
    const std::vector<std::u16string> many{u"INSTALLDIR=C:\\App", u"SERVERNAME=host", u"PORTNUMBER=80"};
    for (const auto& pairs : {few, many}) {
        EXPECT_TRUE(SameBytes(Rewrite(lines + "Path=<INSTALLDIR>\n", pairs), expected + "Path=C:\\\\App\r\n"));
        EXPECT_TRUE(SameBytes(Rewrite(lines + "Path=none", pairs), expected + "Path=none"));
    }
}

// A disk that fills up while the file is rewritten: the file stays as it was, and the unfinished
// rewrite goes rather than keep the disk full for the rest of the installation.
TEST_F(TextSubstitution, LeavesNothingBehindWhenTheDiskFillsUp)
{
    const std::u16string file = machine->SmallDiskFolder() + u"app.cfg";
    const std::string bytes = KeyValueLines(150000, "\n") + "Path=<INSTALLDIR>\n";
    machine->PutFileBytes(file, bytes);
    machine->FillSmallDisk(1 << 20);
    Command(0, {file, u"INSTALLDIR=C:\\App"});
    EXPECT_EQ(Run(), kErrorSuccess);
    EXPECT_TRUE(SameBytes(machine->FileBytes(file).value_or(""), bytes));
    EXPECT_EQ(machine->FileBytes(file + u".tmp"), std::nullopt);
    EXPECT_TRUE(Logged(u"SetupSubstFiles: SetupSubstFileCmd_0: file not replaced: writing its temporary file failed "
                       u"with Windows error 112; the unfinished rewrite was deleted"));
}

// Where the tokens start with at most three characters, lines are edited many at a time where
// they stand; with more, one by one. Either way the same file comes out.
TEST_F(TextSubstitution, EditsLinesAlikeManyAtATimeOrOneByOne)
{
    std::string file, expected;
    const auto add = [&](const std::string& line, const std::string& rewritten) {
        file += line;
        expected += rewritten;
    };
    add("Path=<N> ; N here\n", "Path=C:\\\\v ; C:\\v here\r\n");
    add("Path=<N> ; N here\r\n", "Path=C:\\\\v ; C:\\v here\r\n");
    add("\n\r\n", "\r\n\r\n");
    // A CR stays where it does not pair with the LF after it.
    add("N\r\r\n", "C:\\v\r\r\n");
    add("x\rN\n", "x\rC:\\v\r\n");
    // An earlier row takes the name from a later one; a value's LF is written as CR LF.
    add("Nq N L;L\n", "mm C:\\v a\r\nb;a\r\nb\r\n");
    // More places to look at than a line is looked at for at once.
    std::string values;
    for (int i = 0; i < 20; ++i) values += "C:\\v";
    add(std::string(20, 'N') + "<N>\n", values + "C:\\\\v\r\n");
    // A line of exactly its capacity is read as a piece of it and its LF: a value as long as
    // its name fits the piece.
    add(std::string(4997, 'x') + "Nq\n", std::string(4997, 'x') + "mm\r\n");
    // A name cut by the end of a piece stays.
    add(std::string(4998, 'x') + "Nq\r\n", std::string(4998, 'x') + "Nq\r\n");
    // A line longer than a block read at once.
    add(std::string((1 << 20) + 100, 'x') + "<N>\n", std::string((1 << 20) + 100, 'x') + "C:\\\\v\r\n");
    add("Path=<N>\n", "Path=C:\\\\v\r\n");
    // The last line has no line end.
    add("N", "C:\\v");
    const std::vector<std::u16string> pairs{u"Nq=mm", u"N=C:\\v", u"L=a\nb"};
    EXPECT_EQ(Rewrite(file, pairs), expected);
    EXPECT_TRUE(Logged(u"SetupSubstFiles: SetupSubstFileCmd_0: replacements: <Nq> 0, Nq 2, <N> 5, N 26, <L> 0, L 2"));
    // Names no line holds, whose first characters make more than three.
    std::vector<std::u16string> more = pairs;
    more.insert(more.end(), {u"A1=a", u"B1=b", u"D1=d"});
    EXPECT_EQ(Rewrite(file, more), expected);
}

TEST_F(TextSubstitution, NeitherLoopsNorRunsAwayOnAValueHoldingItsOwnName)
{
    // The bare name is found again in what the bracketed one put in, once.
    EXPECT_EQ(Rewrite("Dir and <Dir>\n", {u"Dir=C:\\Dir"}), "C:\\Dir and C:\\\\C:\\Dir\r\n");
    EXPECT_EQ(Rewrite("same\n", {u"same=same"}), "same\r\n");
    EXPECT_EQ(Rewrite("abc\n", {u"=x"}), "abc\r\n");
    // A value that single-byte text cannot hold leaves its token in place, the line whole.
    EXPECT_EQ(Rewrite("a <N> b\n", {u"N=\u4E2D"}), "a <N> b\r\n");
}

TEST_F(TextSubstitution, LeavesATargetThatCannotBeReplacedWithTheRewriteBesideIt)
{
    const std::u16string file = File(u"app.cfg");
    machine->PutFileBytes(file, "<N>\n");
    machine->SetAttributesOf(file, kFileAttributeReadOnly);
    machine->HoldFile(file);
    Command(0, {file, u"N=1"});
    EXPECT_EQ(Run(), kErrorSuccess);
    EXPECT_EQ(machine->FileBytes(file), "<N>\n");
    EXPECT_EQ(machine->FileBytes(file + u".tmp"), "1\r\n");
    EXPECT_FALSE(machine->HasRegistryValue(kCommandKey, Name(0), 0));
    EXPECT_TRUE(Logged(u"SetupSubstFiles: SetupSubstFileCmd_0: file not replaced: the rewrite could not be moved "
                       u"over it and stays in its temporary file"));
}

TEST_F(TextSubstitution, AnswersZeroWhenItsKeyIsMissing)
{
    machine->SetProperty(u"CustomActionData", kCommandKey + u"\\Missing");
    EXPECT_EQ(machine->RunAction("SetupSubstFiles"), kErrorSuccess);
    EXPECT_TRUE(Logged(u"SetupSubstFiles: key " + kCommandKey + u"\\Missing could not be opened in the 32-bit view: "
                       u"no command run"));
}

// A user who may write in the target's folder links the temporary file's name to a file of
// the machine's: the action removes the link and writes only into a file it made itself.
TEST_F(TextSubstitution, NeverWritesThroughALinkPlantedAtItsTemporaryFile)
{
    const std::u16string victim = File(u"victim.dll");
    machine->PutFileBytes(victim, "precious");
    machine->PutFileBytes(File(u"app.cfg"), "placeholder");
    machine->PutHardLink(File(u"app.cfg.tmp"), victim);
    EXPECT_EQ(Rewrite("Name\n", {u"Name=Value"}), "Value\r\n");
    EXPECT_EQ(machine->FileBytes(victim), "precious");
    EXPECT_EQ(machine->FileBytes(File(u"app.cfg.tmp")), std::nullopt);
}

// Read byte by byte, UTF-16 text would be broken at every line end: it is left alone.
TEST_F(TextSubstitution, LeavesAUtf16FileAsItIs)
{
    const std::string little("\xFF\xFEN\0a\0m\0e\0\n\0", 12);
    EXPECT_EQ(Rewrite(little, {u"Name=Value"}), little);
    const std::string big("\xFE\xFF\0N\0\n", 6);
    EXPECT_EQ(Rewrite(big, {u"N=V"}), big);
    EXPECT_FALSE(machine->HasRegistryValue(kCommandKey, Name(0), 0));
    EXPECT_TRUE(Logged(u"SetupSubstFiles: SetupSubstFileCmd_0: file not replaced: it starts with the UTF-16LE "
                       u"byte-order mark, which is not read as single-byte text"));
    EXPECT_TRUE(Logged(u"SetupSubstFiles: SetupSubstFileCmd_0: file not replaced: it starts with the big-endian "
                       u"UTF-16 byte-order mark, which is not read"));
}

// A path that climbs out of its folder, or names the file through the device namespace,
// is never opened, although Windows would reach the file by it.
TEST_F(TextSubstitution, OpensOnlyPlainAbsolutePaths)
{
    const std::u16string file = File(u"app.cfg");
    machine->PutFileBytes(file, "Name\n");
    for (const std::u16string& target : {machine->FileFolder() + u"sub\\..\\app.cfg",
                                         u"\\\\.\\" + file, u"\\\\?\\" + file}) {
        Command(0, {target, u"Name=Value"});
        EXPECT_EQ(Run(), kErrorSuccess);
        EXPECT_EQ(machine->FileBytes(file), "Name\n") << Narrow(target);
    }
    EXPECT_EQ(std::ranges::count(machine->LogLines(), u"SetupSubstFiles: SetupSubstFileCmd_0: file not replaced: "
                                                      u"not a plain absolute path, so never opened"),
              3);
}

}  // namespace
}  // namespace zarvo::test
