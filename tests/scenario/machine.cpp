#include "scenario/machine.h"

namespace zarvo::test {
namespace {

std::vector<std::uint8_t> Utf16LeBytes(std::u16string_view text)
{
    std::vector<std::uint8_t> data;
    for (char16_t c : text) data.insert(data.end(), {static_cast<std::uint8_t>(c & 0xFF),
                                                      static_cast<std::uint8_t>(c >> 8)});
    return data;
}

}  // namespace

void Machine::WriteRegistryText(const std::u16string& path, const std::u16string& name,
                                const std::u16string& text, std::uint32_t view)
{
    WriteRegistryValue(path, name, kRegSz, Utf16LeBytes(text + u'\0'), view);
}

void Machine::WriteRegistryMultiString(const std::u16string& path, const std::u16string& name,
                                       const std::vector<std::u16string>& strings,
                                       std::uint32_t view)
{
    std::u16string text;
    for (const std::u16string& string : strings) text += string + u'\0';
    WriteRegistryValue(path, name, kRegMultiSz, Utf16LeBytes(text + u'\0'), view);
}

void Machine::WriteRegistryDword(const std::u16string& path, const std::u16string& name,
                                 std::uint32_t value, std::uint32_t view)
{
    std::vector<std::uint8_t> data;
    for (int shift = 0; shift < 32; shift += 8) data.push_back(static_cast<std::uint8_t>(value >> shift));
    WriteRegistryValue(path, name, kRegDword, data, view);
}

bool Machine::HasRegistryValue(const std::u16string& path, const std::u16string& name,
                               std::uint32_t view)
{
    Registry& registry = platform().registry;
    RegistryKey key = 0;
    if (registry.OpenKey(kLocalMachine, path.c_str(), 0, kKeyRead | view, &key) != 0) return false;
    std::uint32_t size = 0;
    const bool found = registry.QueryValue(key, name.c_str(), nullptr, nullptr, &size) == 0;
    registry.CloseKey(key);
    return found;
}

std::string Narrow(const std::u16string& text)
{
    std::string narrow;
    for (char16_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

}  // namespace zarvo::test
