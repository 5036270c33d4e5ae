// Fields of a record, formatted by the installer in the running installation.
#include <gtest/gtest.h>

#include "frame/installer_access.h"
#include "scenario/machine.h"

namespace zarvo::test {
namespace {

class RecordField : public ::testing::Test {
protected:
    void SetUp() override { record = machine->CreateRecord(99); }
    void TearDown() override { machine->CloseRecord(record); }

    std::u16string Read(std::uint32_t field)
    {
        const OwnedText text = ReadRecordField(machine->platform().installer, machine->Session(),
                                               record, field);
        return text ? std::u16string(text.get()) : u"<nothing>";
    }

    std::unique_ptr<Machine> machine = MakeMachine();
    InstallerHandle record = 0;
};

TEST_F(RecordField, ReadsFieldsOneToNinetyNineOnly)
{
    machine->SetRecordField(record, 0, u"untouched");
    machine->SetRecordField(record, 1, u"first");
    machine->SetRecordField(record, 99, u"last");
    EXPECT_EQ(Read(0), u"<nothing>");
    EXPECT_EQ(Read(100), u"<nothing>");
    // Neither refused number reached the installer: the template is still the test's.
    EXPECT_EQ(machine->RecordField(record, 0), u"untouched");
    EXPECT_EQ(Read(1), u"first");
    EXPECT_EQ(Read(99), u"last");
}

TEST_F(RecordField, AnEmptyFieldIsTheEmptyTextNotNothing)
{
    EXPECT_EQ(Read(5), u"");
}

TEST_F(RecordField, LeavesItsTemplateInFieldZeroAndNothingElseChanged)
{
    machine->SetRecordField(record, 7, u"seven");
    machine->SetRecordField(record, 2, u"two");
    EXPECT_EQ(Read(7), u"seven");
    EXPECT_EQ(machine->RecordField(record, 0), u"[7]");
    EXPECT_EQ(Read(2), u"two");
    EXPECT_EQ(Read(7), u"seven");
    EXPECT_EQ(machine->RecordField(record, 7), u"seven");
}

TEST_F(RecordField, FormatsPropertyReferencesInTheRunningInstallation)
{
    machine->SetProperty(u"TargetFolder", u"C:\\Target\\");
    machine->SetRecordField(record, 3, u"[TargetFolder]app.exe");
    EXPECT_EQ(Read(3), u"C:\\Target\\app.exe");
}

}  // namespace
}  // namespace zarvo::test
