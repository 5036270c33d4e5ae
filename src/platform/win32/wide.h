#pragma once
// Windows only: the library's UTF-16 texts, counts and handles handed to the Windows API.
#include <windows.h>

#include <cstdint>

namespace zarvo::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");
static_assert(sizeof(DWORD) == sizeof(std::uint32_t));
static_assert(sizeof(HANDLE) == sizeof(std::uintptr_t));

inline const wchar_t* Wide(const char16_t* text)
{
    return reinterpret_cast<const wchar_t*>(text);
}

inline wchar_t* Wide(char16_t* text)
{
    return reinterpret_cast<wchar_t*>(text);
}

inline DWORD* Count(std::uint32_t* count)
{
    return reinterpret_cast<DWORD*>(count);
}

inline HANDLE Native(std::uintptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace zarvo::win32
