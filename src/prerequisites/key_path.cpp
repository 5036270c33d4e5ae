#include "prerequisites/key_path.h"

#include <string_view>

#include "frame/letter_case.h"
#include "platform/registry.h"

namespace zarvo {
namespace {

constexpr std::u16string_view kPrefix64 = u"key_wow64_64key:";
constexpr std::u16string_view kPrefix32 = u"key_wow64_32key:";

bool BeginsWith(std::u16string_view text, std::u16string_view prefix)
{
    return text.size() >= prefix.size() && SameIgnoringLetterCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

ViewedKeyPath ViewKeyPath(const char16_t* destination, bool recognise32)
{
    const std::u16string_view text(destination);
    if (BeginsWith(text, kPrefix64))
        return {destination + kPrefix64.size(), kKeyRead | kKeyWow64_64Key};
    if (recognise32 && BeginsWith(text, kPrefix32))
        return {destination + kPrefix32.size(), kKeyRead | kKeyWow64_32Key};
    return {destination, kKeyRead};
}

}  // namespace zarvo
