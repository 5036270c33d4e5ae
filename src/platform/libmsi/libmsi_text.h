#pragma once
// Linux only: texts between the installer's UTF-16 and libmsi's UTF-8.
#include <optional>
#include <string>

namespace zarvo::libmsi {

// The UTF-8 form of a terminated UTF-16 text; nothing when it is not UTF-16 (a lone surrogate).
std::optional<std::string> ToUtf8(const char16_t* text);

// The UTF-16 form of a UTF-8 text from a package, a byte that is not UTF-8 read as U+FFFD.
std::u16string ToUtf16(const char* text);

}  // namespace zarvo::libmsi
