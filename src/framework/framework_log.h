#pragma once
// The framework actions' properties, set and told in the installer's log.
#include "frame/action_log.h"
#include "platform/installer.h"

namespace zarvo {

// Sets the property and adds to the line what became of it: `NAME set to "VALUE"`, or
// `NAME could not be set to "VALUE" (error N)`. What the installer answers changes nothing
// else.
void SetPropertyTold(Installer& installer, InstallerHandle session, const char16_t* name,
                     const char16_t* value, LogLine& line);

}  // namespace zarvo
