#include "platform/libmsi/libmsi_text.h"

#include <glib.h>

#include <memory>

#include "platform/libmsi/libmsi_object.h"

namespace zarvo::libmsi {
namespace {

static_assert(sizeof(gunichar2) == sizeof(char16_t));

struct UnitsFree {
    void operator()(gunichar2* units) const { g_free(units); }
};

}  // namespace

std::optional<std::string> ToUtf8(const char16_t* text)
{
    glong written = 0;
    const GlibText converted{g_utf16_to_utf8(reinterpret_cast<const gunichar2*>(text), -1, nullptr,
                                             &written, nullptr)};
    if (!converted) return std::nullopt;
    return std::string(converted.get(), static_cast<std::size_t>(written));
}

std::u16string ToUtf16(const char* text)
{
    const GlibText valid{g_utf8_make_valid(text, -1)};
    glong written = 0;
    const std::unique_ptr<gunichar2, UnitsFree> units{
        g_utf8_to_utf16(valid.get(), -1, nullptr, &written, nullptr)};
    if (!units) return {};
    return std::u16string(reinterpret_cast<const char16_t*>(units.get()),
                          static_cast<std::size_t>(written));
}

}  // namespace zarvo::libmsi
