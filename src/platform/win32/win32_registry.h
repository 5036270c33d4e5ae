#pragma once
// Windows only: the machine's registry through advapi32, and kernel32's IsWow64Process.
#include "platform/registry.h"

namespace zarvo::win32 {

class Win32Registry final : public Registry {
public:
    bool CallIsWow64Process(std::int32_t* flag) override;
    WinResult OpenKey(RegistryKey root, const char16_t* subKey, std::uint32_t options,
                      std::uint32_t access, RegistryKey* key) override;
    WinResult QueryValue(RegistryKey key, const char16_t* name, std::uint32_t* type,
                         std::uint8_t* data, std::uint32_t* size) override;
    WinResult QueryInfoKey(RegistryKey key, std::uint32_t* subKeys,
                           std::uint32_t* values) override;
    WinResult EnumKey(RegistryKey key, std::uint32_t index, char16_t* name,
                      std::uint32_t* count) override;
    WinResult EnumValue(RegistryKey key, std::uint32_t index, char16_t* name,
                        std::uint32_t* count) override;
    WinResult DeleteValue(RegistryKey key, const char16_t* name) override;
    WinResult CloseKey(RegistryKey key) override;
};

}  // namespace zarvo::win32
