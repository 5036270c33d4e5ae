#pragma once
// The Windows error codes that scenarios expect of Windows itself (or of an action that
// passes Windows' answer on), written down from Windows' documentation: both machines must
// give them.
#include <cstdint>

namespace zarvo::test {

inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorFileInvalid = 1006;
inline constexpr std::uint32_t kErrorUnknownProduct = 1605;
inline constexpr std::uint32_t kErrorUnknownComponent = 1607;

}  // namespace zarvo::test
