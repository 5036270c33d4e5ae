#include "substitution/command_store.h"

#include "frame/bounded_format.h"
#include "frame/machine_registry.h"
#include "frame/registry_view.h"

namespace zarvo {
namespace {

constexpr std::int32_t kCommandCount = 20;
constexpr std::size_t kValueNameCapacity = 30;

}  // namespace

void ConsumeSubstitutionCommands(Platform& platform, const char16_t* keyPath,
                                 std::u16string_view pattern, std::uint32_t access,
                                 SubstitutionEngine engine)
{
    const RegistryKeyGuard key(platform.registry, OpenMachineKey(platform.registry, keyPath, access));
    if (key.Get() == 0) return;
    for (std::int32_t number = 0; number < kCommandCount; ++number) {
        char16_t valueName[kValueNameCapacity];
        if (!FormatBounded(valueName, kValueNameCapacity, pattern, {number})) continue;
        // Only a value that holds data is taken up; from here on it is deleted in this pass,
        // so that a command never runs twice, even when its data could not be read or its
        // file could not be rewritten.
        const ValueText command = ReadValueText(platform.registry, key.Get(), valueName);
        if (!command.heldData) continue;
        // The buffer ends as a multi-string even when the data does not.
        if (command.text)
            engine(platform.files, std::span<char16_t>(command.text.get(), command.characters));
        platform.registry.DeleteValue(key.Get(), valueName);
    }
}

}  // namespace zarvo
