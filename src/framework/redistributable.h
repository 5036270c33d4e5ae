#pragma once
// The .NET Framework redistributable that the package carries in its source folder.
#include <optional>
#include <span>

#include "frame/action_log.h"
#include "frame/capacities.h"
#include "frame/versions.h"
#include "platform/platform.h"

namespace zarvo {

// SourceDir followed directly by NetFrameworkFileName64 (under WOW64) or
// NetFrameworkFileName32. False when either cannot be read or the two do not fit together,
// with `the redistributable's path could not be built: ` and the reason added to `why`; the
// buffer then holds the SourceDir text when only the file name could not be read, and the
// empty text otherwise.
bool BuildRedistributablePath(Platform& platform, InstallerHandle session, std::span<char16_t> path,
                              LogLine& why);

// Major, minor and build from the redistributable's fixed file information; the fourth
// part stays 0. None when the file or its version resource cannot be read. The account
// names the file and its version, or tells why there is none.
std::optional<FourPartVersion> ReadRedistributableVersion(Platform& platform, InstallerHandle session,
                                                          LogLine& account);

}  // namespace zarvo
