#include "frame/machine_registry.h"

#include <new>

#include "frame/result_codes.h"

namespace zarvo {

RegistryKey OpenMachineKey(Registry& registry, const char16_t* path, std::uint32_t access)
{
    RegistryKey key = 0;
    if (registry.OpenKey(kLocalMachine, path, 0, access, &key) != kErrorSuccess) return 0;
    return key;
}

bool QueryDataSize(Registry& registry, RegistryKey key, const char16_t* valueName,
                   std::uint32_t* type, std::uint32_t& size)
{
    std::uint8_t none[1];
    size = 0;
    return registry.QueryValue(key, valueName, type, none, &size) == kErrorMoreData;
}

OwnedText ReadDataAsText(Registry& registry, RegistryKey key, const char16_t* valueName,
                         std::uint32_t size, std::size_t* characters)
{
    const std::uint64_t bytes = std::uint64_t{size} + sizeof(char16_t);
    if (bytes > 0xFFFFFFFFu) return nullptr;
    const std::size_t length = (bytes + 1) / sizeof(char16_t) + 2;
    OwnedText text(new (std::nothrow) char16_t[length]());
    if (!text) return nullptr;
    auto read = static_cast<std::uint32_t>(bytes);
    if (registry.QueryValue(key, valueName, nullptr, reinterpret_cast<std::uint8_t*>(text.get()),
                            &read) != kErrorSuccess)
        return nullptr;
    if (characters != nullptr) *characters = length;
    return text;
}

}  // namespace zarvo
