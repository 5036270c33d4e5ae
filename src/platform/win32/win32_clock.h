#pragma once
// Windows only: the machine's local time and tick count.
#include "platform/clock.h"

namespace zarvo::win32 {

class Win32Clock final : public Clock {
public:
    void GetLocalTime(SystemTime* time) override;
    std::uint32_t GetTickCount() override;
};

}  // namespace zarvo::win32
