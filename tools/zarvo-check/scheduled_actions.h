#pragma once
// The calls of this library that a package's InstallExecuteSequence makes and that the dry
// run makes too: CheckPrerequisites, ChangeElementsFromPrerequisites and IsFrameworkInstalled,
// each with what the installer does with its answer, and the framework test that the
// package's own actions before it set.
#include <optional>
#include <string>
#include <vector>

#include "dll/action_table.h"
#include "package.h"

namespace zarvo::check {

// The property that holds the test IsFrameworkInstalled makes.
inline constexpr char16_t kFrameworkTestCommand[] = u"FRAMEWORKTESTCOMMAND";

struct ScheduledCall {
    std::u16string customAction;  // the package's action
    const ActionEntry* entry = nullptr;  // the library's action it calls
    // Its Type tells the installer to go on whatever it answers (Return="ignore"); otherwise a
    // non-zero answer stops the installation.
    bool answerIgnored = false;
    // The Target, unformatted, of the last action before it that sets FRAMEWORKTESTCOMMAND
    // (type 51); nothing when none does, so that the Property table's value stands.
    std::optional<std::u16string> command;
};

// In the order the installer runs the sequence: its rows numbered 1 and up (the numbers 0 and
// below are the installer's dialogs for the end), a row whose condition is plainly false
// left out. A call is a DLL action (type 1, with any of its options) whose Source is a Binary
// row of this library and whose Target is one of the three actions.
std::vector<ScheduledCall> ScheduledCalls(const Package& package);

}  // namespace zarvo::check
