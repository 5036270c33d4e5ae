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
#include "prerequisites/prerequisite_log.h"
#include "prerequisites/row_kinds.h"

namespace zarvo {
namespace {

// Version and state texts are read into buffers of 25 characters; a longer text is a
// failed read.
constexpr std::uint32_t kVersionTextCapacity = 25;
// A product code read from the registry is held in 100 characters, terminator included.
constexpr std::size_t kProductCodeCapacity = 100;

// Adds how the version found stands to the one Value asks for; true when it is below.
bool WriteBelowValue(LogLine& reading, const FourPartVersion& found, const char16_t* value)
{
    return WriteBelow(reading, found, ParseVersion(value));
}

// Opens the row's key below HKEY_LOCAL_MACHINE in the view its prefix names; 0 when it
// does not open. The reading names the row's value in that key, `value "NAME" of key PATH
// in VIEW`, or says `key PATH not found in VIEW`.
RegistryKey OpenRowKey(Registry& registry, const PrerequisiteRow& row, bool recognise32,
                       LogLine& reading)
{
    const ViewedKeyPath keyPath = ViewKeyPath(row.Destination.get(), recognise32);
    const char16_t* const view = RegistryViewName(keyPath.access, IsWow64(registry));
    const RegistryKey key = OpenMachineKey(registry, keyPath.path, keyPath.access);
    if (key == 0)
        reading << u"key " << keyPath.path << u" not found in " << view;
    else
        WriteValueOfKey(reading, row.ValueName.get(), keyPath.path, view);
    return key;
}

// The row's value, taken as text, from its key opened in the view the prefix names; null
// when the key or the value cannot be read, the reading telling which.
OwnedText ReadRowText(Registry& registry, const PrerequisiteRow& row, bool recognise32,
                      LogLine& reading)
{
    const RegistryKeyGuard key(registry, OpenRowKey(registry, row, recognise32, reading));
    if (key.Get() == 0) return nullptr;
    ValueText value = ReadValueText(registry, key.Get(), row.ValueName.get());
    if (!value.text) reading << (value.heldData ? u" could not be read" : u" is missing or empty");
    return std::move(value.text);
}

// The installation state of a product installed for the whole machine, added to the reading
// as `product {...} in state "5", read as 5.0.0.0`, or with the reason there is none.
std::optional<FourPartVersion> ReadProductState(Installer& installer, const char16_t* productCode,
                                                LogLine& reading)
{
    reading << u"product " << productCode;
    char16_t state[kVersionTextCapacity];
    std::uint32_t count = kVersionTextCapacity;
    const WinResult read =
        installer.GetProductInfo(productCode, nullptr, kInstallContextMachine, u"State", state, &count);
    if (read != kErrorSuccess) {
        reading << u" without a state for the machine (error " << read << u")";
        return std::nullopt;
    }
    reading << u" in state ";
    return WriteVersionText(reading, state);
}

}  // namespace

CheckResult CheckFileVersion(Platform& platform, const PrerequisiteRow& row)
{
    CheckResult result;
    result.reading << u"file " << row.Destination.get();
    char16_t version[kVersionTextCapacity];
    std::uint32_t count = kVersionTextCapacity;
    const WinResult read =
        platform.installer.GetFileVersion(row.Destination.get(), version, &count, nullptr, nullptr);
    if (read != kErrorSuccess) {
        result.reading << u" has no readable version (error " << read << u")";
        return result;
    }
    result.reading << u" has version " << version;
    result.passed = !WriteBelowValue(result.reading, ParseVersion(version), row.Value.get());
    return result;
}

CheckResult CheckRegistryVersion(Platform& platform, const PrerequisiteRow& row)
{
    CheckResult result;
    const OwnedText text = ReadRowText(platform.registry, row, true, result.reading);
    if (!text) return result;
    result.reading << u" holds ";
    const FourPartVersion found = WriteVersionText(result.reading, text.get());
    result.passed = !WriteBelowValue(result.reading, found, row.Value.get());
    return result;
}

CheckResult CheckRegistryDWord(Platform& platform, const PrerequisiteRow& row)
{
    CheckResult result;
    const RegistryKeyGuard key(platform.registry,
                               OpenRowKey(platform.registry, row, true, result.reading));
    if (key.Get() == 0) return result;
    std::uint32_t type = 0;
    const std::optional<std::uint32_t> dataSize =
        QueryDataSize(platform.registry, key.Get(), row.ValueName.get(), &type);
    if (!dataSize) {
        result.reading << u" is missing or empty";
        return result;
    }
    if (type != kRegDword) {
        result.reading << u" is not a REG_DWORD (type " << type << u")";
        return result;
    }
    // A DWORD value whose data is longer than a number is refused by the read rather than
    // let it write past the number.
    std::uint32_t number = 0;
    std::uint32_t size = *dataSize < sizeof number ? *dataSize : sizeof number;
    const WinResult read = platform.registry.QueryValue(
        key.Get(), row.ValueName.get(), nullptr, reinterpret_cast<std::uint8_t*>(&number), &size);
    if (read != kErrorSuccess) {
        result.reading << u" could not be read (error " << read << u")";
        return result;
    }
    const char16_t* value = row.Value.get();
    const std::uint32_t minimum = ScanNumber(value).value_or(0);
    result.reading << u" holds the DWORD " << number
                   << (number < minimum ? u", which is below " : u", which is not below ") << minimum;
    result.passed = minimum <= number;
    return result;
}

CheckResult CheckProductState(Platform& platform, const PrerequisiteRow& row)
{
    CheckResult result;
    if (!SameIgnoringLetterCase(row.ValueName.get(), kStateKeyword)) {
        WriteNotKeyword(result.reading, row.ValueName.get(), kStateKeyword);
        return result;
    }
    const std::optional<FourPartVersion> state =
        ReadProductState(platform.installer, row.Destination.get(), result.reading);
    result.passed = state && !WriteBelowValue(result.reading, *state, row.Value.get());
    return result;
}

CheckResult CheckInstanceProductState(Platform& platform, const PrerequisiteRow& row)
{
    CheckResult result;
    result.passed = true;
    const OwnedText productCode = ReadRowText(platform.registry, row, false, result.reading);
    if (!productCode) return result;
    // A text too long for a product code names no product.
    const std::size_t length = std::u16string_view(productCode.get()).size();
    if (length >= kProductCodeCapacity) {
        result.reading << u" holds " << static_cast<std::uint32_t>(length)
                       << u" characters, too many for a product code";
        return result;
    }
    result.reading << u" names ";
    const std::optional<FourPartVersion> state =
        ReadProductState(platform.installer, productCode.get(), result.reading);
    result.passed = !state || WriteBelowValue(result.reading, *state, row.Value.get());
    return result;
}

}  // namespace zarvo
