#include "expectation.h"

namespace zarvo::check {

std::optional<std::string> UnmetExpectation(Expectation expect, const DryRun& dry)
{
    if (expect == Expectation::None || dry.Passes() == (expect == Expectation::Pass)) return std::nullopt;
    if (dry.Passes()) return "the installation passes the dry run, while it is expected to fail";
    const ActionRun& last = dry.actions.back();
    return "the installation stops at " + last.customAction + " (answered " + std::to_string(last.answer) +
           "), while it is expected to pass";
}

}  // namespace zarvo::check
