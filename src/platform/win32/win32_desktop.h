#pragma once
// Desktop over the Windows user-interface calls, one call each.
#include "platform/desktop.h"

namespace zarvo::win32 {

class Win32Desktop final : public Desktop {
public:
    int ShowMessageBox(WindowHandle owner, const char16_t* text, const char16_t* caption,
                       std::uint32_t type) override;
    WindowHandle FindTopLevelWindow(const char16_t* className, const char16_t* title) override;
    std::intptr_t Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam) override;
};

}  // namespace zarvo::win32
