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

struct Decimal {
    bool negative = false;
    std::uint64_t magnitude = 0;  // above kLargestPart once the digits exceed 32 bits
};

// White space, one optional sign and decimal digits; none, with text unmoved, when no
// digit follows the white space and sign.
std::optional<Decimal> ScanDecimal(const char16_t*& text)
{
    const char16_t* p = text;
    while (IsScanSpace(*p)) ++p;
    Decimal decimal;
    decimal.negative = *p == u'-';
    if (*p == u'-' || *p == u'+') ++p;
    if (!IsDigit(*p)) return std::nullopt;
    for (; IsDigit(*p); ++p)
        if (decimal.magnitude <= kLargestPart) decimal.magnitude = decimal.magnitude * 10 + (*p - u'0');
    text = p;
    return decimal;
}

}  // namespace

std::optional<std::uint32_t> ScanNumber(const char16_t*& text)
{
    const std::optional<Decimal> decimal = ScanDecimal(text);
    if (!decimal) return std::nullopt;
    if (decimal->magnitude > kLargestPart) return static_cast<std::uint32_t>(kLargestPart);
    const auto part = static_cast<std::uint32_t>(decimal->magnitude);
    return decimal->negative ? 0u - part : part;
}

std::int32_t ScanClampedInteger(const char16_t* text)
{
    const std::optional<Decimal> decimal = ScanDecimal(text);
    if (!decimal) return 0;
    constexpr std::uint64_t kLargestPositive = 0x7FFFFFFF;
    if (decimal->negative) {
        if (decimal->magnitude > kLargestPositive) return INT32_MIN;
        return -static_cast<std::int32_t>(decimal->magnitude);
    }
    if (decimal->magnitude > kLargestPositive) return INT32_MAX;
    return static_cast<std::int32_t>(decimal->magnitude);
}

}  // namespace zarvo
