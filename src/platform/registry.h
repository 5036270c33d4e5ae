#pragma once
// The machine-wide registry as the actions see it: RegOpenKeyExW and its companions with
// their Windows answers, and the run-time WOW64 question.
#include <cstdint>

#include "installer.h"

namespace zarvo {

using RegistryKey = std::uintptr_t;  // an HKEY value; 0 means no key
inline constexpr RegistryKey kLocalMachine = 0x80000002;

inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;
inline constexpr std::uint32_t kKeyWow64_64Key = 0x100;
inline constexpr std::uint32_t kKeyWow64_32Key = 0x200;

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

class Registry {
public:
    virtual ~Registry() = default;
    // Looks IsWow64Process up in kernel32 at run time and calls it for the running
    // process. Answers false when kernel32 has no such function (flag untouched);
    // otherwise true, with the flag as the call left it (untouched if the call failed).
    virtual bool CallIsWow64Process(std::int32_t* flag) = 0;
    virtual WinResult OpenKey(RegistryKey root, const char16_t* subKey, std::uint32_t options,
                              std::uint32_t access, RegistryKey* key) = 0;
    // RegQueryValueExW: type may be null; with data null the size is reported and the
    // answer is 0; with data given and the size too small the answer is 234 and the
    // size needed is written back.
    virtual WinResult QueryValue(RegistryKey key, const char16_t* name, std::uint32_t* type,
                                 std::uint8_t* data, std::uint32_t* size) = 0;
    // RegQueryInfoKeyW, reduced to the two counts the actions ask for (either may be null).
    virtual WinResult QueryInfoKey(RegistryKey key, std::uint32_t* subKeys,
                                   std::uint32_t* values) = 0;
    // RegEnumKeyExW / RegEnumValueW for the name only: count in characters, terminator
    // included on the way in, excluded on the way out.
    virtual WinResult EnumKey(RegistryKey key, std::uint32_t index, char16_t* name,
                              std::uint32_t* count) = 0;
    virtual WinResult EnumValue(RegistryKey key, std::uint32_t index, char16_t* name,
                                std::uint32_t* count) = 0;
    virtual WinResult DeleteValue(RegistryKey key, const char16_t* name) = 0;
    virtual WinResult CloseKey(RegistryKey key) = 0;
};

}  // namespace zarvo
