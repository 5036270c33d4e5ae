#pragma once
// The framework presence test that the package states in FRAMEWORKTESTCOMMAND:
// "subkey,value name,version" below HKEY_LOCAL_MACHINE.
#include "frame/action_log.h"
#include "frame/capacities.h"
#include "platform/platform.h"

namespace zarvo {

// The command's capacity in characters, terminator included: the room of a path.
inline constexpr std::size_t kFrameworkCommandCapacity = kPathCapacity;

// Splits the command in place into the subkey (the command's start), the value name and the
// version, at its first two commas; false when it lacks one of them.
bool SplitFrameworkTestCommand(char16_t* command, char16_t*& valueName, char16_t*& version);

// Splits the command in place at its first two commas and tests the registered version
// against the required one: 0 when it is at least that, 1 for a malformed command, an
// empty or lower version, or the failing registry call's own code. The account tells what
// was read, in which view, and how it compares.
WinResult EvaluateFrameworkTest(Registry& registry, char16_t* command, LogLine& account);

// 0 when the test passes. Otherwise sets FrameworkNotInstalled to "NotInstalled" and
// answers the test's code, or the property read's code when the command cannot be read.
// One log line tells what was read, the outcome and the answer.
WinResult IsFrameworkInstalled(Platform& platform, InstallerHandle session);

}  // namespace zarvo
