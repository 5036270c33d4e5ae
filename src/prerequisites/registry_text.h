#pragma once
// A registry value's data read as text, whatever its type.
#include "frame/installer_access.h"
#include "platform/registry.h"

namespace zarvo {

// The value's data taken as UTF-16 text, ended at its first null character or at the end
// of the data; null when the value is missing, holds no data, changes between the two
// reads or its buffer cannot be had.
OwnedText ReadRegistryText(Registry& registry, RegistryKey key, const char16_t* valueName);

}  // namespace zarvo
