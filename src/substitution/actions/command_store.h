#pragma once
// The registry side of the substitution actions: numbered command values under a key of
// the package's own, each taken up once and deleted.
#include <cstdint>
#include <span>
#include <string_view>

#include "frame/action_log.h"
#include "platform/platform.h"
#include "substitution/files/file_rewrite.h"

namespace zarvo {

// Rewrites the file one command names; the command buffer may be written into.
using SubstitutionEngine = RewriteReport (*)(Files& files, std::span<char16_t> command);

// The command values are numbered from 0 to one below this.
inline constexpr std::int32_t kSubstitutionCommandCount = 20;

// For the values named by the prefix and a number from 0 to 19, in decimal (such as
// "SetupSubstFileCmd_0"), under the key path below HKEY_LOCAL_MACHINE, in number order: a value that holds data runs the engine and is then
// deleted, whatever the engine met; a missing or empty value is left alone. The log says
// which key was opened in which view, and for each command taken up its target, how the
// file was read and written, each token's count, what became of the file and of the value.
void ConsumeSubstitutionCommands(Platform& platform, const ActionLog& log, const char16_t* keyPath,
                                 std::u16string_view valuePrefix, std::uint32_t access,
                                 SubstitutionEngine engine);

}  // namespace zarvo
