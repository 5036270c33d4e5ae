#include "frame/machine_registry.h"

#include <new>
#include <utility>

#include "frame/result_codes.h"

namespace zarvo {

RegistryKey OpenMachineKey(Registry& registry, const char16_t* path, std::uint32_t access)
{
    RegistryKey key = 0;
    if (registry.OpenKey(kLocalMachine, path, 0, access, &key) != kErrorSuccess) return 0;
    return key;
}

std::optional<std::uint32_t> QueryDataSize(Registry& registry, RegistryKey key,
                                           const char16_t* valueName, std::uint32_t* type)
{
    std::uint8_t none[1];
    std::uint32_t size = 0;
    if (registry.QueryValue(key, valueName, type, none, &size) != kErrorMoreData) return std::nullopt;
    return size;
}

namespace {

// The value's `size` bytes of data, which the size query found there.
ValueText ReadDataAsText(Registry& registry, RegistryKey key, const char16_t* valueName,
                         std::uint32_t size)
{
    ValueText value;
    value.heldData = true;
    const std::uint64_t bytes = std::uint64_t{size} + sizeof(char16_t);
    if (bytes > 0xFFFFFFFFu) return value;
    const std::size_t length = (bytes + 1) / sizeof(char16_t) + 2;
    OwnedText text(new (std::nothrow) char16_t[length]());
    if (!text) return value;
    auto read = static_cast<std::uint32_t>(bytes);
    if (registry.QueryValue(key, valueName, nullptr, reinterpret_cast<std::uint8_t*>(text.get()),
                            &read) != kErrorSuccess)
        return value;
    value.text = std::move(text);
    value.characters = length;
    return value;
}

}  // namespace

ValueText ReadValueText(Registry& registry, RegistryKey key, const char16_t* valueName)
{
    const std::optional<std::uint32_t> size = QueryDataSize(registry, key, valueName, nullptr);
    if (!size) return {};
    return ReadDataAsText(registry, key, valueName, *size);
}

}  // namespace zarvo
