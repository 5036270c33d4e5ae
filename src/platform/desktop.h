#pragma once
// Message boxes and top-level windows.
#include <cstdint>

namespace zarvo {

using WindowHandle = std::uintptr_t;  // 0 means no window

inline constexpr std::uint32_t kMbOk = 0;
inline constexpr std::uint32_t kMbIconInformation = 0x40;
inline constexpr std::uint32_t kWmSysCommand = 0x0112;
inline constexpr std::uintptr_t kScClose = 0xF060;

class Desktop {
public:
    virtual ~Desktop() = default;
    virtual int ShowMessageBox(WindowHandle owner, const char16_t* text, const char16_t* caption,
                               std::uint32_t type) = 0;
    virtual WindowHandle FindTopLevelWindow(const char16_t* className, const char16_t* title) = 0;
    virtual std::intptr_t Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam) = 0;
};

}  // namespace zarvo
