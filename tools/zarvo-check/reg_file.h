#pragma once
// A machine described as regedit exports it: the keys and values of HKEY_LOCAL_MACHINE that
// a .reg file holds, read from the file's bytes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace zarvo::check {

// A key, as the simulated registry is told it: its path below HKEY_LOCAL_MACHINE and the
// view that holds it. The machine is 64-bit Windows: a key under SOFTWARE\Wow6432Node is
// SOFTWARE's key in the 32-bit view (kKeyWow64_32Key), every other key is in the 64-bit
// view (kKeyWow64_64Key).
struct RegKey {
    std::u16string path;
    std::uint32_t view = 0;

    bool operator==(const RegKey&) const = default;
};

struct RegValue {
    std::u16string keyPath;  // as RegKey::path
    std::uint32_t view = 0;
    std::u16string name;     // empty: the key's default value (@)
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;  // as RegQueryValueExW gives it: text in UTF-16LE

    bool operator==(const RegValue&) const = default;
};

struct MachineDescription {
    std::vector<RegKey> keys;      // every key of HKEY_LOCAL_MACHINE the file names, in order
    std::vector<RegValue> values;  // in order: a later value of the same name replaces one before
};

struct RegFileError {
    std::size_t line = 0;  // from 1
    std::string message;   // UTF-8, without the file's name or the line
};

// Reads a "Windows Registry Editor Version 5.00" file (UTF-16LE with its byte-order mark, as
// regedit writes it, or UTF-8 with or without its mark) or a "REGEDIT4" file (single-byte
// text, whose string data is widened to UTF-16LE). Keys of roots other than
// HKEY_LOCAL_MACHINE are read and left out; a file that removes keys or values is refused.
std::variant<MachineDescription, RegFileError> ReadRegFile(std::span<const std::uint8_t> bytes);

}  // namespace zarvo::check
