#pragma once
// Text between the library's UTF-16 and the UTF-8 that the checker reads and prints.
#include <optional>
#include <string>
#include <string_view>

namespace zarvo::check {

// A lone surrogate, which UTF-8 cannot hold, becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

// Nothing when the bytes are not UTF-8: a stray or missing continuation byte, an overlong
// form, a surrogate's code, or a code beyond U+10FFFF.
std::optional<std::u16string> FromUtf8(std::string_view text);

// A command-line argument: UTF-8, or, when it is not, its bytes widened as they stand.
std::u16string FromArgument(std::string_view text);

}  // namespace zarvo::check
