#include "scenario/machine.h"

namespace zarvo::test {

void Machine::WriteRegistryText(const std::u16string& path, const std::u16string& name,
                                const std::u16string& text, std::uint32_t view)
{
    std::vector<std::uint8_t> data;
    for (char16_t c : text) data.insert(data.end(), {static_cast<std::uint8_t>(c & 0xFF),
                                                      static_cast<std::uint8_t>(c >> 8)});
    data.insert(data.end(), {0, 0});
    WriteRegistryValue(path, name, kRegSz, data, view);
}

void Machine::WriteRegistryDword(const std::u16string& path, const std::u16string& name,
                                 std::uint32_t value, std::uint32_t view)
{
    std::vector<std::uint8_t> data;
    for (int shift = 0; shift < 32; shift += 8) data.push_back(static_cast<std::uint8_t>(value >> shift));
    WriteRegistryValue(path, name, kRegDword, data, view);
}

std::string Narrow(const std::u16string& text)
{
    std::string narrow;
    for (char16_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

}  // namespace zarvo::test
