#pragma once
// The Windows error codes that the actions answer with or look for.
#include <cstdint>

namespace zarvo {

inline constexpr std::uint32_t kErrorSuccess = 0;
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorInvalidHandle = 6;
inline constexpr std::uint32_t kErrorInvalidParameter = 87;
inline constexpr std::uint32_t kErrorMoreData = 234;
inline constexpr std::uint32_t kErrorNoMoreItems = 259;
inline constexpr std::uint32_t kErrorFileInvalid = 1006;
inline constexpr std::uint32_t kErrorInstallFailure = 1603;
inline constexpr std::uint32_t kErrorUnknownProduct = 1605;
inline constexpr std::uint32_t kErrorUnknownComponent = 1607;
inline constexpr std::uint32_t kErrorBadQuerySyntax = 1615;
inline constexpr std::uint32_t kErrorFunctionFailed = 1627;

}  // namespace zarvo
