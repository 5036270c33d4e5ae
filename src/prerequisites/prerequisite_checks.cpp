#include "prerequisites/prerequisite_checks.h"

#include <optional>
#include <string_view>

#include "frame/letter_case.h"
#include "frame/machine_registry.h"
#include "frame/registry_view.h"
#include "frame/result_codes.h"
#include "frame/text_scan.h"
#include "frame/versions.h"
#include "prerequisites/key_path.h"

namespace zarvo {
namespace {

// Version and state texts are read into buffers of 25 characters; a longer text is a
// failed read.
constexpr std::uint32_t kVersionTextCapacity = 25;
// A product code read from the registry is held in 100 characters, terminator included.
constexpr std::size_t kProductCodeCapacity = 100;

bool AtLeast(const FourPartVersion& found, const char16_t* required)
{
    return !VersionLess(found, ParseVersion(required));
}

// Opens the row's key below HKEY_LOCAL_MACHINE in the view its prefix names; 0 when it
// does not open.
RegistryKey OpenRowKey(Registry& registry, const PrerequisiteRow& row, bool recognise32)
{
    const ViewedKeyPath keyPath = ViewKeyPath(row.Destination.get(), recognise32);
    return OpenMachineKey(registry, keyPath.path, keyPath.access);
}

// The installation state of a product installed for the whole machine.
std::optional<FourPartVersion> ReadProductState(Installer& installer, const char16_t* productCode)
{
    char16_t state[kVersionTextCapacity];
    std::uint32_t count = kVersionTextCapacity;
    if (installer.GetProductInfo(productCode, nullptr, kInstallContextMachine, u"State", state,
                                 &count) != kErrorSuccess)
        return std::nullopt;
    return ParseVersion(state);
}

// The data's size of a REG_DWORD value; none for a value of another type or without data.
std::optional<std::uint32_t> DwordDataSize(Registry& registry, RegistryKey key,
                                           const char16_t* valueName)
{
    std::uint32_t type = 0;
    const std::optional<std::uint32_t> size = QueryDataSize(registry, key, valueName, &type);
    if (type != kRegDword) return std::nullopt;
    return size;
}

}  // namespace

bool CheckFileVersion(Platform& platform, const PrerequisiteRow& row)
{
    char16_t version[kVersionTextCapacity];
    std::uint32_t count = kVersionTextCapacity;
    if (platform.installer.GetFileVersion(row.Destination.get(), version, &count, nullptr,
                                          nullptr) != kErrorSuccess)
        return false;
    return AtLeast(ParseVersion(version), row.Value.get());
}

bool CheckRegistryVersion(Platform& platform, const PrerequisiteRow& row)
{
    const RegistryKeyGuard key(platform.registry, OpenRowKey(platform.registry, row, true));
    if (key.Get() == 0) return false;
    const OwnedText text = ReadValueText(platform.registry, key.Get(), row.ValueName.get()).text;
    return text && AtLeast(ParseVersion(text.get()), row.Value.get());
}

bool CheckRegistryDWord(Platform& platform, const PrerequisiteRow& row)
{
    const RegistryKeyGuard key(platform.registry, OpenRowKey(platform.registry, row, true));
    if (key.Get() == 0) return false;
    const std::optional<std::uint32_t> dataSize =
        DwordDataSize(platform.registry, key.Get(), row.ValueName.get());
    if (!dataSize) return false;
    // A DWORD value whose data is longer than a number is refused by the read rather than
    // let it write past the number.
    std::uint32_t number = 0;
    std::uint32_t size = *dataSize < sizeof number ? *dataSize : sizeof number;
    if (platform.registry.QueryValue(key.Get(), row.ValueName.get(), nullptr,
                                     reinterpret_cast<std::uint8_t*>(&number), &size) != kErrorSuccess)
        return false;
    const char16_t* value = row.Value.get();
    return ScanNumber(value).value_or(0) <= number;
}

bool CheckProductState(Platform& platform, const PrerequisiteRow& row)
{
    if (!SameIgnoringLetterCase(row.ValueName.get(), u"ValueGreaterThanOrEqualTo")) return false;
    const std::optional<FourPartVersion> state =
        ReadProductState(platform.installer, row.Destination.get());
    return state && AtLeast(*state, row.Value.get());
}

bool CheckInstanceProductState(Platform& platform, const PrerequisiteRow& row)
{
    const RegistryKeyGuard key(platform.registry, OpenRowKey(platform.registry, row, false));
    if (key.Get() == 0) return true;
    const OwnedText productCode =
        ReadValueText(platform.registry, key.Get(), row.ValueName.get()).text;
    // A text too long for a product code names no product.
    if (!productCode || std::u16string_view(productCode.get()).size() >= kProductCodeCapacity)
        return true;
    const std::optional<FourPartVersion> state =
        ReadProductState(platform.installer, productCode.get());
    return !state || VersionLess(*state, ParseVersion(row.Value.get()));
}

}  // namespace zarvo
