#pragma once
#include <cstdint>

namespace zarvo {

// The fields of SYSTEMTIME, in its order and with its widths.
struct SystemTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t dayOfWeek = 0;
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual void GetLocalTime(SystemTime* time) = 0;
    // Milliseconds since Windows started, wrapping to 0 after about 49.7 days: the time
    // between two readings is their difference, taken modulo 2^32.
    virtual std::uint32_t GetTickCount() = 0;
};

}  // namespace zarvo
