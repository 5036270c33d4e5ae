#pragma once
// Which registry view a machine-wide key is opened in.
#include <cstdint>

#include "frame/handle_guard.h"
#include "platform/registry.h"

namespace zarvo {

// True when the running 32-bit process runs on 64-bit Windows. Asked afresh at every use.
bool IsWow64(Registry& registry);

// The base mask (KEY_READ or KEY_ALL_ACCESS), with KEY_WOW64_64KEY added under WOW64 so
// that the 64-bit view is read.
std::uint32_t RegistryReadAccess(Registry& registry, std::uint32_t base);

// Owns one open registry key and closes it when its scope ends.
using RegistryKeyGuard = HandleGuard<Registry, RegistryKey, &Registry::CloseKey>;

}  // namespace zarvo
