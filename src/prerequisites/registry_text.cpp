#include "prerequisites/registry_text.h"

#include <new>

#include "frame/result_codes.h"

namespace zarvo {

OwnedText ReadRegistryText(Registry& registry, RegistryKey key, const char16_t* valueName)
{
    // The data buffer must be given: without one the query answers success with the size,
    // and a value with no data could not be told from one that has some.
    std::uint8_t none[1];
    std::uint32_t size = 0;
    if (registry.QueryValue(key, valueName, nullptr, none, &size) != kErrorMoreData) return nullptr;
    // Two more bytes make room for a terminator that the data may lack. The buffer starts
    // zeroed and holds one character beyond the size passed, so the text is terminated
    // even after an odd number of bytes or a value that grew between the two reads.
    const std::uint64_t bytes = std::uint64_t{size} + sizeof(char16_t);
    if (bytes > 0xFFFFFFFFu) return nullptr;
    OwnedText text(new (std::nothrow) char16_t[(bytes + 1) / sizeof(char16_t) + 1]());
    if (!text) return nullptr;
    size = static_cast<std::uint32_t>(bytes);
    if (registry.QueryValue(key, valueName, nullptr, reinterpret_cast<std::uint8_t*>(text.get()),
                            &size) != kErrorSuccess)
        return nullptr;
    return text;
}

}  // namespace zarvo
