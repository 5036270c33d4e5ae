#pragma once
// Which registry view a machine-wide key is opened in.
#include <cstdint>

#include "frame/action_log.h"
#include "frame/handle_guard.h"
#include "platform/registry.h"

namespace zarvo {

// True when the running 32-bit process runs on 64-bit Windows. Asked afresh at every use.
bool IsWow64(Registry& registry);

// How the log names the view that a key opened with this access reads: "the 64-bit view"
// (KEY_WOW64_64KEY under WOW64), "the 32-bit view" (KEY_WOW64_32KEY, or neither flag, which
// is a 32-bit process's own view under WOW64), or "the one view" of 32-bit Windows, which
// has no other whatever the flags ask.
const char16_t* RegistryViewName(std::uint32_t access, bool wow64);

// The base mask (KEY_READ or KEY_ALL_ACCESS), with KEY_WOW64_64KEY added under WOW64 so
// that the 64-bit view is read.
std::uint32_t RegistryReadAccess(Registry& registry, std::uint32_t base);

// RegistryReadAccess's mask, and the view's name for the log, from one WOW64 question.
struct RegistryRead {
    std::uint32_t access;
    const char16_t* view;
};
RegistryRead RegistryReadView(Registry& registry, std::uint32_t base);

// Adds `value "NAME" of key PATH in VIEW` to a log line.
LogLine& WriteValueOfKey(LogLine& line, const char16_t* valueName, const char16_t* keyPath,
                         const char16_t* view) noexcept;

// Owns one open registry key and closes it when its scope ends.
using RegistryKeyGuard = HandleGuard<Registry, RegistryKey, &Registry::CloseKey>;

}  // namespace zarvo
