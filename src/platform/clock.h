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
};

}  // namespace zarvo
