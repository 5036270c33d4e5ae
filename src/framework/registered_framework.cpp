#include "framework/registered_framework.h"

#include "frame/bounded_format.h"
#include "frame/capacities.h"
#include "frame/machine_registry.h"
#include "frame/registry_view.h"
#include "frame/result_codes.h"
#include "frame/text_scan.h"

namespace zarvo {
namespace {

constexpr const char16_t* kPolicyPath = u"SOFTWARE\\Microsoft\\.NETFramework\\Policy";
// Key and value names, and the subkey's path.
using NameBuffer = char16_t[kPathCapacity];

// "v%d.%d": the v must match exactly; a number that does not parse leaves its part 0.
FourPartVersion ScanSubkeyVersion(const char16_t* name)
{
    FourPartVersion version;
    if (*name != u'v') return version;
    ++name;
    const std::optional<std::uint32_t> major = ScanNumber(name);
    if (!major) return version;
    version.part1 = *major;
    if (*name != u'.') return version;
    ++name;
    version.part2 = ScanNumber(name).value_or(0);
    return version;
}

// The name of the last subkey in the registry's order: a Windows-sorted list ends with the
// highest version.
bool ReadLastSubkeyName(Registry& registry, RegistryKey key, NameBuffer& name)
{
    std::uint32_t subKeys = 0;
    if (registry.QueryInfoKey(key, &subKeys, nullptr) != kErrorSuccess || subKeys == 0) return false;
    std::uint32_t count = kPathCapacity;
    return registry.EnumKey(key, subKeys - 1, name, &count) == kErrorSuccess;
}

bool ReadLastValueName(Registry& registry, RegistryKey key, NameBuffer& name)
{
    std::uint32_t values = 0;
    if (registry.QueryInfoKey(key, nullptr, &values) != kErrorSuccess || values == 0) return false;
    std::uint32_t count = kPathCapacity;
    return registry.EnumValue(key, values - 1, name, &count) == kErrorSuccess;
}

// The major and minor parts, with the policy subkey's path written into subkeyPath; none
// when no framework of the form "v" and a non-zero number is registered, or when its path
// does not fit.
std::optional<FourPartVersion> ReadFrameworkSubkey(Registry& registry, std::uint32_t access,
                                                   NameBuffer& subkeyPath)
{
    const RegistryKeyGuard policy(registry, OpenMachineKey(registry, kPolicyPath, access));
    if (policy.Get() == 0) return std::nullopt;
    NameBuffer subkey = {};
    if (!ReadLastSubkeyName(registry, policy.Get(), subkey)) return std::nullopt;
    const FourPartVersion version = ScanSubkeyVersion(subkey);
    if (version.part1 == 0) return std::nullopt;
    if (!FormatBounded(subkeyPath, kPathCapacity, u"%s\\%s", {kPolicyPath, subkey}))
        return std::nullopt;
    return version;
}

}  // namespace

std::optional<FourPartVersion> ReadRegisteredFrameworkVersion(Registry& registry)
{
    // One view for both keys, asked once.
    const std::uint32_t access = RegistryReadAccess(registry, kKeyRead);
    NameBuffer subkeyPath = {};
    std::optional<FourPartVersion> version = ReadFrameworkSubkey(registry, access, subkeyPath);
    if (!version) return std::nullopt;
    const RegistryKeyGuard framework(registry, OpenMachineKey(registry, subkeyPath, access));
    if (framework.Get() == 0) return std::nullopt;
    NameBuffer valueName = {};
    if (!ReadLastValueName(registry, framework.Get(), valueName)) return std::nullopt;
    version->part3 = static_cast<std::uint32_t>(ScanClampedInteger(valueName));
    return version;
}

}  // namespace zarvo
