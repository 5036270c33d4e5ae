// The checker's command line, and what --expect makes of a dry run: the exit code a build gets.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "zarvo-check/command_line.h"
#include "zarvo-check/expectation.h"

namespace zarvo::check {
namespace {

CheckRequest Request(std::vector<std::string> arguments)
{
    const CommandLine line = ReadCommandLine(std::move(arguments));
    EXPECT_TRUE(line.request) << line.message;
    return line.request.value_or(CheckRequest{});
}

TEST(ReadCommandLine, AsksForADryRunByAMachineByAnExpectationOrByName)
{
    EXPECT_FALSE(Request({"p.msi"}).WantsDryRun());
    EXPECT_EQ(Request({"p.msi"}).expect, Expectation::None);
    EXPECT_TRUE(Request({"--dry-run", "p.msi"}).WantsDryRun());
    EXPECT_TRUE(Request({"--product", "{A}=5", "p.msi"}).WantsDryRun());
    const CheckRequest pass = Request({"--expect", "pass", "p.msi"});
    EXPECT_TRUE(pass.WantsDryRun());
    EXPECT_EQ(pass.expect, Expectation::Pass);
    EXPECT_EQ(Request({"p.msi", "--expect", "fail"}).expect, Expectation::Fail);

    const CommandLine wrong = ReadCommandLine({"--expect", "stop", "p.msi"});
    EXPECT_FALSE(wrong.request);
    EXPECT_EQ(wrong.exitCode, 2);
}

TEST(ReadCommandLine, AnswersVersionWithTheProjectsVersionWithoutAPackage)
{
    const CommandLine line = ReadCommandLine({"--version"});
    EXPECT_FALSE(line.request);
    EXPECT_EQ(line.exitCode, 0);
    EXPECT_EQ(line.message, VersionText());
    EXPECT_TRUE(std::regex_match(line.message, std::regex("zarvo-check [0-9]+\\.[0-9]+\\.[0-9]+\n"))) << line.message;
}

TEST(UnmetExpectation, HoldsTheInstallationToWhatWasExpectedAndSaysWhatItDidInstead)
{
    DryRun passes;
    passes.actions.push_back({"IsFrameworkInstalled", "TestFramework45", {}, 1, {}, {}, {}, false});
    DryRun stops = passes;
    stops.actions.push_back({"CheckPrerequisites", "Gate", {}, 1603, {}, {}, {}, true});

    for (const DryRun& dry : {passes, stops, DryRun{}}) EXPECT_FALSE(UnmetExpectation(Expectation::None, dry));
    EXPECT_FALSE(UnmetExpectation(Expectation::Pass, passes));
    EXPECT_FALSE(UnmetExpectation(Expectation::Pass, DryRun{}));
    EXPECT_FALSE(UnmetExpectation(Expectation::Fail, stops));
    EXPECT_EQ(UnmetExpectation(Expectation::Pass, stops),
              "the installation stops at Gate (answered 1603), while it is expected to pass");
    EXPECT_EQ(UnmetExpectation(Expectation::Fail, passes),
              "the installation passes the dry run, while it is expected to fail");
    EXPECT_TRUE(UnmetExpectation(Expectation::Fail, DryRun{}));
}

}  // namespace
}  // namespace zarvo::check
