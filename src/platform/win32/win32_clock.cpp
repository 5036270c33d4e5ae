#include "platform/win32/win32_clock.h"

#include <windows.h>

#include <cstddef>

namespace zarvo::win32 {

static_assert(sizeof(SystemTime) == sizeof(SYSTEMTIME));
static_assert(offsetof(SystemTime, second) == offsetof(SYSTEMTIME, wSecond));

void Win32Clock::GetLocalTime(SystemTime* time)
{
    ::GetLocalTime(reinterpret_cast<SYSTEMTIME*>(time));
}

std::uint32_t Win32Clock::GetTickCount()
{
    return ::GetTickCount();
}

}  // namespace zarvo::win32
