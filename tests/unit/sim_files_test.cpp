// The simulated file system refuses what Windows refuses, so that an action that would
// trip over sharing, read-only files or missing folders on a real machine trips here too.
#include <gtest/gtest.h>

#include "platform/sim/sim_files.h"

namespace zarvo::sim {
namespace {

constexpr const char16_t* kLog = u"C:\\Data\\Setup.log";
constexpr const char16_t* kTemp = u"C:\\Data\\Setup.tmp";

class SimFilesTest : public ::testing::Test {
protected:
    SimFilesTest() { files.PutFile(kLog, "old"); }

    FileHandle OpenForRead(const char16_t* path)
    {
        FileHandle file = 0;
        EXPECT_TRUE(files.OpenForRead(path, &file));
        return file;
    }

    FileHandle CreateNew(const char16_t* path)
    {
        FileHandle file = 0;
        EXPECT_TRUE(files.CreateNew(path, &file));
        return file;
    }

    bool CanOpenForRead(const char16_t* path)
    {
        FileHandle file = 0;
        return files.OpenForRead(path, &file) && files.Close(file);
    }

    bool CanCreateNew(const char16_t* path)
    {
        FileHandle file = 0;
        return files.CreateNew(path, &file) && files.Close(file);
    }

    std::string ReadAll(FileHandle file, std::uint32_t chunk)
    {
        std::string text;
        char buffer[16];
        std::uint32_t read = 0;
        while (files.Read(file, buffer, chunk, &read) && read != 0) text.append(buffer, read);
        return text;
    }

