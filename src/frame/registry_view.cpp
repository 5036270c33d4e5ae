#include "frame/registry_view.h"

namespace zarvo {

bool IsWow64(Registry& registry)
{
    // What IsWow64Process itself answers is not looked at: a call that fails without
    // setting the flag leaves it 0, which means no WOW64.
    std::int32_t flag = 0;
    if (!registry.CallIsWow64Process(&flag)) return false;
    return flag != 0;
}

const char16_t* RegistryViewName(std::uint32_t access, bool wow64)
{
    if (!wow64) return u"the one view";
    return (access & kKeyWow64_64Key) != 0 ? u"the 64-bit view" : u"the 32-bit view";
}

std::uint32_t RegistryReadAccess(Registry& registry, std::uint32_t base)
{
    return RegistryReadView(registry, base).access;
}

RegistryRead RegistryReadView(Registry& registry, std::uint32_t base)
{
    const bool wow64 = IsWow64(registry);
    const std::uint32_t access = wow64 ? base | kKeyWow64_64Key : base;
    return {access, RegistryViewName(access, wow64)};
}

LogLine& WriteValueOfKey(LogLine& line, const char16_t* valueName, const char16_t* keyPath,
                         const char16_t* view) noexcept
{
    line << u"value ";
    return line.Quoted(valueName) << u" of key " << keyPath << u" in " << view;
}

}  // namespace zarvo
