#include "platform/win32/win32_desktop.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace zarvo::win32 {
namespace {

HWND Window(WindowHandle window)
{
    return reinterpret_cast<HWND>(window);
}

}  // namespace

int Win32Desktop::ShowMessageBox(WindowHandle owner, const char16_t* text,
                                 const char16_t* caption, std::uint32_t type)
{
    return MessageBoxW(Window(owner), Wide(text), Wide(caption), type);
}

WindowHandle Win32Desktop::FindTopLevelWindow(const char16_t* className, const char16_t* title)
{
    return reinterpret_cast<WindowHandle>(FindWindowW(Wide(className), Wide(title)));
}

std::intptr_t Win32Desktop::Send(WindowHandle window, std::uint32_t message,
                                 std::uintptr_t wParam, std::intptr_t lParam)
{
    return SendMessageW(Window(window), message, wParam, lParam);
}

}  // namespace zarvo::win32
