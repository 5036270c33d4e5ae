#pragma once
// The Windows error codes that the simulated machine answers with, written down here
// rather than taken from the actions' own list, so that the machine checks the actions
// against Windows and not against themselves.
#include <cstdint>

namespace zarvo::sim {

inline constexpr std::uint32_t kErrorSuccess = 0;
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorInvalidHandle = 6;
inline constexpr std::uint32_t kErrorWriteFault = 29;
inline constexpr std::uint32_t kErrorReadFault = 30;
inline constexpr std::uint32_t kErrorGenFailure = 31;
inline constexpr std::uint32_t kErrorInvalidParameter = 87;
inline constexpr std::uint32_t kErrorDiskFull = 112;
inline constexpr std::uint32_t kErrorMoreData = 234;
inline constexpr std::uint32_t kErrorNoMoreItems = 259;
inline constexpr std::uint32_t kErrorFileInvalid = 1006;
inline constexpr std::uint32_t kErrorUnknownProduct = 1605;
inline constexpr std::uint32_t kErrorUnknownComponent = 1607;
inline constexpr std::uint32_t kErrorBadQuerySyntax = 1615;
inline constexpr std::uint32_t kErrorFunctionFailed = 1627;

}  // namespace zarvo::sim
