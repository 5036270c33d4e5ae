#pragma once
// A file version as a command line gives it, "5.1.2600.5512" or "3.1", in the words of the
// version resource it stands for.
#include <optional>
#include <string_view>

#include "platform/files.h"

namespace zarvo::check {

// One to four decimal numbers of 0 to 65535, separated by dots; a missing part is 0 (3.1 is
// 3.1.0.0). Nothing for any other text.
std::optional<FixedFileVersion> ReadFileVersionText(std::u16string_view text);

}  // namespace zarvo::check
