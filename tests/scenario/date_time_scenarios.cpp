// The local date and time stamped into "DateTime".
#include <gtest/gtest.h>

#include <regex>
#include <tuple>

#include "frame/result_codes.h"
#include "scenario/machine.h"

namespace zarvo::test {
namespace {

SystemTime At(std::uint16_t year, std::uint16_t month, std::uint16_t day, std::uint16_t hour,
              std::uint16_t minute, std::uint16_t second)
{
    return SystemTime{year, month, 0, day, hour, minute, second, 999};
}

// The stamp of a time, as seconds compare: year, month, day, hour, minute, second.
auto Ordered(const SystemTime& t)
{
    return std::make_tuple(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

SystemTime ParseStamp(const std::string& stamp)
{
    SystemTime t;
    t.day = static_cast<std::uint16_t>(std::stoi(stamp.substr(0, 2)));
    t.month = static_cast<std::uint16_t>(std::stoi(stamp.substr(3, 2)));
    t.year = static_cast<std::uint16_t>(std::stoi(stamp.substr(6, 4)));
    t.hour = static_cast<std::uint16_t>(std::stoi(stamp.substr(11, 2)));
    t.minute = static_cast<std::uint16_t>(std::stoi(stamp.substr(14, 2)));
    t.second = static_cast<std::uint16_t>(std::stoi(stamp.substr(17, 2)));
    return t;
}

class DateTime : public ::testing::Test {
protected:
    std::string Stamp()
    {
        EXPECT_EQ(machine->RunAction("SetDateTimeProperty"), kErrorSuccess);
        return Narrow(machine->Property(u"DateTime"));
    }

    std::unique_ptr<Machine> machine = MakeMachine();
};

TEST_F(DateTime, StampsTheLocalTimeDayFirst)
{
    const SystemTime before = machine->LocalTime();
    const std::string stamp = Stamp();
    const SystemTime after = machine->LocalTime();
    ASSERT_TRUE(std::regex_match(stamp, std::regex(R"(\d\d\.\d\d\.\d{4};\d\d:\d\d:\d\d)")))
        << stamp;
    const SystemTime stamped = ParseStamp(stamp);
    EXPECT_LE(Ordered(before), Ordered(stamped)) << stamp;
    EXPECT_LE(Ordered(stamped), Ordered(after)) << stamp;
}

TEST_F(DateTime, PadsEveryFieldAndRunsTheHourFromZeroToTwentyThree)
{
    if (!machine->SetLocalTime(At(2027, 3, 5, 7, 8, 9))) GTEST_SKIP() << "the clock is real";
    EXPECT_EQ(Stamp(), "05.03.2027;07:08:09");
    machine->SetLocalTime(At(2026, 12, 31, 23, 59, 59));
    EXPECT_EQ(Stamp(), "31.12.2026;23:59:59");
    machine->SetLocalTime(At(2027, 1, 1, 0, 0, 0));
    EXPECT_EQ(Stamp(), "01.01.2027;00:00:00");
    machine->SetLocalTime(At(999, 1, 2, 3, 4, 5));
    EXPECT_EQ(Stamp(), "02.01.0999;03:04:05");
}

TEST_F(DateTime, SaysInTheLogWhatItSet)
{
    const std::string stamp = Stamp();
    const std::vector<std::u16string> lines = machine->LogLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(Narrow(lines[0]), "SetDateTimeProperty: DateTime set to " + stamp);
}

TEST_F(DateTime, ReplacesTheValueOfAnEarlierCall)
{
    machine->SetProperty(u"DateTime", u"stale");
    const std::string stamp = Stamp();
    EXPECT_NE(stamp, "stale");
    EXPECT_EQ(stamp.size(), 19u);
}

}  // namespace
}  // namespace zarvo::test
