#pragma once
// The highest .NET Framework version registered on the machine, as its policy key lists it.
#include <optional>

#include "frame/action_log.h"
#include "frame/versions.h"
#include "platform/registry.h"

namespace zarvo {

// Major and minor from the name of the policy key's last subkey ("v4.0"), the build from
// the name of that subkey's last value ("30319"); the fourth part stays 0. None when no
// framework is registered in that form. The account names the keys and value read, and the
// view, or tells what was missing.
std::optional<FourPartVersion> ReadRegisteredFrameworkVersion(Registry& registry, LogLine& account);

}  // namespace zarvo
