#pragma once
// Which paths a rewrite may touch. The commands come from the package, but the action runs
// with the installer's rights: a path that would resolve against the current folder (often
// the system folder), name a device or climb out of its folder is never opened.
#include <string_view>

namespace zarvo {

// True for an absolute path on a drive ("C:\...") or a share ("\\server\share\..."), with
// either slash as separator and no ".." among its parts. Device paths ("\\.\...", "\\?\...")
// and relative paths are false.
bool IsPlainAbsolutePath(std::u16string_view path);

}  // namespace zarvo
