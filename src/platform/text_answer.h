#pragma once
// The installer's way of handing a text back, for the machines that answer in its place: the
// length needed on 234, the text and its length on 0, the text cut to the buffer when it does
// not fit (as Windows does).
#include <cstdint>
#include <string_view>

#include "installer.h"

namespace zarvo {

inline WinResult CopyTextOut(std::u16string_view text, char16_t* buffer, std::uint32_t* count)
{
    constexpr WinResult kSuccess = 0;
    constexpr WinResult kInvalidParameter = 87;
    constexpr WinResult kMoreData = 234;
    if (count == nullptr) return buffer == nullptr ? kSuccess : kInvalidParameter;
    const std::uint32_t capacity = *count;
    *count = static_cast<std::uint32_t>(text.size());
    if (buffer == nullptr) return kSuccess;
    if (text.size() < capacity) {
        text.copy(buffer, text.size());
        buffer[text.size()] = u'\0';
        return kSuccess;
    }
    if (capacity > 0) {
        text.copy(buffer, capacity - 1);
        buffer[capacity - 1] = u'\0';
    }
    return kMoreData;
}

}  // namespace zarvo
