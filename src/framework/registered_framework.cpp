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
std::optional<FourPartVersion> ReadFrameworkSubkey(Registry& registry, const RegistryRead& read,
                                                   NameBuffer& subkeyPath, LogLine& account)
{
    const RegistryKeyGuard policy(registry, OpenMachineKey(registry, kPolicyPath, read.access));
    if (policy.Get() == 0) {
        account << u"key " << kPolicyPath << u" not found in " << read.view;
        return std::nullopt;
    }
    NameBuffer subkey = {};
    if (!ReadLastSubkeyName(registry, policy.Get(), subkey)) {
        account << u"key " << kPolicyPath << u" in " << read.view << u" has no subkey";
        return std::nullopt;
    }
    const FourPartVersion version = ScanSubkeyVersion(subkey);
    const char16_t* unusable = nullptr;
    if (version.part1 == 0)
        unusable = u", is not \"v\" and a number above 0";
    else if (!FormatBounded(subkeyPath, kPathCapacity, u"%s\\%s", {kPolicyPath, subkey}))
        unusable = u", is too long for a key path";
    if (unusable != nullptr) {
        account << u"the last subkey of key " << kPolicyPath << u" in " << read.view << u", ";
        account.Quoted(subkey) << unusable;
        return std::nullopt;
    }
    return version;
}

}  // namespace

std::optional<FourPartVersion> ReadRegisteredFrameworkVersion(Registry& registry, LogLine& account)
{
    // One view for both keys, asked once.
    const RegistryRead read = RegistryReadView(registry, kKeyRead);
    NameBuffer subkeyPath = {};
    std::optional<FourPartVersion> version = ReadFrameworkSubkey(registry, read, subkeyPath, account);
    if (!version) return std::nullopt;
    const RegistryKeyGuard framework(registry, OpenMachineKey(registry, subkeyPath, read.access));
    if (framework.Get() == 0) {
        account << u"key " << subkeyPath << u" could not be opened in " << read.view;
        return std::nullopt;
    }
    NameBuffer valueName = {};
    if (!ReadLastValueName(registry, framework.Get(), valueName)) {
        account << u"key " << subkeyPath << u" in " << read.view << u" has no value";
        return std::nullopt;
    }
    version->part3 = static_cast<std::uint32_t>(ScanClampedInteger(valueName));
    account << u"key " << subkeyPath << u" in " << read.view << u" and its last value ";
    account.Quoted(valueName);
    return version;
}

}  // namespace zarvo
