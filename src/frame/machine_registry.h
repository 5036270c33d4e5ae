#pragma once
// Keys below HKEY_LOCAL_MACHINE and their values, opened and read the one way every action
// reads them.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "frame/installer_access.h"
#include "platform/registry.h"

namespace zarvo {

// The key below HKEY_LOCAL_MACHINE, or 0 when it does not open, whatever the failed call
// left in its handle.
RegistryKey OpenMachineKey(Registry& registry, const char16_t* path, std::uint32_t access);

// Asks for the value's size (and type, when asked) with a data buffer of no room. The
// buffer must be given: without one the query answers success with the size, and a value
// with no data could not be told from one that has some. The size in bytes when the value
// holds data.
std::optional<std::uint32_t> QueryDataSize(Registry& registry, RegistryKey key,
                                           const char16_t* valueName, std::uint32_t* type);

// A value's data taken as UTF-16 text, whatever its type.
struct ValueText {
    // The value held data when its size was asked; a missing or empty value holds none.
    bool heldData = false;
    // Null when the value held no data, the read of its data failed or the buffer could not
    // be had.
    OwnedText text;
    // The buffer's length in characters, when there is text.
    std::size_t characters = 0;
};

// Asks for the value's size, then reads its data into a zeroed buffer, asked for with two
// bytes more than the size and holding two characters beyond them. So the text, or the
// strings of a multi-string, always end inside the buffer: after an odd number of bytes,
// data without a terminator, or a value that grew between the two queries (whose second
// query then fails).
ValueText ReadValueText(Registry& registry, RegistryKey key, const char16_t* valueName);

}  // namespace zarvo
