#pragma once
// Where two files' bytes first differ, told in a few lines rather than megabytes.
#include <string>
#include <string_view>

namespace zarvo::reference {

// Empty when the bytes are the same; otherwise the sizes, the first differing offset and
// the bytes around it on both sides, escaped.
std::string ByteDifference(std::string_view got, std::string_view expected);

}  // namespace zarvo::reference