    SimLedger ledger;
    SimFiles files{ledger};
};

TEST_F(SimFilesTest, ReadersShareButAWriterShutsEveryoneElseOut)
{
    const FileHandle first = OpenForRead(kLog);
    EXPECT_TRUE(CanOpenForRead(kLog));
    EXPECT_FALSE(files.Delete(kLog));
    EXPECT_TRUE(files.Close(first));

    const FileHandle writer = CreateNew(kTemp);
    EXPECT_FALSE(CanOpenForRead(kTemp));
    EXPECT_FALSE(files.Delete(kTemp));
    EXPECT_TRUE(files.Close(writer));
    EXPECT_TRUE(CanOpenForRead(kTemp));
    EXPECT_EQ(ledger.OpenCount(), 0u);
}

TEST_F(SimFilesTest, AnotherProcessHoldingTheFileRefusesAsItsOwnHandlesWould)
{
    files.HoldElsewhere(kLog, SimFiles::Hold::Reading);
    EXPECT_TRUE(CanOpenForRead(kLog));
    EXPECT_FALSE(files.Delete(kLog));
    EXPECT_FALSE(files.Move(kLog, kTemp, 0));

    files.HoldElsewhere(kLog, SimFiles::Hold::Writing);
    EXPECT_FALSE(CanOpenForRead(kLog));

    files.HoldElsewhere(kLog, SimFiles::Hold::None);
    EXPECT_TRUE(files.Delete(kLog));
}

TEST_F(SimFilesTest, HandlesOnlyDoWhatTheyWereOpenedFor)
{
    char byte = 0;
    std::uint32_t read = 7;
    const FileHandle reader = OpenForRead(kLog);
    EXPECT_FALSE(files.Write(reader, "x", 1));
    EXPECT_TRUE(files.Close(reader));

    const FileHandle writer = CreateNew(kTemp);
    EXPECT_FALSE(files.Read(writer, &byte, 1, &read));
    EXPECT_EQ(read, 0u);
    EXPECT_TRUE(files.Close(writer));
    EXPECT_FALSE(files.Close(writer));
}

TEST_F(SimFilesTest, ReadingComesInPiecesAndEndsWithZeroBytes)
{
    files.PutFile(kLog, "0123456789abcdefXYZ");
    const FileHandle file = OpenForRead(kLog);
    EXPECT_EQ(ReadAll(file, 4), "0123456789abcdefXYZ");
    EXPECT_TRUE(files.Close(file));
}

TEST_F(SimFilesTest, CreatingNeverOpensWhatStandsAtTheNameAndWritesGoStraightThrough)
{
    FileHandle file = 0;
    EXPECT_FALSE(files.CreateNew(u"c:\\data\\SETUP.LOG", &file));
    EXPECT_EQ(files.ReadFileBytes(kLog), "old");
    files.PutSymbolicLink(kTemp, u"C:\\Data\\nowhere.txt");
    EXPECT_FALSE(CanCreateNew(kTemp));  // even a link to nothing

    file = CreateNew(u"C:\\Data\\New.txt");
    EXPECT_EQ(files.ReadFileBytes(u"c:\\data\\new.txt"), "");
    EXPECT_TRUE(files.Write(file, "ab", 2));
    EXPECT_TRUE(files.Write(file, "cd", 2));
    EXPECT_EQ(files.ReadFileBytes(u"C:\\Data\\New.txt"), "abcd");
    EXPECT_TRUE(files.Close(file));
    EXPECT_EQ(files.GetAttributes(u"C:\\Data\\New.txt"), kFileAttributeArchive);
    EXPECT_EQ(files.VersionOf(u"C:\\Data\\New.txt"), std::nullopt);
}

TEST_F(SimFilesTest, AHardLinkIsTheSameFileUnderAnotherName)
{
    files.PutHardLink(kTemp, kLog);
    const FileHandle reader = OpenForRead(kTemp);
    EXPECT_EQ(ReadAll(reader, 4), "old");
    EXPECT_TRUE(files.Close(reader));
    ASSERT_TRUE(files.SetAttributes(kTemp, kFileAttributeReadOnly));
    EXPECT_EQ(files.GetAttributes(kLog), kFileAttributeReadOnly);
    EXPECT_FALSE(files.Delete(kTemp));  // attributes belong to the file, not the name
    ASSERT_TRUE(files.SetAttributes(kLog, kFileAttributeNormal));

    // Deleting one name leaves the file under the other.
    EXPECT_TRUE(files.Delete(kTemp));
    EXPECT_FALSE(files.Exists(kTemp));
    EXPECT_EQ(files.ReadFileBytes(kLog), "old");
}

TEST_F(SimFilesTest, ASymbolicLinkOpensWhatItNamesAndDeletingItRemovesOnlyTheLink)
{
    files.PutSymbolicLink(kTemp, kLog);
    const FileHandle reader = OpenForRead(u"c:\\data\\setup.TMP");
    EXPECT_EQ(ReadAll(reader, 8), "old");
    EXPECT_TRUE(files.Close(reader));
    EXPECT_EQ(files.GetAttributes(kTemp) & kFileAttributeReparsePoint, kFileAttributeReparsePoint);

    EXPECT_TRUE(files.Delete(kTemp));
    EXPECT_FALSE(files.Exists(kTemp));
    EXPECT_EQ(files.ReadFileBytes(kLog), "old");

    // Links in a ring lead nowhere.
    files.PutSymbolicLink(u"C:\\a", u"C:\\b");
    files.PutSymbolicLink(u"C:\\b", u"C:\\a");
    EXPECT_FALSE(CanOpenForRead(u"C:\\a"));
}

TEST_F(SimFilesTest, APowerCutKeepsOnlyWhatWasFlushed)
{
    const FileHandle file = CreateNew(kTemp);
    EXPECT_TRUE(files.Write(file, "ab", 2));
    EXPECT_TRUE(files.Flush(file));
    EXPECT_TRUE(files.Write(file, "cd", 2));
    EXPECT_TRUE(files.Close(file));
    EXPECT_TRUE(files.Move(kTemp, kLog, kMoveFileReplaceExisting | kMoveFileWriteThrough));
    ASSERT_EQ(files.MovesMade().size(), 1u);
    EXPECT_EQ(files.MovesMade()[0].flags, kMoveFileReplaceExisting | kMoveFileWriteThrough);
    EXPECT_FALSE(files.MovesMade()[0].flushed);

    files.CutPower();
    EXPECT_EQ(files.ReadFileBytes(kLog), "ab");

    // A reading handle cannot flush.
    const FileHandle reader = OpenForRead(kLog);
    EXPECT_FALSE(files.Flush(reader));
    EXPECT_TRUE(files.Close(reader));
}

TEST_F(SimFilesTest, FilesAreCreatedOnlyInFoldersThatExist)
{
    EXPECT_FALSE(CanCreateNew(u"C:\\Missing\\new.txt"));
    EXPECT_FALSE(CanCreateNew(u"C:\\Data"));  // a folder stands there
    EXPECT_TRUE(CanCreateNew(u"C:\\root.txt"));
    files.CreateFolder(u"C:\\Missing\\Deeper\\");
    EXPECT_TRUE(CanCreateNew(u"C:\\Missing\\new.txt"));
    EXPECT_TRUE(CanCreateNew(u"C:\\Missing\\Deeper\\new.txt"));
    EXPECT_FALSE(files.Move(kLog, u"C:\\Elsewhere\\Setup.log", 0));
}

TEST_F(SimFilesTest, AReadOnlyFileCannotBeDeleted)
{
    files.PutFile(kLog, "kept", kFileAttributeReadOnly);
    EXPECT_FALSE(files.Delete(kLog));
    EXPECT_EQ(files.ReadFileBytes(kLog), "kept");
    EXPECT_FALSE(files.Delete(u"C:\\Data\\absent"));
}

TEST_F(SimFilesTest, MoveReplacesOnlyWhenToldAndTheTargetAllowsIt)
{
    files.PutFile(kTemp, "new", kFileAttributeNormal);
    files.SetVersion(kTemp, {5, 6});
    EXPECT_FALSE(files.Move(u"C:\\Data\\absent", kLog, kMoveFileReplaceExisting));
    EXPECT_FALSE(files.Move(kTemp, kLog, 0));
    EXPECT_EQ(files.ReadFileBytes(kLog), "old");

    ASSERT_TRUE(files.SetAttributes(kLog, kFileAttributeReadOnly));
    EXPECT_FALSE(files.Move(kTemp, kLog, kMoveFileReplaceExisting));
    ASSERT_TRUE(files.SetAttributes(kLog, kFileAttributeNormal));

    const FileHandle reader = OpenForRead(kLog);
    EXPECT_FALSE(files.Move(kTemp, kLog, kMoveFileReplaceExisting));
    EXPECT_TRUE(files.Close(reader));
    EXPECT_EQ(files.ReadFileBytes(kTemp), "new");

    EXPECT_TRUE(files.Move(kTemp, u"c:\\data\\setup.LOG", kMoveFileReplaceExisting));
    EXPECT_FALSE(files.Exists(kTemp));
    EXPECT_EQ(files.ReadFileBytes(kLog), "new");
    EXPECT_EQ(files.GetAttributes(kLog), kFileAttributeNormal);
    EXPECT_EQ(files.VersionOf(kLog)->fileVersionLS, 6u);
    EXPECT_EQ(files.Paths(), std::vector<std::u16string>{u"c:\\data\\setup.LOG"});
}

TEST_F(SimFilesTest, MovingAReadOnlyFileOrChangingOnlyTheCaseSucceeds)
{
    files.PutFile(kTemp, "new", kFileAttributeReadOnly);
    EXPECT_TRUE(files.Move(kTemp, kLog, kMoveFileReplaceExisting));
    EXPECT_EQ(files.GetAttributes(kLog), kFileAttributeReadOnly);

    EXPECT_TRUE(files.Move(kLog, u"C:\\Data\\SETUP.LOG", 0));
    EXPECT_EQ(files.ReadFileBytes(kLog), "new");
    EXPECT_EQ(files.Paths(), std::vector<std::u16string>{u"C:\\Data\\SETUP.LOG"});
}

TEST_F(SimFilesTest, AttributesFollowWindowsRulesForNormal)
{
    EXPECT_EQ(files.GetAttributes(u"C:\\DATA\\setup.log"), kFileAttributeArchive);
    EXPECT_EQ(files.GetAttributes(u"C:\\Data\\"), 0x10u);
    EXPECT_EQ(files.GetAttributes(u"C:\\Data\\absent"), kInvalidFileAttributes);
    EXPECT_FALSE(files.SetAttributes(u"C:\\Data\\absent", kFileAttributeNormal));

    const std::pair<std::uint32_t, std::uint32_t> stored[] = {
        {0x80, 0x80}, {0x81, 0x01}, {0x00, 0x80}, {0x21, 0x21}};
    for (const auto& [set, kept] : stored) {
        ASSERT_TRUE(files.SetAttributes(kLog, set));
        EXPECT_EQ(files.GetAttributes(kLog), kept) << set;
    }
}

TEST_F(SimFilesTest, VersionBlockCarriesTheFixedFileVersion)
{
    EXPECT_EQ(files.VersionInfoSize(kLog), 0u);
    EXPECT_EQ(files.VersionInfoSize(u"C:\\Data\\absent"), 0u);

    files.SetVersion(kLog, {0x00070008, 0x0009000A});
    const std::uint32_t size = files.VersionInfoSize(kLog);
    ASSERT_NE(size, 0u);
    std::vector<unsigned char> block(size);
    EXPECT_FALSE(files.VersionInfo(kLog, size - 1, block.data()));
    ASSERT_TRUE(files.VersionInfo(kLog, size, block.data()));

    FixedFileVersion version;
    ASSERT_TRUE(files.QueryFixedVersion(block.data(), &version));
    EXPECT_EQ(version.fileVersionMS, 0x00070008u);
    EXPECT_EQ(version.fileVersionLS, 0x0009000Au);

    const std::vector<unsigned char> foreign(size, 0xAB);
    EXPECT_FALSE(files.QueryFixedVersion(foreign.data(), &version));
}

TEST_F(SimFilesTest, AFailedCallGivesTheWindowsAnswerAndChangesNothing)
{
    FileHandle file = 0;
    ledger.FailCall(Operation::CreateNew, 1);
    EXPECT_FALSE(files.CreateNew(kTemp, &file));
    EXPECT_FALSE(files.Exists(kTemp));
    ledger.FailCall(Operation::Move, 1);
    EXPECT_FALSE(files.Move(kLog, kTemp, 0));
    EXPECT_TRUE(files.Exists(kLog));
    ledger.FailCall(Operation::SetAttributes, 1);
    EXPECT_FALSE(files.SetAttributes(kLog, kFileAttributeReadOnly));
    ledger.FailCall(Operation::GetAttributes, 1);
    EXPECT_EQ(files.GetAttributes(kLog), kInvalidFileAttributes);
    EXPECT_EQ(files.GetAttributes(kLog), kFileAttributeArchive);
    EXPECT_EQ(ledger.OpenCount(), 0u);
}

TEST_F(SimFilesTest, AFailedCloseStillLetsTheFileGo)
{
    const FileHandle file = CreateNew(kTemp);
    ledger.FailCall(Operation::Close, 1);
    EXPECT_FALSE(files.Close(file));
    EXPECT_EQ(ledger.OpenCount(), 0u);
    EXPECT_TRUE(files.Delete(kTemp));
}

TEST_F(SimFilesTest, AFailedReadClearsTheCount)
{
    const FileHandle file = OpenForRead(kLog);
    char buffer[4];
    std::uint32_t read = 9;
    ledger.FailCall(Operation::Read, 1);
    EXPECT_FALSE(files.Read(file, buffer, sizeof buffer, &read));
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(ReadAll(file, 4), "old");
    EXPECT_TRUE(files.Close(file));
}

}  // namespace
}  // namespace zarvo::sim
