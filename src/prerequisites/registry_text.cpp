#include "prerequisites/registry_text.h"

#include "frame/machine_registry.h"

namespace zarvo {

OwnedText ReadRegistryText(Registry& registry, RegistryKey key, const char16_t* valueName)
{
    std::uint32_t size = 0;
    if (!QueryDataSize(registry, key, valueName, nullptr, size)) return nullptr;
    return ReadDataAsText(registry, key, valueName, size);
}

}  // namespace zarvo
