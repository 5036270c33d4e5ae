#include "frame/text_scan.h"

namespace zarvo {
namespace {

constexpr std::uint64_t kLargestPart = 0xFFFFFFFF;

bool IsScanSpace(char16_t c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

}  // namespace

bool ScanNumber(const char16_t*& text, std::uint32_t& value)
{
    const char16_t* p = text;
    while (IsScanSpace(*p)) ++p;
    const bool negative = *p == u'-';
    if (*p == u'-' || *p == u'+') ++p;
    if (!IsDigit(*p)) return false;
    std::uint64_t magnitude = 0;
    for (; IsDigit(*p); ++p)
        if (magnitude <= kLargestPart) magnitude = magnitude * 10 + (*p - u'0');
    if (magnitude > kLargestPart) {
        value = static_cast<std::uint32_t>(kLargestPart);
    } else {
        const auto part = static_cast<std::uint32_t>(magnitude);
        value = negative ? 0u - part : part;
    }
    text = p;
    return true;
}

}  // namespace zarvo
