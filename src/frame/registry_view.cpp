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

std::uint32_t RegistryReadAccess(Registry& registry, std::uint32_t base)
{
    return IsWow64(registry) ? base | kKeyWow64_64Key : base;
}

}  // namespace zarvo
