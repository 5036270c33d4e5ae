#pragma once
// Text cut into lines as the rewrites read them, and lines written back as they write them.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zarvo::reference {

// The line capacities of the documented rules: characters a line holds, its LF included.
inline constexpr std::size_t kLineCapacity = 4999;
inline constexpr std::size_t kWizardLineCapacity = 519;

// Each CR LF pair reads as its LF; a line ends after its LF, or once it holds `capacity`
// characters (the rest of the file's line is then read as further lines).
std::vector<std::u16string> LinesAsRead(std::u16string_view text, std::size_t capacity);

// Each character as the byte of its code, each LF as CR LF. Every character must be at most
// 255: the model never puts in one that single-byte text cannot hold.
std::string WrittenAsSingleByte(const std::vector<std::u16string>& lines);
// The mark FF FE, then each character as two bytes, low first, each LF as CR LF.
std::string WrittenAsUtf16Le(const std::vector<std::u16string>& lines);

}  // namespace zarvo::reference
