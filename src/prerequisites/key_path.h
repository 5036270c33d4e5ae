#pragma once
// Registry key paths of the Prerequisites table: a key below HKEY_LOCAL_MACHINE, with an
// optional prefix that names the registry view to open it in.
#include <cstdint>

namespace zarvo {

struct ViewedKeyPath {
    const char16_t* path;  // points into the text it was taken from
    std::uint32_t access;  // KEY_READ, with the view flag the prefix names
};

// "key_wow64_64key:" (and, when recognise32, "key_wow64_32key:") at the very start of the
// text, in any letter case, is cut off and chooses the view; any other text is the key path
// whole, opened in the process's own view.
ViewedKeyPath ViewKeyPath(const char16_t* destination, bool recognise32);

}  // namespace zarvo
