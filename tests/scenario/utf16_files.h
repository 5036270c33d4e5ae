#pragma once
// UTF-16LE files as the XML rewrite writes them, for the scenarios that read them back.
#include <string>
#include <string_view>

namespace zarvo::test {

// The bytes of UTF-16LE text with its mark.
inline std::string Utf16File(std::u16string_view text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return bytes;
}

// ASCII text as the characters it stands for.
inline std::u16string Widened(const std::string& ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

}  // namespace zarvo::test
