// Properties read through the installer, of any length and into fixed buffers.
#include <gtest/gtest.h>

#include <array>

#include "frame/installer_access.h"
#include "frame/result_codes.h"
#include "scenario/machine.h"

namespace zarvo::test {
namespace {

class PropertyRead : public ::testing::Test {
protected:
    std::unique_ptr<Machine> machine = MakeMachine();
    Installer& installer() { return machine->platform().installer; }
};

TEST_F(PropertyRead, ReadsEmptyAndLongPropertiesWhole)
{
    const OwnedText missing = ReadPropertyAlloc(installer(), machine->Session(), u"NeverSet");
    ASSERT_TRUE(missing);
    EXPECT_EQ(std::u16string(missing.get()), u"");

    std::u16string value(10000, u'x');
    value[0] = u'A';
    value[9999] = u'Z';
    machine->SetProperty(u"LongValue", value);
    const OwnedText read = ReadPropertyAlloc(installer(), machine->Session(), u"LongValue");
    ASSERT_TRUE(read);
    EXPECT_EQ(std::u16string(read.get()), value);
}

TEST_F(PropertyRead, FixedCapacityAcceptsOneCharacterLessThanItsCapacity)
{
    std::array<char16_t, 260> buffer{};
    machine->SetProperty(u"Fits", std::u16string(259, u'f'));
    EXPECT_EQ(ReadPropertyFixed(installer(), machine->Session(), u"Fits", buffer), kErrorSuccess);
    EXPECT_EQ(std::u16string(buffer.data()), std::u16string(259, u'f'));

    machine->SetProperty(u"TooLong", std::u16string(260, u't'));
    EXPECT_EQ(ReadPropertyFixed(installer(), machine->Session(), u"TooLong", buffer),
              kErrorMoreData);
}

TEST_F(PropertyRead, AFailedReadGivesNothing)
{
    // No installation has this session handle: the installer refuses both reads.
    constexpr InstallerHandle kNoSession = 0;
    EXPECT_FALSE(ReadPropertyAlloc(installer(), kNoSession, u"ProductCode"));
    std::array<char16_t, 260> buffer{};
    EXPECT_NE(ReadPropertyFixed(installer(), kNoSession, u"ProductCode", buffer), kErrorSuccess);
}

}  // namespace
}  // namespace zarvo::test
