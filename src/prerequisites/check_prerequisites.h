#pragma once
// The gate: every row of the Prerequisites table checked, each failed row named in a
// property of its own, the installation stopped when any row failed.
#include <cstdint>

#include "platform/platform.h"

namespace zarvo {

// 1603 when at least one row failed, else 0. The failed rows set FALSEPREREQUISITY_0,
// FALSEPREREQUISITY_1 and so on, in Order, to their Name.
WinResult CheckPrerequisites(Platform& platform, InstallerHandle session);

// Names the failed row by its number among the failures: false, and no property set, when
// the number no longer fits the property name.
bool RecordFailedRow(Installer& installer, InstallerHandle session, std::uint64_t failureNumber,
                     const char16_t* rowName);

}  // namespace zarvo
