#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <type_traits>

#include "platform/win32/wide.h"

namespace zarvo::win32 {
namespace {

static_assert(sizeof(HKEY) == sizeof(RegistryKey));
static_assert(std::is_same_v<BOOL, std::int32_t>);

HKEY Key(RegistryKey key)
{
    return reinterpret_cast<HKEY>(key);
}

using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, BOOL*);

// Looked up when asked for rather than imported, so that the library still loads on a
// kernel32 that lacks the function.
IsWow64ProcessFunction FindIsWow64Process()
{
    const HMODULE kernel = GetModuleHandleW(L"kernel32");
    const FARPROC found = kernel ? GetProcAddress(kernel, "IsWow64Process") : nullptr;
    // Through void (*)() because that is the one pointer type every function pointer may
    // be cast to and from without the compiler objecting to the mismatch.
    return reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void (*)()>(found));
}

}  // namespace

bool Win32Registry::CallIsWow64Process(std::int32_t* flag)
{
    const IsWow64ProcessFunction isWow64Process = FindIsWow64Process();
    if (!isWow64Process) return false;
    isWow64Process(GetCurrentProcess(), flag);
    return true;
}

WinResult Win32Registry::OpenKey(RegistryKey root, const char16_t* subKey, std::uint32_t options,
                                 std::uint32_t access, RegistryKey* key)
{
    return RegOpenKeyExW(Key(root), Wide(subKey), options, access, reinterpret_cast<HKEY*>(key));
}

WinResult Win32Registry::QueryValue(RegistryKey key, const char16_t* name, std::uint32_t* type,
                                    std::uint8_t* data, std::uint32_t* size)
{
    return RegQueryValueExW(Key(key), Wide(name), nullptr, Count(type), data, Count(size));
}

WinResult Win32Registry::QueryInfoKey(RegistryKey key, std::uint32_t* subKeys,
                                      std::uint32_t* values)
{
    return RegQueryInfoKeyW(Key(key), nullptr, nullptr, nullptr, Count(subKeys), nullptr, nullptr,
                            Count(values), nullptr, nullptr, nullptr, nullptr);
}

WinResult Win32Registry::EnumKey(RegistryKey key, std::uint32_t index, char16_t* name,
                                 std::uint32_t* count)
{
    return RegEnumKeyExW(Key(key), index, Wide(name), Count(count), nullptr, nullptr, nullptr,
                         nullptr);
}

WinResult Win32Registry::EnumValue(RegistryKey key, std::uint32_t index, char16_t* name,
                                   std::uint32_t* count)
{
    return RegEnumValueW(Key(key), index, Wide(name), Count(count), nullptr, nullptr, nullptr,
                         nullptr);
}

WinResult Win32Registry::DeleteValue(RegistryKey key, const char16_t* name)
{
    return RegDeleteValueW(Key(key), Wide(name));
}

WinResult Win32Registry::CloseKey(RegistryKey key)
{
    return RegCloseKey(Key(key));
}

}  // namespace zarvo::win32
