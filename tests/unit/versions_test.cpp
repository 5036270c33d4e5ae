#include <gtest/gtest.h>

#include "frame/versions.h"

namespace zarvo {
namespace {

std::string Text(const FourPartVersion& v)
{
    return std::to_string(v.part1) + "." + std::to_string(v.part2) + "." +
           std::to_string(v.part3) + "." + std::to_string(v.part4);
}

std::string Parsed(const char16_t* text)
{
    return Text(ParseVersion(text));
}

TEST(ParseVersion, ReadsUpToFourDottedNumbers)
{
    EXPECT_EQ(Parsed(u"5"), "5.0.0.0");
    EXPECT_EQ(Parsed(u"4.0.30319"), "4.0.30319.0");
    EXPECT_EQ(Parsed(u"1.2.3.4"), "1.2.3.4");
    EXPECT_EQ(Parsed(u"1.2.3.4.5"), "1.2.3.4");
    EXPECT_EQ(Parsed(u"1.2.3.4 build"), "1.2.3.4");
    EXPECT_EQ(Parsed(u"1.08"), "1.8.0.0");
}

TEST(ParseVersion, StopsAtTheFirstCharacterThatDoesNotFit)
{
    EXPECT_EQ(Parsed(u""), "0.0.0.0");
    EXPECT_EQ(Parsed(u"v4.0"), "0.0.0.0");
    EXPECT_EQ(Parsed(u"1.2b.3"), "1.2.0.0");
    EXPECT_EQ(Parsed(u"1..3"), "1.0.0.0");
    EXPECT_EQ(Parsed(u"1.2."), "1.2.0.0");
    EXPECT_EQ(Parsed(u"7 .8"), "7.0.0.0");
}

TEST(ParseVersion, SkipsWhiteSpaceBeforeANumberAndTakesOneSign)
{
    EXPECT_EQ(Parsed(u"7. 8"), "7.8.0.0");
    EXPECT_EQ(Parsed(u" \t9.1"), "9.1.0.0");
    EXPECT_EQ(Parsed(u"+3.1"), "3.1.0.0");
    EXPECT_EQ(Parsed(u"-1"), "4294967295.0.0.0");
    EXPECT_EQ(Parsed(u"1.-2"), "1.4294967294.0.0");
    EXPECT_EQ(Parsed(u"+-1"), "0.0.0.0");
    EXPECT_EQ(Parsed(u"1.+ 2"), "1.0.0.0");
}

TEST(ParseVersion, KeepsEveryThirtyTwoBitValueAndSaturatesLargerOnes)
{
    EXPECT_EQ(Parsed(u"4294967295.2147483648"), "4294967295.2147483648.0.0");
    EXPECT_EQ(Parsed(u"4294967296.1"), "4294967295.1.0.0");
    EXPECT_EQ(Parsed(u"99999999999999999999999.7"), "4294967295.7.0.0");
    EXPECT_EQ(Parsed(u"-99999999999"), "4294967295.0.0.0");
    EXPECT_EQ(Parsed(u"0004294967295"), "4294967295.0.0.0");
}

TEST(VersionLess, OrdersPartByPartAsUnsignedNumbers)
{
    const auto less = [](const char16_t* a, const char16_t* b) {
        return VersionLess(ParseVersion(a), ParseVersion(b));
    };
    EXPECT_TRUE(less(u"1.2.3.4", u"1.2.3.5"));
    EXPECT_FALSE(less(u"1.2.3.4", u"1.2.3.4"));
    EXPECT_FALSE(less(u"2.0.0.0", u"1.9.9.9"));
    EXPECT_TRUE(less(u"1.9.0.0", u"1.10.0.0"));
    EXPECT_FALSE(less(u"5", u"5.0.0.0"));
    EXPECT_FALSE(less(u"5.0.0.0", u"5"));
    EXPECT_TRUE(less(u"0.0.0.0", u"4294967295.0.0.0"));
    EXPECT_TRUE(less(u"2147483647", u"2147483648"));
    EXPECT_TRUE(less(u"1.2.3", u"1.2.3.1"));
}

}  // namespace
}  // namespace zarvo
