#pragma once
// The two substitution actions: the package's commands under the key named in
// CustomActionData, rewriting plain-text and XML files.
#include <string_view>

#include "platform/platform.h"

namespace zarvo {

// The names of the command values, each followed by its number.
inline constexpr std::u16string_view kTextCommandPrefix = u"SetupSubstFileCmd_";
inline constexpr std::u16string_view kXmlCommandPrefix = u"SetupSubstXmlCmd_";

// Runs the commands "SetupSubstFileCmd_0" to "_19" through the plain-text engine, reading
// the key in the process's own registry view (the 32-bit view under WOW64). 1603 when
// CustomActionData cannot be read, else 0.
WinResult SetupSubstFiles(Platform& platform, InstallerHandle session);

// Runs the commands "SetupSubstXmlCmd_0" to "_19" through the XML engine, reading the key
// in the 64-bit view under WOW64. 1603 when CustomActionData cannot be read, else 0.
WinResult SetupSubstXmlFiles(Platform& platform, InstallerHandle session);

}  // namespace zarvo
