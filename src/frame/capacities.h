#pragma once
// Text capacities that Windows itself sets.
#include <cstddef>

namespace zarvo {

// Windows' path limit, MAX_PATH: 260 characters, terminator included. Paths, and the key
// and value names read beside them, are held in buffers of this size.
inline constexpr std::size_t kPathCapacity = 260;

}  // namespace zarvo
