#pragma once
// The Windows error codes that the actions answer with or look for.
#include <cstdint>

namespace zarvo {

inline constexpr std::uint32_t kErrorSuccess = 0;
inline constexpr std::uint32_t kErrorMoreData = 234;
inline constexpr std::uint32_t kErrorNoMoreItems = 259;
inline constexpr std::uint32_t kErrorInstallFailure = 1603;
inline constexpr std::uint32_t kErrorBadQuerySyntax = 1615;

}  // namespace zarvo
