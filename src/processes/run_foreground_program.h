#pragma once
#include <string_view>

#include "platform/platform.h"

namespace zarvo {

// The property that holds the command line.
inline constexpr std::u16string_view kForegroundProgramProperty = u"RunForegroundProgram";

// The pause that gives the started program time to bring its window up.
inline constexpr std::uint32_t kForegroundPauseMilliseconds = 3000;

// Starts the command line held in the property "RunForegroundProgram", lets the new process
// take the foreground, pauses, and returns while the program runs on. 1603 when the property
// cannot be read, else 0; a program that does not start returns at once, without the pause.
WinResult RunForegroundProgram(Platform& platform, InstallerHandle session);

}  // namespace zarvo
