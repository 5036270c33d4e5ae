#pragma once
// The framework tests a package makes: each action of its InstallExecuteSequence that calls
// IsFrameworkInstalled, with the test command that the package's own actions before it set.
#include <optional>
#include <string>
#include <vector>

#include "package.h"

namespace zarvo::check {

// The property that holds the test IsFrameworkInstalled makes.
inline constexpr char16_t kFrameworkTestCommand[] = u"FRAMEWORKTESTCOMMAND";

struct FrameworkTestCall {
    std::u16string customAction;  // the package's action that calls IsFrameworkInstalled
    // The Target, unformatted, of the last action before it that sets FRAMEWORKTESTCOMMAND
    // (type 51); nothing when none does, so that the Property table's value stands.
    std::optional<std::u16string> command;
};

// In the order of the sequence (its rows numbered 1 and up; the numbers 0 and below are the
// installer's dialogs for the end). A call is a DLL action (type 1, with any of its options)
// whose Source is a Binary row of this library and whose Target is "IsFrameworkInstalled".
std::vector<FrameworkTestCall> FrameworkTestCalls(const Package& package);

}  // namespace zarvo::check
