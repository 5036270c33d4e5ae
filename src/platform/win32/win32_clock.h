#pragma once
// Windows only: the machine's local time.
#include "platform/clock.h"

namespace zarvo::win32 {

class Win32Clock final : public Clock {
public:
    void GetLocalTime(SystemTime* time) override;
};

}  // namespace zarvo::win32
