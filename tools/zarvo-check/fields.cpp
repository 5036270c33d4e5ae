#include "fields.h"

#include <limits>

namespace zarvo::check {

std::u16string TextOf(const Field& field)
{
    return field.value_or(std::u16string());
}

std::optional<std::int32_t> IntegerOf(const Field& field)
{
    if (!field) return std::nullopt;
    std::u16string_view digits = *field;
    const bool negative = !digits.empty() && digits.front() == u'-';
    if (negative) digits.remove_prefix(1);
    if (digits.empty()) return std::nullopt;
    std::int64_t magnitude = 0;
    for (const char16_t c : digits) {
        if (c < u'0' || c > u'9') return std::nullopt;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return std::nullopt;
    }
    const std::int64_t number = negative ? -magnitude : magnitude;
    if (number > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(number);
}

}  // namespace zarvo::check
