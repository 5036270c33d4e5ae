#pragma once
// Text between the library's UTF-16 and the UTF-8 that the checker reads and prints.
#include <string>
#include <string_view>

namespace zarvo::check {

// A lone surrogate, which UTF-8 cannot hold, becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

}  // namespace zarvo::check
