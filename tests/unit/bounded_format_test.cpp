#include <gtest/gtest.h>

#include <string>

#include "frame/bounded_format.h"

namespace zarvo {
namespace {

TEST(FormatBounded, WritesTheLibrarysConversions)
{
    char16_t buffer[64];
    EXPECT_TRUE(FormatBounded(buffer, 64, u"%02d.%02d.%04d;%d", {5, 3, 2027, -42}));
    EXPECT_EQ(std::u16string(buffer), u"05.03.2027;-42");
    EXPECT_TRUE(FormatBounded(buffer, 64, u"<%s>%s.tmp 100%%", {u"Name", u"C:\\a"}));
    EXPECT_EQ(std::u16string(buffer), u"<Name>C:\\a.tmp 100%");
    EXPECT_TRUE(FormatBounded(buffer, 64, u"[%3d][%03d][%02d]", {7, -7, 12345}));
    EXPECT_EQ(std::u16string(buffer), u"[  7][-07][12345]");
    EXPECT_TRUE(FormatBounded(buffer, 64, u"%d", {INT32_MIN}));
    EXPECT_EQ(std::u16string(buffer), u"-2147483648");
}

TEST(FormatBounded, FillsTheCapacityExactlyAndRefusesOneMore)
{
    char16_t buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_TRUE(FormatBounded(buffer, 7, u"%s", {u"abcdef"}));
    EXPECT_EQ(std::u16string(buffer), u"abcdef");
    EXPECT_FALSE(FormatBounded(buffer, 7, u"%s!", {u"abcdef"}));
    EXPECT_EQ(std::u16string(buffer), u"");
    EXPECT_EQ(buffer[7], u'#');  // nothing written past the stated capacity
    EXPECT_FALSE(FormatBounded(buffer, 4, u"FALSE_%d", {1000000}));
    EXPECT_EQ(std::u16string(buffer), u"");
}

TEST(FormatBounded, RefusesAFormatThatDoesNotMatchItsArguments)
{
    char16_t buffer[16] = u"old";
    EXPECT_FALSE(FormatBounded(buffer, 16, u"%s", {7}));
    EXPECT_EQ(std::u16string(buffer), u"");
    EXPECT_FALSE(FormatBounded(buffer, 16, u"%d %d", {7}));
    EXPECT_FALSE(FormatBounded(buffer, 16, u"%d", {7, 8}));
    EXPECT_FALSE(FormatBounded(buffer, 16, u"%x", {7}));
    EXPECT_FALSE(FormatBounded(buffer, 0, u"", {}));
}

}  // namespace
}  // namespace zarvo
