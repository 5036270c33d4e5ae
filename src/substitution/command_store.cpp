#include "substitution/command_store.h"

#include <memory>
#include <new>

#include "frame/bounded_format.h"
#include "frame/registry_view.h"
#include "frame/result_codes.h"

namespace zarvo {
namespace {

constexpr std::int32_t kCommandCount = 20;
constexpr std::size_t kValueNameCapacity = 30;

// Reads the command and runs the engine on it. The buffer is zeroed and two characters
// longer than the data with its two extra bytes, so it ends as a multi-string even when
// the data does not.
void RunCommand(Platform& platform, RegistryKey key, const char16_t* valueName, std::uint32_t size,
                SubstitutionEngine engine)
{
    const std::uint64_t bytes = std::uint64_t{size} + 2;
    if (bytes > 0xFFFFFFFFu) return;
    const std::size_t characters = (bytes + 1) / 2 + 2;
    const std::unique_ptr<char16_t[]> command(new (std::nothrow) char16_t[characters]());
    if (!command) return;
    auto read = static_cast<std::uint32_t>(bytes);
    if (platform.registry.QueryValue(key, valueName, nullptr,
                                     reinterpret_cast<std::uint8_t*>(command.get()), &read) !=
        kErrorSuccess)
        return;
    engine(platform.files, std::span<char16_t>(command.get(), characters));
}

}  // namespace

void ConsumeSubstitutionCommands(Platform& platform, const char16_t* keyPath,
                                 std::u16string_view pattern, std::uint32_t access,
                                 SubstitutionEngine engine)
{
    RegistryKey opened = 0;
    if (platform.registry.OpenKey(kLocalMachine, keyPath, 0, access, &opened) != kErrorSuccess)
        return;
    const RegistryKeyGuard key(platform.registry, opened);
    for (std::int32_t number = 0; number < kCommandCount; ++number) {
        char16_t valueName[kValueNameCapacity];
        if (!FormatBounded(valueName, kValueNameCapacity, pattern, {number})) continue;
        std::uint8_t none[1];
        std::uint32_t size = 0;
        // Only a value that holds data is taken up; from here on it is deleted in this pass,
        // so that a command never runs twice, even when its file could not be rewritten.
        if (platform.registry.QueryValue(key.Get(), valueName, nullptr, none, &size) != kErrorMoreData)
            continue;
        RunCommand(platform, key.Get(), valueName, size, engine);
        platform.registry.DeleteValue(key.Get(), valueName);
    }
}

}  // namespace zarvo
