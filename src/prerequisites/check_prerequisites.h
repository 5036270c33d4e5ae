#pragma once
// The gate: every row of the Prerequisites table checked, each failed row named in a
// property of its own, the installation stopped when any row failed.
#include <cstdint>

#include "platform/platform.h"

namespace zarvo {

// 1603 when at least one row failed, else 0. The failed rows set FALSEPREREQUISITY_0,
// FALSEPREREQUISITY_1 and so on, in Order, to their Name. The log tells each row, what it
// read and how it ended, then the failures and the answer.
WinResult CheckPrerequisites(Platform& platform, InstallerHandle session);

// Names the failed row by its number among the failures: false when no property was set,
// because the number no longer fits the property name or the installer refused it.
bool RecordFailedRow(Installer& installer, InstallerHandle session, std::uint64_t failureNumber,
                     const char16_t* rowName);

}  // namespace zarvo
